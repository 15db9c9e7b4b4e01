#include "SkinPolygonFile.h"
#include "SkinRegion.h"
#include "SkinTestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>

namespace {

// The region a skin file series gives, from files written into a scratch
// folder whose path has a dotted folder in it.
struct RegionCase {
    const char* what;
    std::map<QString, std::string> files;
    int xPlus;
    int yPlus;
    QRegion expected;
};

QRegion RegionOf(const RegionCase& c) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(".config/songwell");
    for (const auto& [name, text] : c.files)
        skintest::WriteText(folder + "/" + name, text);
    const std::string first = (folder + "/Form11GiF1.txt").toStdString();
    return skinform::SkinRegion(skinform::ReadPolygonSeries(first, c.xPlus, c.yPlus));
}

const std::string kInner = "20,10\n60,10\n60,30\n20,30\n";
const QRegion kRect(0, 0, 100, 50);
const QRegion kHole(20, 10, 40, 20);

void PrintTo(const RegionCase& c, std::ostream* out) {
    *out << c.what;
}

class SkinRegionTest : public ::testing::TestWithParam<RegionCase> {};

TEST_P(SkinRegionTest, GivesTheOutlineOfTheSeries) {
    const RegionCase& c = GetParam();
    EXPECT_EQ(RegionOf(c), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Series, SkinRegionTest,
    ::testing::Values(
        RegionCase{"one rectangle", {{"Form11GiF1.txt", skintest::kRectangle}}, 0, 0, kRect},
        RegionCase{"rectangle moved by the offsets",
                   {{"Form11GiF1.txt", skintest::kRectangle}},
                   3,
                   4,
                   kRect.translated(3, 4)},
        RegionCase{"second file cuts a hole",
                   {{"Form11GiF1.txt", skintest::kRectangle}, {"Form11GiF11.txt", kInner}},
                   0,
                   0,
                   kRect - kHole},
        RegionCase{"third file fills the hole again",
                   {{"Form11GiF1.txt", skintest::kRectangle},
                    {"Form11GiF11.txt", kInner},
                    {"Form11GiF12.txt", kInner}},
                   0,
                   0,
                   kRect},
        RegionCase{"odd count of numbers: the files before it count",
                   {{"Form11GiF1.txt", skintest::kRectangle},
                    {"Form11GiF11.txt", kInner + "5"},
                    {"Form11GiF12.txt", kInner}},
                   0,
                   0,
                   kRect},
        RegionCase{"vertex overflowing with the offset: the files before it count",
                   {{"Form11GiF1.txt", skintest::kRectangle},
                    {"Form11GiF11.txt", "2147483647,0,2147483647,10,0,10"}},
                   1,
                   0,
                   kRect.translated(1, 0)},
        RegionCase{
            "missing first file: no outline", {{"Form11GiF11.txt", kInner}}, 0, 0, QRegion()}),
    [](const ::testing::TestParamInfo<RegionCase>& info) {
        return skintest::TestName(info.param.what);
    });

TEST(SkinRegionStarTest, ASelfCrossingStarHasAnEmptyCentre) {
    // A five-pointed star drawn in one stroke: its centre is crossed twice.
    const skinform::Polygon star = {{50, 0}, {79, 90}, {2, 35}, {98, 35}, {21, 90}};
    const QRegion region = skinform::SkinRegion({star});
    EXPECT_FALSE(region.contains(QPoint(50, 45)));
    for (QPoint tip :
         {QPoint(50, 10), QPoint(15, 38), QPoint(85, 38), QPoint(70, 78), QPoint(30, 78)})
        EXPECT_TRUE(region.contains(tip)) << tip.x() << "," << tip.y();
}

TEST(SkinRegionStarTest, HugeVerticesKeepTheirFillWithinTheWindowRange) {
    // A bow tie reaching far beyond any screen: the left and right triangles
    // are filled, the top and bottom ones are not.
    const skinform::Polygon bowTie = {{-2000000000, -2000000000},
                                      {2000000000, 2000000000},
                                      {2000000000, -2000000000},
                                      {-2000000000, 2000000000}};
    const QRegion region = skinform::SkinRegion({bowTie});
    EXPECT_TRUE(region.contains(QPoint(1000, 10)));
    EXPECT_TRUE(region.contains(QPoint(-1000, -10)));
    EXPECT_FALSE(region.contains(QPoint(10, 1000)));
    EXPECT_FALSE(region.contains(QPoint(-10, -1000)));
    EXPECT_LE(region.boundingRect().right(), 32767);
}

} // namespace

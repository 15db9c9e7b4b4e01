#include "SkinPolygonFile.h"
#include "SkinTestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <climits>

using skinform::ParsePolygonText;
using skinform::Polygon;
using skinform::ReadPolygonSeries;
using skinform::SeriesFileName;

namespace {

struct TextCase {
    const char* what;
    std::string text;
    int xPlus;
    int yPlus;
    std::optional<Polygon> expected;
};

void PrintTo(const TextCase& c, std::ostream* out) {
    *out << c.what;
}

class PolygonTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(PolygonTextTest, ReadsVerticesOrRefusesTheFile) {
    const TextCase& c = GetParam();
    EXPECT_EQ(ParsePolygonText(c.text, c.xPlus, c.yPlus), c.expected) << c.what;
}

const Polygon kRect = {{0, 0}, {100, 0}, {100, 50}, {0, 50}};

INSTANTIATE_TEST_SUITE_P(
    Texts, PolygonTextTest,
    ::testing::Values(TextCase{"pairs on lines", skintest::kRectangle, 0, 0, kRect},
                      TextCase{"offsets move every vertex", skintest::kRectangle, 3, 4,
                               Polygon{{3, 4}, {103, 4}, {103, 54}, {3, 54}}},
                      TextCase{"blanks, tabs, CRLF and stray commas", " 1 , 2 ,\r\n\t3 4,,\n", 0, 0,
                               Polygon{{1, 2}, {3, 4}}},
                      TextCase{"signs", "+7,-7", 0, 0, Polygon{{7, -7}}},
                      TextCase{"decimals round, halves to even", "1.5,2.5,-0.5,3.7,.6,-1.51", 0, 0,
                               Polygon{{2, 2}, {0, 4}, {1, -2}}},
                      TextCase{"byte order mark skipped",
                               "\xEF\xBB\xBF"
                               "5,6",
                               0, 0, Polygon{{5, 6}}},
                      TextCase{"32-bit extremes", "2147483647,-2147483648", 0, 0,
                               Polygon{{INT_MAX, INT_MIN}}},
                      TextCase{"empty file: no vertex", "", 0, 0, Polygon{}},
                      TextCase{"odd count of numbers", "1,2,3", 0, 0, std::nullopt},
                      TextCase{"word that is not a number", "1,x", 0, 0, std::nullopt},
                      TextCase{"exponent is not taken", "1e3,2", 0, 0, std::nullopt},
                      TextCase{"lone sign", "-,1", 0, 0, std::nullopt},
                      TextCase{"lone point", ".,1", 0, 0, std::nullopt},
                      TextCase{"NUL byte", std::string("1\0,2", 4), 0, 0, std::nullopt},
                      TextCase{"number beyond 32 bits", "2147483648,0", 0, 0, std::nullopt},
                      TextCase{"rounding past 32 bits", "2147483647.5,0", 0, 0, std::nullopt},
                      TextCase{"very long number", "99999999999999999999999,0", 0, 0, std::nullopt},
                      TextCase{"x plus offset overflows", "2147483640,0", 10, 0, std::nullopt},
                      TextCase{"y plus offset overflows", "0,-2147483640", 0, -10, std::nullopt},
                      TextCase{"negative offset keeps it in range", "2147483640,0", -10, 0,
                               Polygon{{2147483630, 0}}}),
    [](const ::testing::TestParamInfo<TextCase>& info) {
        return skintest::TestName(info.param.what);
    });

struct NameCase {
    std::string first;
    int index;
    std::optional<std::string> expected;
};

TEST(SeriesFileNameTest, AppendsTheIndexToTheFileNamesStem) {
    const NameCase cases[] = {
        {"Form11GiF1.txt", 1, "Form11GiF11.txt"},
        {"Form11GiF1.txt", 12, "Form11GiF112.txt"},
        {"skin.v2.txt", 3, "skin3.txt"},
        // A dotted folder does not cut the name short.
        {"/home/me/.config/songwell/Form11GiF1.txt", 1,
         "/home/me/.config/songwell/Form11GiF11.txt"},
        {"./skins/main.txt", 2, "./skins/main2.txt"},
        {"outline", 1, std::nullopt},
        {"skins.d/outline", 1, std::nullopt},
        {"", 1, std::nullopt},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(SeriesFileName(c.first, c.index), c.expected) << c.first << " " << c.index;
}

class PolygonSeriesTest : public ::testing::Test {
protected:
    QString File(const QString& name) const { return dir.filePath(name); }
    void Write(const QString& name, const std::string& text) const {
        skintest::WriteText(File(name), text);
    }
    std::vector<Polygon> Read(const QString& first) const {
        return ReadPolygonSeries(File(first).toStdString(), 0, 0);
    }

    QTemporaryDir dir;
};

TEST_F(PolygonSeriesTest, ReadsUntilTheFirstMissingName) {
    Write("Form11GiF1.txt", skintest::kRectangle);
    Write("Form11GiF11.txt", "1,1,2,2,3,3");
    Write("Form11GiF12.txt", "4,4,5,5,6,6");
    Write("Form11GiF14.txt", "7,7,8,8,9,9"); // after the gap: never reached
    const std::vector<Polygon> polygons = Read("Form11GiF1.txt");
    ASSERT_EQ(polygons.size(), 3u);
    EXPECT_EQ(polygons[2][0], (skinform::Vertex{4, 4}));
}

TEST_F(PolygonSeriesTest, ABrokenFileEndsTheSeriesAndTheFilesBeforeItCount) {
    Write("a.txt", skintest::kRectangle);
    Write("a1.txt", "1,2,3");
    Write("a2.txt", skintest::kRectangle);
    EXPECT_EQ(Read("a.txt").size(), 1u);
}

TEST_F(PolygonSeriesTest, NothingToReadGivesNoPolygon) {
    EXPECT_TRUE(Read("missing.txt").empty());
    EXPECT_TRUE(ReadPolygonSeries("", 0, 0).empty());
    QDir(dir.path()).mkdir("folder.txt");
    EXPECT_TRUE(Read("folder.txt").empty());
}

TEST_F(PolygonSeriesTest, AFirstNameWithoutAPointUsesOnlyThatFile) {
    Write("outline", skintest::kRectangle);
    Write("outline1.txt", skintest::kRectangle);
    EXPECT_EQ(Read("outline").size(), 1u);
}

TEST_F(PolygonSeriesTest, AnOversizedFileIsRefused) {
    Write("big.txt", std::string(skinform::kMaxPolygonFileBytes + 1, ' '));
    EXPECT_TRUE(Read("big.txt").empty());
}

} // namespace

// The rendered skin as the player and the skin control will use it: every
// picture at its exact size, and the outline file cutting the window exactly
// along the background picture's edge.

#include "SkinPolygonFile.h"
#include "SkinRegion.h"

#include <QGuiApplication>
#include <QImage>
#include <QRect>
#include <QRegion>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::string kAssetDir = SONGWELL_ASSET_DIR;
const std::string kOutlineFile = kAssetDir + "/skin/Form11GiF1.txt";
constexpr int kXPlus = 4;
constexpr int kYPlus = 23;
constexpr int kClientWidth = 409;
constexpr int kPictureWidth = 411;
constexpr int kPictureHeight = 317;

QImage Load(const std::string& relative) {
    return QImage(QString::fromStdString(kAssetDir + "/" + relative))
        .convertToFormat(QImage::Format_ARGB32);
}

bool Opaque(const QImage& image, int x, int y) {
    return image.rect().contains(x, y) && qAlpha(image.pixel(x, y)) >= 128;
}

// A vertex sits on a pixel corner; it lies on the picture's edge when the four
// pixels meeting there are neither all opaque nor all transparent.
bool OnEdge(const QImage& image, int x, int y) {
    int opaque = 0;
    for (int dy = -1; dy <= 0; ++dy)
        for (int dx = -1; dx <= 0; ++dx)
            opaque += Opaque(image, x + dx, y + dy) ? 1 : 0;
    return opaque > 0 && opaque < 4;
}

class SkinArt : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "skin_art_test";
        static char* argv[] = {name, nullptr};
        if (!QGuiApplication::instance())
            new QGuiApplication(argc, argv);
    }
};

TEST_F(SkinArt, EveryPictureIsRenderedAtItsExactSize) {
    struct Case {
        const char* file;
        int width;
        int height;
    };
    const Case cases[] = {
        {"skin/form1.png", kPictureWidth, kPictureHeight},
        {"skin/lamp_press.png", 7, 7},
        {"skin/lamp_play.png", 7, 7},
        {"skin/info.png", 53, 16},
        {"skin/logo.png", 118, 20},
        {"skin/banner.png", 540, 75},
        {"icons/songwell-48.png", 48, 48},
        {"icons/songwell-128.png", 128, 128},
        {"icons/songwell-256.png", 256, 256},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QImage image = Load(c.file);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.width(), c.width);
        EXPECT_EQ(image.height(), c.height);
    }
    EXPECT_TRUE(std::filesystem::exists(kOutlineFile));
    EXPECT_TRUE(std::filesystem::exists(kAssetDir + "/icons/songwell.svg"));
}

TEST_F(SkinArt, BannerAndInfoPicturesAreOpaqueWhereTheyAreShown) {
    // The banner is a whole-window photograph; the info key fills its middle.
    const QImage banner = Load("skin/banner.png");
    for (int y = 0; y < banner.height(); y += 7)
        for (int x = 0; x < banner.width(); x += 7)
            ASSERT_EQ(qAlpha(banner.pixel(x, y)), 255) << x << "," << y;
    EXPECT_TRUE(Opaque(Load("skin/info.png"), 26, 8));
}

TEST_F(SkinArt, OutlineIsOnePolygonInsideTheClientArea) {
    const std::vector<skinform::Polygon> series =
        skinform::ReadPolygonSeries(kOutlineFile, kXPlus, kYPlus);
    ASSERT_EQ(series.size(), 1u) << "the window has no hole: no second file of the series";
    ASSERT_GE(series[0].size(), 8u);
    for (const skinform::Vertex& v : series[0]) {
        EXPECT_GE(v.x, 0);
        EXPECT_LE(v.x, kClientWidth);
        EXPECT_GE(v.y, 0);
        EXPECT_LE(v.y, kPictureHeight);
    }
}

TEST_F(SkinArt, EveryOutlineVertexLandsOnThePicturesEdge) {
    const QImage picture = Load("skin/form1.png");
    const skinform::Polygon polygon =
        skinform::ReadPolygonSeries(kOutlineFile, kXPlus, kYPlus).at(0);
    for (const skinform::Vertex& v : polygon)
        EXPECT_TRUE(OnEdge(picture, v.x, v.y)) << "vertex " << v.x << "," << v.y;

    // The file is authored for these offsets: without them most vertices miss.
    const skinform::Polygon unshifted = skinform::ReadPolygonSeries(kOutlineFile, 0, 0).at(0);
    int landing = 0;
    for (const skinform::Vertex& v : unshifted)
        landing += OnEdge(picture, v.x, v.y) ? 1 : 0;
    EXPECT_LT(landing, static_cast<int>(unshifted.size()) / 4);
}

TEST_F(SkinArt, WindowRegionShowsExactlyThePaintedSkin) {
    const QImage picture = Load("skin/form1.png");
    const QRegion region =
        skinform::SkinRegion(skinform::ReadPolygonSeries(kOutlineFile, kXPlus, kYPlus));
    ASSERT_FALSE(region.isEmpty());
    EXPECT_GT(region.rectCount(), 1) << "the outline must not be a plain rectangle";

    // Inside the region the skin is painted, outside it is transparent. Only
    // pixels that a slanted edge cuts in two may differ.
    int mismatches = 0;
    int edgePixels = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const bool inside = region.contains(QPoint(x, y));
            if (inside != Opaque(picture, x, y))
                ++mismatches;
            const bool boundary = inside != region.contains(QPoint(x + 1, y)) ||
                                  inside != region.contains(QPoint(x, y + 1));
            edgePixels += boundary ? 1 : 0;
        }
    }
    EXPECT_LT(mismatches, edgePixels / 8) << mismatches << " of " << edgePixels;
    // The corners of the picture are cut away, its middle is shown.
    EXPECT_FALSE(region.contains(QPoint(0, 0)));
    EXPECT_FALSE(region.contains(QPoint(kClientWidth - 1, 0)));
    EXPECT_FALSE(region.contains(QPoint(0, kPictureHeight - 1)));
    EXPECT_FALSE(region.contains(QPoint(kClientWidth - 1, kPictureHeight - 1)));
    EXPECT_TRUE(region.contains(QPoint(kClientWidth / 2, kPictureHeight / 2)));
}

TEST_F(SkinArt, OutlineCutsNoControlOfTheMainWindow) {
    // The controls closest to the outline, as the layout note places them.
    struct Control {
        const char* name;
        QRect rect;
    };
    const Control controls[] = {
        {"Image3 logo", QRect(16, 7, 118, 20)},
        {"Image1 minimise", QRect(352, 8, 20, 18)},
        {"Image2 close", QRect(376, 8, 20, 18)},
        {"Label1 display", QRect(12, 38, 153, 104)},
        {"Label2 list panel", QRect(172, 38, 227, 152)},
        {"PBarY2 seek", QRect(158, 242, 241, 10)},
        {"Image34 open", QRect(14, 264, 18, 18)},
        {"Image33 hint switch", QRect(14, 291, 16, 16)},
        {"Label9 hint line", QRect(36, 292, 360, 14)},
        {"Line11", QRect(15, 309, 15, 1)},
    };
    const QRegion region =
        skinform::SkinRegion(skinform::ReadPolygonSeries(kOutlineFile, kXPlus, kYPlus));
    for (const Control& c : controls)
        EXPECT_EQ(region.intersected(c.rect), QRegion(c.rect)) << c.name;
}

} // namespace

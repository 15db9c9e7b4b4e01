// The skin's outline at the scale factor Qt runs at (QT_SCALE_FACTOR, one
// CTest test per factor), under a real X server: the window's mask, as the
// screen shows an opaque window, and the cut of a translucent window's
// painting, as the window renders itself, are the same set of device pixels,
// and both follow the outline to within one pixel of the design: no row or
// column inside it is lost (a strip where clicks would fall through) and
// none far outside it is kept.

#include "AdvWin.h"
#include "SkinPolygonFile.h"
#include "SkinRegion.h"
#include "SkinTestSupport.h"

#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

const QString kSkinFile = QStringLiteral(SONGWELL_SOURCE_DIR "/assets/skin/Form11GiF1.txt");
const QSize kSize(409, 317);
const QPoint kPlace(40, 40); // whole device pixels at every factor tested

QRegion Outline() {
    return skinform::SkinRegion(skinform::ReadPolygonSeries(kSkinFile.toStdString(), 4, 23));
}

std::unique_ptr<QWidget> ShowCut(const QString& caption, bool translucent) {
    auto window = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window->setWindowTitle(caption);
    window->setFixedSize(kSize);
    if (translucent) {
        // Painted only by a child, as the skinned windows are.
        window->setAttribute(Qt::WA_TranslucentBackground);
        auto* picture = new QLabel(window.get());
        picture->setGeometry(QRect(QPoint(), kSize));
        picture->setStyleSheet("background: red");
    } else {
        QPalette palette = window->palette();
        palette.setColor(QPalette::Window, Qt::red);
        window->setPalette(palette);
        window->setAutoFillBackground(true);
    }
    auto* control = new AdvWin(window.get());
    control->setTarget_Caption(caption);
    control->setSkin_Txt_File(kSkinFile);
    control->setX_Plus(4);
    control->setY_Plus(23);
    window->move(kPlace);
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    control->Cut_Window();
    return window;
}

QRegion DesignPixelsAt(QPointF centre) {
    constexpr double kTie = 1e-6;
    QRegion pixels;
    for (double dx : {-kTie, kTie})
        for (double dy : {-kTie, kTie})
            pixels +=
                QRect(int(std::floor(centre.x() + dx)), int(std::floor(centre.y() + dy)), 1, 1);
    return pixels;
}

bool IsRed(QColor colour) {
    return colour.red() > 200 && colour.green() < 60 && colour.blue() < 60;
}

// Device pixels of the window's rectangle that `covered` says are in.
template <typename Covered> QImage PixelSet(QSize device, Covered covered) {
    QImage set(device, QImage::Format_Grayscale8);
    for (int y = 0; y < device.height(); ++y)
        for (int x = 0; x < device.width(); ++x)
            set.setPixel(x, y, covered(x, y) ? 255 : 0);
    return set;
}

TEST(OutlineScales, MaskAndCutAreTheSameAndFollowTheOutline) {
    skintest::App();
    const double scale = qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble();
    const QSize device(int(std::lround(kSize.width() * scale)),
                       int(std::lround(kSize.height() * scale)));
    const QPoint deviceOrigin = kPlace * scale;

    // The mask: what the screen shows of an opaque red window.
    const auto opaque = ShowCut("Skin mask test", false);
    QImage screen;
    (void)QTest::qWaitFor(
        [&] {
            screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
            return IsRed(screen.pixelColor(deviceOrigin +
                                           QPoint(device.width() / 2, device.height() / 2))) &&
                   !IsRed(screen.pixelColor(deviceOrigin + QPoint(1, 1)));
        },
        5000);
    const QImage mask = PixelSet(device, [&](int x, int y) {
        return IsRed(screen.pixelColor(deviceOrigin + QPoint(x, y)));
    });
    opaque->hide();

    // The cut: what a translucent window paints of itself.
    const auto translucent = ShowCut("Skin cut test", true);
    const QImage own = translucent->grab().toImage();
    ASSERT_EQ(own.size(), device);
    const QImage cut = PixelSet(device, [&](int x, int y) { return qAlpha(own.pixel(x, y)) > 0; });

    const QRegion outline = Outline();
    QRegion inner = outline, outer = outline;
    for (QPoint step : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
        inner &= outline.translated(step);
        outer |= outline.translated(step);
    }
    int differing = 0, lost = 0, kept = 0;
    for (int y = 0; y < device.height(); ++y)
        for (int x = 0; x < device.width(); ++x) {
            const bool inMask = mask.pixel(x, y) != qRgb(0, 0, 0);
            const bool inCut = cut.pixel(x, y) != qRgb(0, 0, 0);
            // The design's pixels under this device pixel's centre: more than
            // one where the centre lies on their border, as it does at
            // factors such as 1.5, and then either may decide.
            const QRegion design = DesignPixelsAt(QPointF(x + 0.5, y + 0.5) / scale);
            differing += inMask != inCut;
            lost += (design - inner).isEmpty() && !(inMask && inCut);
            kept += (design & outer).isEmpty() && (inMask || inCut);
        }
    EXPECT_EQ(differing, 0) << "device pixels where the mask and the cut differ";
    EXPECT_EQ(lost, 0) << "device pixels inside the outline that are cut away";
    EXPECT_EQ(kept, 0) << "device pixels well outside the outline that are kept";
    const QString folder = qEnvironmentVariable("SKIN_SCREENSHOT_DIR");
    if (!folder.isEmpty())
        mask.save(QStringLiteral("%1/outline-mask-%2.png").arg(folder).arg(scale));
}

} // namespace

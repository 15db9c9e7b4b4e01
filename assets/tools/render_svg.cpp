// render_svg: draws an SVG file into a PNG of an exact pixel size.
//
//     render_svg INPUT.svg OUTPUT.png WIDTH HEIGHT
//
// The build runs it for every picture of the skin and every icon size, so the
// art stays vector source in the repository. The picture starts transparent:
// whatever the drawing leaves uncovered (the space outside the window's
// outline, an icon's corners) stays transparent in the PNG.

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool ParseSize(const char* text, int& value) {
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < 1 || parsed > 8192)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    int width = 0;
    int height = 0;
    if (argc != 5 || !ParseSize(argv[3], width) || !ParseSize(argv[4], height)) {
        std::fprintf(stderr, "usage: render_svg INPUT.svg OUTPUT.png WIDTH HEIGHT\n");
        return 2;
    }
    // Text in the drawings needs the font database, which needs a GUI
    // application; no display is wanted at build time.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "render_svg: cannot read %s\n", argv[1]);
        return 1;
    }
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform |
                               QPainter::TextAntialiasing);
        renderer.render(&painter, QRectF(0, 0, width, height));
    }
    if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "render_svg: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}

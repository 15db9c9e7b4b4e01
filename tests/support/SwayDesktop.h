#pragma once

// The headless sway that run_in_sway.sh starts, as a test sees it: where it
// has put a window, what its output shows, its scale, and a pointer that
// presses, drags and releases as a user's would. Every wait has a generous
// bound and ends as soon as its condition holds.

#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRect>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <cstdlib>
#include <optional>

namespace sway {

constexpr int kWaitMs = 10000;

// Runs swaymsg with these arguments; its standard output, empty on failure.
inline QByteArray Message(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("swaymsg"), arguments);
    if (!process.waitForFinished(kWaitMs) || process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput();
}

inline bool Command(const QString& command) {
    return Message({command}).contains("\"success\": true");
}

namespace detail {

inline std::optional<QRect> FindRect(const QJsonObject& node, const QString& title) {
    if (node.value("name").toString() == title && node.contains("pid")) {
        const QJsonObject rect = node.value("rect").toObject();
        return QRect(rect.value("x").toInt(), rect.value("y").toInt(), rect.value("width").toInt(),
                     rect.value("height").toInt());
    }
    for (const char* children : {"nodes", "floating_nodes"})
        for (const QJsonValue& child : node.value(children).toArray())
            if (auto found = FindRect(child.toObject(), title))
                return found;
    return std::nullopt;
}

} // namespace detail

// Where sway has the window of this title, in layout pixels.
inline std::optional<QRect> WindowRect(const QString& title) {
    const QJsonDocument tree = QJsonDocument::fromJson(Message({"-t", "get_tree"}));
    return detail::FindRect(tree.object(), title);
}

// Waits until sway shows the window of this title where `holds` says.
template <typename Holds> std::optional<QRect> WaitForRect(const QString& title, Holds holds) {
    std::optional<QRect> rect;
    (void)QTest::qWaitFor(
        [&] {
            rect = WindowRect(title);
            return rect && holds(*rect);
        },
        kWaitMs);
    return rect;
}

inline QString OutputName() {
    const QByteArray name = qgetenv("SWAY_OUTPUT");
    return name.isEmpty() ? QStringLiteral("HEADLESS-1") : QString::fromUtf8(name);
}

// The output's size in layout pixels.
inline QSize LayoutSize() {
    const QJsonArray outputs = QJsonDocument::fromJson(Message({"-t", "get_outputs"})).array();
    for (const QJsonValue& output : outputs) {
        const QJsonObject rect = output.toObject().value("rect").toObject();
        return {rect.value("width").toInt(), rect.value("height").toInt()};
    }
    return {};
}

inline bool SetScale(double scale) {
    return Command(QStringLiteral("output %1 scale %2").arg(OutputName()).arg(scale));
}

inline QColor DesktopColour() {
    const QByteArray colour = qgetenv("SWAY_DESKTOP_COLOUR");
    return QColor(QString::fromUtf8(colour.isEmpty() ? QByteArray("#204080") : colour));
}

// What the output shows, in its own pixels: layout pixels times its scale.
inline QImage Screenshot() {
    QTemporaryDir dir;
    const QString file = dir.filePath("screen.png");
    QProcess grim;
    grim.start(QStringLiteral("grim"), {file});
    if (!grim.waitForFinished(kWaitMs) || grim.exitCode() != 0)
        return {};
    return QImage(file).convertToFormat(QImage::Format_RGB32);
}

inline bool Near(QColor a, QColor b, int tolerance) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// The seat's pointer: the virtual pointer of wayland_pointer goes to a
// point, presses, moves and releases as a device does, which is what a move
// by the compositor follows.
class Pointer {
public:
    explicit Pointer(const QString& helper) {
        process_.start(helper, {});
        ok_ = process_.waitForStarted(kWaitMs) && ReadLine() == "ready";
    }

    ~Pointer() {
        process_.closeWriteChannel();
        if (!process_.waitForFinished(kWaitMs))
            process_.kill();
    }

    bool ok() const { return ok_; }

    // Puts the pointer on a point of the layout, as a device does (sway's
    // own "cursor set" leaves out the frame a client waits for).
    bool MoveTo(QPoint at) {
        const QSize layout = LayoutSize();
        if (layout.isEmpty())
            return false;
        // Hundredths of a pixel: the layout of a scaled output is a
        // fraction of a pixel wider than sway reports; a pixel's middle
        // keeps clear of that.
        constexpr int kSteps = 100;
        return Send(QStringLiteral("absolute %1 %2 %3 %4")
                        .arg(at.x() * kSteps + kSteps / 2)
                        .arg(at.y() * kSteps + kSteps / 2)
                        .arg(layout.width() * kSteps)
                        .arg(layout.height() * kSteps)
                        .toUtf8());
    }
    bool Press() { return Send("press"); }
    bool Release() { return Send("release"); }
    // Moves by `by` in `steps` equal steps, as a hand drags.
    bool Drag(QPoint by, int steps) {
        for (int step = 1; step <= steps; ++step) {
            const QPoint done = by * step / steps;
            const QPoint before = by * (step - 1) / steps;
            const QPoint delta = done - before;
            if (!Send(QStringLiteral("motion %1 %2").arg(delta.x()).arg(delta.y()).toUtf8()))
                return false;
            QTest::qWait(15); // paces the steps as a hand's moves come
        }
        return true;
    }

private:
    QByteArray ReadLine() {
        while (!process_.canReadLine())
            if (!process_.waitForReadyRead(kWaitMs))
                return {};
        return process_.readLine().trimmed();
    }

    bool Send(const QByteArray& command) {
        process_.write(command + "\n");
        return ReadLine() == "ok";
    }

    QProcess process_;
    bool ok_ = false;
};

} // namespace sway

#include "Commands.h"

#include "Form1.h"
#include "LocalFiles.h"
#include "MprisService.h"
#include "QuitSignals.h"

#include <QApplication>

#include <cstdio>
#include <exception>

namespace {

// The session's ReplayGain options before the songs: --replaygain MODE and
// --preamp DB, taken off the front of `args`.
struct SessionOptions {
    Form1::ReplayGain replay_gain = Form1::ReplayGain::Automatic;
    double preamp_db = 0.0;
};

bool TakeSessionOptions(QStringList& args, SessionOptions& options) {
    const QString gain = QStringLiteral("--replaygain");
    const QString preamp = QStringLiteral("--preamp");
    while (!args.isEmpty() && (args[0] == gain || args[0] == preamp)) {
        const QString option = args.takeFirst();
        const QString value = args.isEmpty() ? QString() : args.takeFirst();
        bool valid = false;
        if (option == gain) {
            valid = Form1::ParseReplayGain(value, options.replay_gain);
        } else {
            options.preamp_db = value.toDouble(&valid);
            valid = valid && options.preamp_db >= -60.0 && options.preamp_db <= 24.0;
        }
        if (!valid) {
            std::fprintf(stderr, "songwell: %s %s: use %s\n", qPrintable(option), qPrintable(value),
                         option == gain ? "off, track, album or auto" : "a gain in dB, -60 to 24");
            return false;
        }
    }
    return true;
}

} // namespace

int RunPlayer(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Songwell"));
    // The main window closes to show the banner; the banner ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    // From argv, which QApplication has cleared of its own options: its
    // arguments() would turn a name that is no UTF-8 into another name.
    QStringList songs = PathArguments(argc, argv, 1);
    SessionOptions options;
    if (!TakeSessionOptions(songs, options))
        return 2;
    if (!songs.isEmpty() && songs.first() == QStringLiteral("--"))
        songs.removeFirst();
    try {
        Form1 window;
        window.SetReplayGain(options.replay_gain);
        window.SetReplayGainPreamp(options.preamp_db);
        // Shown first, so that the list has its size as the songs join and
        // a message about a play list's entries stands over the window.
        window.show();
        window.AppendPaths(songs);
        // Media keys, the sound menu and playerctl drive it over the bus.
        MprisService mpris(window);
        // Ended from outside, the player stops and quits at once, without
        // the banner its own close shows.
        QuitSignals quit_signals([&window] { window.QuitNow(); });
        return QApplication::exec();
    } catch (const std::exception& error) {
        // Without its design or controls the window cannot be shown at all.
        std::fprintf(stderr, "songwell: %s\n", error.what());
        return 1;
    }
}

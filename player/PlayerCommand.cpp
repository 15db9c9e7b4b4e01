#include "Commands.h"

#include "Form1.h"
#include "LocalFiles.h"
#include "MprisService.h"
#include "QuitSignals.h"

#include <QApplication>

#include <cstdio>
#include <exception>

int RunPlayer(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Songwell"));
    // The main window closes to show the banner; the banner ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    // From argv, which QApplication has cleared of its own options: its
    // arguments() would turn a name that is no UTF-8 into another name.
    QStringList songs = PathArguments(argc, argv, 1);
    if (!songs.isEmpty() && songs.first() == QStringLiteral("--"))
        songs.removeFirst();
    try {
        Form1 window;
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

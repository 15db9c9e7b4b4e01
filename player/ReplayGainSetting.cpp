// The ReplayGain setting of the session: the mode the user chose (on the
// command line or in the context menu), resolved by the play mode for the
// audio control, which applies the gain as it plays.

#include "Form1.h"

#include <QActionGroup>
#include <QContextMenuEvent>
#include <QMenu>

namespace {

struct ReplayGainName {
    const char* word;
    const char* caption;
    Form1::ReplayGain mode;
};

constexpr ReplayGainName kReplayGainNames[] = {
    {"off", "Off", Form1::ReplayGain::Off},
    {"track", "Track gain", Form1::ReplayGain::Track},
    {"album", "Album gain", Form1::ReplayGain::Album},
    {"auto", "Automatic", Form1::ReplayGain::Automatic},
};

} // namespace

bool Form1::ParseReplayGain(const QString& word, ReplayGain& mode) {
    for (const ReplayGainName& name : kReplayGainNames) {
        if (word == QLatin1String(name.word)) {
            mode = name.mode;
            return true;
        }
    }
    return false;
}

void Form1::SetReplayGain(ReplayGain mode) {
    replayGain_ = mode;
    ApplyReplayGain();
}

void Form1::SetReplayGainPreamp(double db) {
    binding_.Set(Audiocore1, "ReplayGainPreamp", db);
}

void Form1::ApplyReplayGain() {
    ReplayGain resolved = replayGain_;
    // An album heard in its order keeps the loudness steps between its
    // songs; songs drawn at random are evened out one by one.
    if (resolved == ReplayGain::Automatic)
        resolved = order_.CurrentMode() == PlayOrder::Mode::Shuffle ? ReplayGain::Track
                                                                    : ReplayGain::Album;
    // The control takes it for each song as the song starts.
    binding_.SetQuietly(Audiocore1, "ReplayGain", static_cast<int>(resolved));
}

void Form1::AddReplayGainMenu(QMenu& menu) {
    QMenu* gains = menu.addMenu(QStringLiteral("ReplayGain"));
    auto* group = new QActionGroup(gains);
    for (const ReplayGainName& name : kReplayGainNames) {
        QAction* action = gains->addAction(QString::fromLatin1(name.caption));
        action->setCheckable(true);
        action->setChecked(name.mode == replayGain_);
        action->setActionGroup(group);
        const ReplayGain mode = name.mode;
        connect(action, &QAction::triggered, this, [this, mode] { SetReplayGain(mode); });
    }
}

#include "PlayerPaths.h"

#include <QCoreApplication>
#include <QDir>

#include <initializer_list>

namespace {

// The first candidate folder that exists, else the last (the installed place),
// relative to the program's folder.
QString FirstExisting(std::initializer_list<const char*> relatives) {
    const QDir programDir(QCoreApplication::applicationDirPath());
    QString candidate;
    for (const char* relative : relatives) {
        candidate = QDir::cleanPath(programDir.absoluteFilePath(relative));
        if (QDir(candidate).exists())
            return candidate;
    }
    return candidate;
}

} // namespace

PlayerPaths PlayerPaths::BesideProgram() {
    return {FirstExisting({SONGWELL_BUILD_PLUGIN_DIR, SONGWELL_INSTALLED_PLUGIN_DIR}),
            FirstExisting({SONGWELL_BUILD_SKIN_DIR, SONGWELL_INSTALLED_SKIN_DIR})};
}

PlayerPaths PlayerPaths::Completed() const {
    if (!pluginDir.isEmpty() && !skinDir.isEmpty())
        return *this;
    const PlayerPaths found = BesideProgram();
    return {pluginDir.isEmpty() ? found.pluginDir : pluginDir,
            skinDir.isEmpty() ? found.skinDir : skinDir};
}

#pragma once

#include <QString>

// Where the player finds what it loads at run time: the control plugins and
// the skin pictures. Both sit beside the program, in a build tree or in an
// install; an empty field means "look there".
struct PlayerPaths {
    QString pluginDir;
    QString skinDir;

    // The folders beside the running program.
    static PlayerPaths BesideProgram();
    // Fills empty fields from BesideProgram().
    PlayerPaths Completed() const;
};

#pragma once

#include <string>

// Command-line functions of songwell that need no window. Each returns the
// process's exit status.

// Prints the six song facts of FILE, one "Name: value" line each.
int RunInfo(const std::string& file);

// Opens the player window with FILES, FOLDERS (all their MP3 files) and play
// list files (their songs) in the play list; the first song starts within
// about a second.
int RunPlayer(int argc, char** argv);

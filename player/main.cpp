// songwell: the MP3 player.

#include "Commands.h"

#include <cstdio>
#include <string>

namespace {

void PrintUsage(std::FILE* out) {
    std::fprintf(out, "usage: songwell [--replaygain MODE] [--preamp DB] [FILE|FOLDER|LIST]...\n"
                      "       songwell OPTION\n"
                      "\n"
                      "Opens the player with the files, the MP3 files of the folders and the\n"
                      "songs of the play list files (M3U, M3U8, PLS, XSPF) in its play list and\n"
                      "plays the first.\n"
                      "\n"
                      "Options:\n"
                      "  --info FILE          print the song's title, artist, album, year,\n"
                      "                       comment and genre\n"
                      "  --replaygain MODE    before the songs: off, track, album or auto (the\n"
                      "                       default: album gain in order, track gain shuffled)\n"
                      "  --preamp DB          before the songs: the gain of songs without one\n"
                      "  --help               show this text\n"
                      "  --version            show the version\n");
}

} // namespace

int main(int argc, char** argv) {
    std::string first = argc > 1 ? argv[1] : "";
    if (first == "--help" || first == "-h") {
        PrintUsage(stdout);
        return 0;
    }
    if (first == "--version") {
        std::printf("songwell %s\n", SONGWELL_VERSION);
        return 0;
    }
    if (first == "--info" && argc == 3)
        return RunInfo(argv[2]);
    const bool session_option = first == "--replaygain" || first == "--preamp";
    if (first.rfind("--", 0) == 0 && first != "--" && !session_option) {
        PrintUsage(stderr);
        return 2;
    }
    return RunPlayer(argc, argv);
}

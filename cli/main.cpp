// audiocore: the command-line client of the Audiocore decoding engine.

#include "Commands.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <map>
#include <string>
#include <vector>

namespace {

using Command = int (*)(const std::vector<std::string>&);

const std::map<std::string, Command>& CommandTable() {
    static const std::map<std::string, Command> table = {
        {"info", RunInfo},
        {"convert", RunConvert},
        {"play", RunPlay},
        {"devices", RunDevices},
    };
    return table;
}

void PrintUsage(std::FILE* out) {
    std::fprintf(out, "usage: audiocore COMMAND [ARGS]\n"
                      "\n"
                      "Commands:\n"
                      "  info FILE            print the stream format, frame count and length\n"
                      "  convert IN OUT.wav [--threads N]\n"
                      "                       decode IN into a 16-bit PCM WAV file, on N threads\n"
                      "                       (default: one per core, up to 4)\n"
                      "  play FILE [--device N] [--volume V] [--start FRAME]\n"
                      "                       play FILE on the sound device; Ctrl-C stops\n"
                      "  devices              list the output devices by OutputDevID\n"
                      "\n"
                      "Options:\n"
                      "  --help               show this text\n"
                      "  --version            show the version\n");
}

} // namespace

void ReportFailure(const std::string& file, const std::string& reason) {
    std::fprintf(stderr, "audiocore: %s: %s\n", file.c_str(), reason.c_str());
}

bool ParseNumber(const std::string& text, int low, int high, int& value) {
    try {
        std::size_t used = 0;
        const long parsed = std::stol(text, &used);
        if (used != text.size() || parsed < low || parsed > high)
            return false;
        value = static_cast<int>(parsed);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return 2;
    }
    std::string first = argv[1];
    if (first == "--help" || first == "-h") {
        PrintUsage(stdout);
        return 0;
    }
    if (first == "--version") {
        std::printf("audiocore %s\n", SONGWELL_VERSION);
        return 0;
    }
    auto found = CommandTable().find(first);
    if (found == CommandTable().end()) {
        std::fprintf(stderr, "audiocore: unknown command '%s' (try --help)\n", first.c_str());
        return 2;
    }
    return found->second(std::vector<std::string>(argv + 2, argv + argc));
}

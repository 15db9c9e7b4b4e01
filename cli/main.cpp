// audiocore: the command-line client of the Audiocore decoding engine.

#include "Commands.h"

#include "ReplayGainTags.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <map>
#include <optional>
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
                      "  convert IN OUT.wav [--threads N] [--no-gapless] [--replaygain MODE]\n"
                      "                       decode IN into a 16-bit PCM WAV file, on N threads\n"
                      "                       (default: one per core, up to 4)\n"
                      "  play FILE... [--device N] [--volume V] [--start FRAME]\n"
                      "               [--replaygain MODE] [--preamp DB]\n"
                      "                       play the files on the sound device; Ctrl-C stops\n"
                      "  devices              list the output devices by OutputDevID\n"
                      "\n"
                      "ReplayGain MODE: off (the default), track, album (falling back to\n"
                      "track) or auto (album: the files play in order). --preamp DB is the\n"
                      "gain of songs without one (default 0).\n"
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

bool TakeGainOption(const std::vector<std::string>& args, std::size_t& i, GainOptions& options,
                    bool& valid) {
    const std::string& arg = args[i];
    if ((arg != "--replaygain" && arg != "--preamp") || i + 1 >= args.size())
        return false;
    const std::string& value = args[++i];
    if (arg == "--replaygain") {
        valid = valid && audiocore::ParseReplayGainMode(value, options.mode);
        return true;
    }
    const std::optional<double> db = audiocore::LeadingNumber(value);
    valid = valid && db && *db >= -60.0 && *db <= 24.0 &&
            value.find_first_not_of("+-.0123456789") == std::string::npos;
    if (db)
        options.preamp_db = *db;
    return true;
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

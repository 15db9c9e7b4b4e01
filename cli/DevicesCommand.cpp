#include "Commands.h"

#include "WaveOutDevice.h"

#include <cstdio>

int RunDevices(const std::vector<std::string>& args) {
    if (!args.empty()) {
        std::fprintf(stderr, "usage: audiocore devices\n");
        return 2;
    }
    // OutputDevID 0 is the system's preferred device, n the n-th listed one.
    std::printf("%-12s %s\n", "OutputDevID", "device");
    std::printf("%-12d %s\n", 0, "(preferred device)");
    const std::vector<std::string> names = audiocore::ListOutputDevices();
    for (std::size_t i = 0; i < names.size(); ++i)
        std::printf("%-12zu %s\n", i + 1, names[i].c_str());
    return 0;
}

// Opens arbitrary bytes as an MPEG audio file and decodes every frame through
// the decode run, as a conversion would, after an optional seek.
//
// Input: one control byte, then the file. Bit 7 of the control byte asks for
// a seek before the run; bits 0..6 are the target frame.

#include "DecodeJob.h"
#include "WriteWav.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// One scratch folder per fuzzing process, for the input and the WAV output.
const std::filesystem::path& ScratchDir() {
    static const std::filesystem::path dir = [] {
        auto path =
            std::filesystem::temp_directory_path() / ("songwell-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return dir;
}

bool WriteBytes(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::uint8_t control = size > 0 ? data[0] : 0;
    const std::string input = (ScratchDir() / "input.mp3").string();
    const std::string output = (ScratchDir() / "output.wav").string();
    if (!WriteBytes(input, size > 0 ? data + 1 : data, size > 0 ? size - 1 : 0))
        return 0;

    audiocore::DecodeJob job;
    if (job.decoder.Open(input) != audiocore::OpenResult::Opened)
        return 0;
    if (control & 0x80) {
        job.seek_target.store(control & 0x7F);
        job.seek_requested.store(true);
    }
    audiocore::WriteWav(job, output);
    std::remove(output.c_str());
    return 0;
}

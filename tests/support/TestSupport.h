#pragma once

// Helpers every test folder may use: the shared conformance data, scratch
// folders, and a sink that records what a decoder produced.

#include "PcmSink.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace testsupport {

// A file under the shared data folder beside the checkout, e.g.
// SharedPath("vectors/l3-si.bit").
inline std::string SharedPath(const std::string& relative) {
    return std::string(SONGWELL_SHARED_DIR) + "/" + relative;
}

inline std::string BinPath(const std::string& program) {
    return std::string(SONGWELL_BIN_DIR) + "/" + program;
}

// A fresh folder removed with everything in it when the object goes away.
class TempDir {
public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "songwell-test-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        path_ = mkdtemp(buffer.data());
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Records interleaved PCM the way the real sinks do: one cursor per channel.
class RecordingSink : public audiocore::PcmSink {
public:
    explicit RecordingSink(int channels) : channels_(channels), cursor_{0, 1} {}

    void Append(std::uint32_t channel, std::int16_t sample) override {
        std::size_t& at = cursor_[channel & 1];
        if (pcm.size() <= at)
            pcm.resize(at + 1);
        pcm[at] = sample;
        at += static_cast<std::size_t>(channels_);
        ++appended[channel & 1];
    }
    void EndFrame() override { ++frames_ended; }
    void Clear() override { ++clears; }
    void Stop() override { ++stops; }

    std::vector<std::int16_t> pcm;
    std::size_t appended[2] = {0, 0};
    int frames_ended = 0;
    int clears = 0;
    int stops = 0;

private:
    int channels_;
    std::size_t cursor_[2];
};

// The largest difference between two equally long signals; a length that
// differs counts as a huge difference.
inline int MaxDifference(const std::vector<int>& a, const std::vector<int>& b) {
    if (a.size() != b.size())
        return 1 << 30;
    int most = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        most = std::max(most, std::abs(a[i] - b[i]));
    return most;
}

} // namespace testsupport

// Replays every input kept under FUZZ_REGRESSION_DIR through the fuzz target
// linked beside this file. Each input once made the target fail; a run that
// returns is the pass, a crash or sanitizer report the failure.

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

TEST(FuzzRegressions, EveryKeptInputRunsCleanly) {
    namespace fs = std::filesystem;
    int replayed = 0;
    if (fs::is_directory(FUZZ_REGRESSION_DIR)) {
        for (const auto& entry : fs::directory_iterator(FUZZ_REGRESSION_DIR)) {
            if (!entry.is_regular_file() || entry.path().filename().string().front() == '.')
                continue;
            SCOPED_TRACE(entry.path().string());
            std::vector<std::uint8_t> bytes = testsupport::ReadFile(entry.path().string());
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++replayed;
        }
    }
    // An empty input is the smallest case every target must survive.
    LLVMFuzzerTestOneInput(nullptr, 0);
    RecordProperty("replayed", replayed);
}

#include "WriteWav.h"

#include <filesystem>

namespace audiocore {

namespace {

// Creating the WAV file truncates it, which must never destroy the song
// being read.
bool IsSourceFile(const DecodeJob& job, const std::string& path) {
    std::error_code ignored;
    const std::string& source = job.decoder.Path();
    return !source.empty() && std::filesystem::equivalent(source, path, ignored);
}

} // namespace

int WriteWav(DecodeJob& job, const std::string& path, const RunProgress& progress,
             std::string* failure) {
    if (failure)
        failure->clear();
    if (!job.decoder.IsOpen()) {
        if (failure)
            *failure = "no source file is open";
        return -1;
    }
    if (IsSourceFile(job, path)) {
        if (failure)
            *failure = "is the source file itself";
        return -1;
    }
    // Like Play there, a conversion at the end of the stream has nothing to
    // decode; writing would replace the file with an empty one.
    if (job.stream_ended.load() && !job.seek_requested.load()) {
        if (failure)
            *failure = "the stream is at its end: nothing left to convert";
        return -1;
    }
    job.stop_requested.store(false);
    job.wav_name = path;
    job.output_mode = OutputMode::WavFile;
    return RunDecode(job, progress, failure) == 0 ? 0 : -1;
}

} // namespace audiocore

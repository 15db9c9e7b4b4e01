#include "DecodeJob.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>

namespace audiocore {

int PositionFrame(const DecodeJob& job) {
    if (!job.decoder.IsOpen())
        return 0;
    // A requested seek is where the run goes next (or the next Play starts),
    // even before the run has taken it.
    if (job.seek_requested.load())
        return job.seek_target.load();
    if (std::optional<int> heard = job.played.HeardFrame(job.device->PlayedBytes()))
        return *heard;
    return job.decoder.Position();
}

void EndAtHeardFrame(DecodeJob& job) {
    const bool ending = job.device->EndAt([&job](std::uint64_t consumed) {
        const std::optional<PlayedFrames::Cut> cut = job.played.CutAfter(consumed);
        return cut ? cut->bytes : consumed;
    });
    if (!ending)
        job.device->Interrupt();
}

} // namespace audiocore

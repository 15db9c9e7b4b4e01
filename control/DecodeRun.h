#pragma once

#include "DecodeJob.h"

#include <functional>
#include <string>

namespace audiocore {

// Told after every frame a run has decoded; the job's stream stands at the
// frame read last.
using RunProgress = std::function<void()>;

// One decode of the job's stream, from the frame read last to the end of
// the stream, into the sink that the job's output mode names. Between frames
// it honours the job's stop and seek requests. On the device, the songs the
// job's next_song gives follow it, each from its first frame; `reached`
// (when given) is set to the song decoded last.
//
// 0 when the run reached the end of the stream or was asked to stop; 1 when
// it could not start (no frame, no sink), a seek failed, or the output could
// not be written. `failure`, when given, then says why.
int RunDecode(DecodeJob& job, const RunProgress& progress = {}, std::string* failure = nullptr,
              DecodeJob** reached = nullptr);

} // namespace audiocore

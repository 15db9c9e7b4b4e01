#pragma once

#include "DecodeRun.h"

#include <string>

namespace audiocore {

// The control's WriteWAV: converts the job's stream, from the frame read
// last, into the 16-bit PCM WAV file `path`, on the calling thread.
//
// 0 when the file is written, or when the run was asked to stop. The file
// replaces `path` only when it is complete: after a stop or a failure `path`
// is as it was. -1 when the job has no open stream, when `path` names the
// source file itself, or when the file could not be created or written.
// `failure`, when given, says why.
int WriteWav(DecodeJob& job, const std::string& path, const RunProgress& progress = {},
             std::string* failure = nullptr);

} // namespace audiocore

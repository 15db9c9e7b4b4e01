#pragma once

#include "DecodeRun.h"

#include <string>

namespace audiocore {

class WavFileSink;

// Whether the conversion of the job's stream from `first` on splits into
// runs on several threads: it needs a file to open once per thread, more
// than one core (or threads asked for) and enough frames left.
bool ConvertsInRuns(const DecodeJob& job, int first);

// Converts frames `first` to the end of the job's stream into `out` on
// several threads, the same bytes as one thread writes. Each thread opens
// the file itself and decodes whole runs; each run starts at a seek, which
// decodes the frames before it without output, so its samples equal those
// of a conversion from the start. The calling thread writes the runs in
// order and honours the job's stop between them.
//
// Leaves the job's stream after the last frame written, as a conversion on
// one thread does. 0 when the file is written or the job was asked to stop;
// 1 when a run failed (the file is then discarded) and `failure` says why.
int ConvertInRuns(DecodeJob& job, int first, WavFileSink& out, const RunProgress& progress,
                  std::string* failure);

} // namespace audiocore

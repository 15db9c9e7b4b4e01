#pragma once

#include "ReplayGain.h"

#include <string>
#include <vector>

// Each command takes its own arguments (after the command name) and returns
// the process's exit status.
int RunInfo(const std::vector<std::string>& args);
int RunConvert(const std::vector<std::string>& args);
int RunPlay(const std::vector<std::string>& args);
int RunDevices(const std::vector<std::string>& args);

// One line on standard error, "audiocore: FILE: reason".
void ReportFailure(const std::string& file, const std::string& reason);

// A whole decimal number within [low, high] into `value`; false for any
// other text.
bool ParseNumber(const std::string& text, int low, int high, int& value);

// The ReplayGain options play and convert share: --replaygain MODE and
// --preamp DB. True when args[i] is one of them, taken with its value
// (i then stands on the value); `valid` turns false for a bad value.
struct GainOptions {
    audiocore::ReplayGainMode mode = audiocore::ReplayGainMode::Off;
    double preamp_db = 0.0;
};
bool TakeGainOption(const std::vector<std::string>& args, std::size_t& i, GainOptions& options,
                    bool& valid);

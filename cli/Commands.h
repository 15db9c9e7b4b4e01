#pragma once

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

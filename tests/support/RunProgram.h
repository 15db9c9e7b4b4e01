#pragma once

// Runs a program of the build and captures what it prints.

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "TestSupport.h"

namespace testsupport {

struct ProgramResult {
    int exit_code = -1;
    std::string out;
    std::string err;
};

inline std::string ShellQuote(const std::string& word) {
    std::string quoted = "'";
    for (char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs `program` with `args`; standard error goes to a scratch file.
inline ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args) {
    TempDir dir;
    std::string command = ShellQuote(program);
    for (const std::string& a : args)
        command += " " + ShellQuote(a);
    command += " 2>" + ShellQuote(dir.File("stderr")) + " </dev/null";
    ProgramResult result;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        std::array<char, 4096> buffer;
        std::size_t n;
        while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
            result.out.append(buffer.data(), n);
        int status = pclose(pipe);
        result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    for (std::uint8_t c : ReadFile(dir.File("stderr")))
        result.err.push_back(static_cast<char>(c));
    return result;
}

} // namespace testsupport

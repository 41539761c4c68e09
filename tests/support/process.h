#pragma once
// Runs a program (the command-line front end) as a child process.
#include <chrono>
#include <string>
#include <vector>

namespace velmora::testing {

struct ProcessResult {
    int exitCode = -1;  // -1 when killed by a signal or not started
    std::string out;    // stdout
    std::string err;    // stderr
};

// Runs `args` (args[0] is the program path) and waits for it.
ProcessResult runProcess(const std::vector<std::string>& args);

// Starts `args`, sends SIGINT after `interruptAfter`, then waits.
ProcessResult runProcessInterrupted(const std::vector<std::string>& args,
                                    std::chrono::milliseconds interruptAfter);

}  // namespace velmora::testing

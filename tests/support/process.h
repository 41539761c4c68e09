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

// A child process that runs while the test watches it, for example to kill
// it at a chosen moment. Its output goes to files; wait() collects it.
class ChildProcess {
  public:
    explicit ChildProcess(const std::vector<std::string>& args);
    ~ChildProcess();  // kills a child still running
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    // True while the child has not ended.
    bool running();
    void kill(int signal);
    // What the child wrote to stdout up to now.
    std::string outSoFar() const;
    ProcessResult wait();

  private:
    int pid_ = -1;
    bool reaped_ = false;
    int status_ = 0;
    std::string outPath_, errPath_, dir_;
};

}  // namespace velmora::testing

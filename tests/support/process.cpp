#include "support/process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

#include "support/test_support.h"

extern char** environ;

namespace velmora::testing {

ChildProcess::ChildProcess(const std::vector<std::string>& args) {
    char pattern[] = "/tmp/velmora-child-XXXXXX";
    if (!mkdtemp(pattern)) return;
    dir_ = pattern;
    outPath_ = dir_ + "/out";
    errPath_ = dir_ + "/err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) pid_ = pid;
    posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !reaped_) {
        ::kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
    }
    if (!dir_.empty()) {
        unlink(outPath_.c_str());
        unlink(errPath_.c_str());
        rmdir(dir_.c_str());
    }
}

bool ChildProcess::running() {
    if (pid_ <= 0 || reaped_) return false;
    if (waitpid(pid_, &status_, WNOHANG) == pid_) reaped_ = true;
    return !reaped_;
}

void ChildProcess::kill(int signal) {
    if (pid_ > 0 && !reaped_) ::kill(pid_, signal);
}

std::string ChildProcess::outSoFar() const {
    return outPath_.empty() ? std::string() : readFile(outPath_);
}

ProcessResult ChildProcess::wait() {
    ProcessResult result;
    if (pid_ <= 0) return result;
    if (!reaped_) {
        waitpid(pid_, &status_, 0);
        reaped_ = true;
    }
    if (WIFEXITED(status_)) result.exitCode = WEXITSTATUS(status_);
    result.out = readFile(outPath_);
    result.err = readFile(errPath_);
    return result;
}

ProcessResult runProcess(const std::vector<std::string>& args) {
    return ChildProcess(args).wait();
}

ProcessResult runProcessInterrupted(const std::vector<std::string>& args,
                                    std::chrono::milliseconds interruptAfter) {
    ChildProcess child(args);
    if (!child.started()) return {};
    std::this_thread::sleep_for(interruptAfter);
    child.kill(SIGINT);
    return child.wait();
}

}  // namespace velmora::testing

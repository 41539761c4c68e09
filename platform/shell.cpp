#include "platform/shell.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>

extern char** environ;

namespace velmora {
namespace {

bool isExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

// Runs argv through "sh -c '"$@" &'": the shell forks the program into the
// background and exits at once, so the program is re-parented to init and we
// only wait for the short-lived shell. Arguments are passed as positional
// parameters, never pasted into the command text.
bool spawnDetached(const std::vector<std::string>& argv) {
    if (argv.empty()) return false;
    std::vector<std::string> args = {"sh", "-c", "\"$@\" </dev/null >/dev/null 2>&1 &", "sh"};
    args.insert(args.end(), argv.begin(), argv.end());
    std::vector<char*> raw;
    raw.reserve(args.size() + 1);
    for (auto& a : args) raw.push_back(a.data());
    raw.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawn(&pid, "/bin/sh", nullptr, nullptr, raw.data(), environ) != 0) return false;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class DesktopShell : public Shell {
  public:
    bool open(const std::string& target) override {
        if (target.empty()) return false;
        std::string opener = findProgram("xdg-open");
        if (opener.empty()) return false;
        return spawnDetached({opener, target});
    }

    bool start(const std::vector<std::string>& argv) override {
        if (argv.empty()) return false;
        std::string program = findProgram(argv[0]);
        if (program.empty()) return false;
        std::vector<std::string> resolved = argv;
        resolved[0] = program;
        return spawnDetached(resolved);
    }
};

}  // namespace

std::string findProgram(const std::string& program) {
    if (program.empty()) return {};
    if (program.find('/') != std::string::npos)
        return isExecutableFile(program) ? program : std::string();
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path ? path : "/usr/local/bin:/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        if (dir.empty()) dir.assign(1, '.');  // an empty entry means the current folder
        std::string candidate = dir + "/" + program;
        if (isExecutableFile(candidate)) return candidate;
    }
    return {};
}

std::unique_ptr<Shell> makeDesktopShell() {
    return std::make_unique<DesktopShell>();
}

}  // namespace velmora

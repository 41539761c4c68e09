// The first worksheet of a legacy .xls workbook, read by the velmora-xls-dump
// helper in a process of its own: the BIFF library corrupts memory on some
// damaged files, so a damaged workbook may crash that process, never ours;
// the import then takes its failure path.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "io/sheet_reader.h"
#include "io/xls_dump/xls_dump_protocol.h"
#include "platform/system_info.h"

extern char** environ;

namespace velmora::io {
namespace {

// The helper beside the running program, else the one this build made.
std::string helperPath() {
    if (const char* env = std::getenv("VELMORA_XLS_DUMP"); env && *env) return env;
    std::string beside = sysinfo::executableDir() + "/velmora-xls-dump";
    if (::access(beside.c_str(), X_OK) == 0) return beside;
#ifdef VELMORA_XLS_DUMP_BUILT
    return VELMORA_XLS_DUMP_BUILT;
#else
    return beside;
#endif
}

class SpawnedXlsSheet : public SheetReader {
  public:
    ~SpawnedXlsSheet() override {
        if (out_) std::fclose(out_);
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            int status = 0;
            ::waitpid(pid_, &status, 0);
        }
    }

    bool start(const std::string& path, std::string& error) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            error = "cannot start the legacy workbook reader";
            return false;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        std::string helper = helperPath();
        char* argv[] = {helper.data(), const_cast<char*>(path.c_str()), nullptr};
        int rc = posix_spawn(&pid_, helper.c_str(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        if (rc != 0) {
            ::close(fds[0]);
            pid_ = 0;
            error = "the legacy workbook reader is missing: " + helper;
            return false;
        }
        out_ = ::fdopen(fds[0], "rb");
        if (!out_) {
            ::close(fds[0]);
            error = "cannot read from the legacy workbook reader";
            return false;
        }
        // A file that cannot be opened is reported before the first row.
        int tag = std::fgetc(out_);
        if (tag == xls_dump::kFailure || tag == EOF) {
            error = tag == EOF ? crashed() : readMessage();
            return false;
        }
        pending_ = tag;
        return true;
    }

    bool next(SheetRow& row) override {
        int tag = pending_ >= 0 ? pending_ : std::fgetc(out_);
        pending_ = -1;
        if (tag == xls_dump::kRow) {
            if (!read(&row.number, sizeof row.number)) return fail(crashed());
            for (auto& cell : row.cells)
                if (!readText(cell)) return fail(crashed());
            return true;
        }
        if (tag == xls_dump::kEnd) return false;
        if (tag == xls_dump::kFailure) return fail(readMessage());
        return fail(crashed());
    }

    const std::string& error() const override { return error_; }

  private:
    bool read(void* data, size_t size) { return std::fread(data, 1, size, out_) == size; }

    bool readText(std::string& text) {
        std::uint32_t length = 0;
        if (!read(&length, sizeof length) || length > xls_dump::kMaxCellBytes) return false;
        text.resize(length);
        return length == 0 || read(text.data(), length);
    }

    std::string readMessage() {
        std::string message;
        return readText(message) ? message : crashed();
    }

    std::string crashed() { return "legacy workbook unreadable (the reader failed on it)"; }

    bool fail(std::string message) {
        error_ = std::move(message);
        return false;
    }

    pid_t pid_ = 0;
    std::FILE* out_ = nullptr;
    int pending_ = -1;
    std::string error_;
};

}  // namespace

std::unique_ptr<SheetReader> openXlsSheet(const std::string& path, std::string& error) {
    auto sheet = std::make_unique<SpawnedXlsSheet>();
    if (!sheet->start(path, error)) return nullptr;
    return sheet;
}

}  // namespace velmora::io

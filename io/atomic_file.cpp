#include "io/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <system_error>

namespace velmora::io {
namespace {

std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string uniqueSuffix() {
    static std::atomic<unsigned> counter{0};
    auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1)) + "-" +
           std::to_string(static_cast<unsigned long long>(ticks) % 1000000007ULL);
}

}  // namespace

AtomicFile::AtomicFile(std::string target) : target_(std::move(target)) {}

AtomicFile::~AtomicFile() {
    discard();
}

void AtomicFile::fail(const std::string& what, int err) {
    if (!error_.empty()) return;  // the first error is the one that explains the rest
    error_ = what;
    if (err != 0) error_ += ": " + std::generic_category().message(err);
}

bool AtomicFile::open() {
    if (target_.empty()) {
        fail("no file name", 0);
        return false;
    }
    struct stat st {};
    bool exists = ::stat(target_.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        fail(target_, EISDIR);
        return false;
    }
    std::string folder = folderOf(target_);
    std::string base = baseNameOf(target_);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = folder + "/." + base + ".tmp-" + uniqueSuffix();
        int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            fd_ = fd;
            tempPath_ = std::move(candidate);
            created_ = true;
            // The replacement keeps the permissions the user gave the old file.
            if (exists && S_ISREG(st.st_mode)) (void)::fchmod(fd_, st.st_mode & 07777);
            buffer_.reserve(kBufferBytes);
            return true;
        }
        if (errno != EEXIST) {
            fail(target_, errno);
            return false;
        }
    }
    fail(target_, EEXIST);
    return false;
}

void AtomicFile::closeForOtherWriter() {
    flushSome({});
    if (fd_ >= 0) {
        if (::close(fd_) != 0) fail(tempPath_, errno);
        fd_ = -1;
    }
}

bool AtomicFile::writeAll(const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd_, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(target_, errno);
            return false;
        }
        if (n == 0) {
            fail(target_, EIO);
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

void AtomicFile::flushSome(std::string_view more) {
    if (!error_.empty() || fd_ < 0) {
        buffer_.clear();
        if (fd_ < 0 && error_.empty() && !more.empty()) fail(target_, EBADF);
        return;
    }
    if (!buffer_.empty() && !writeAll(buffer_.data(), buffer_.size())) {
        buffer_.clear();
        return;
    }
    buffer_.clear();
    if (more.size() >= kBufferBytes)
        writeAll(more.data(), more.size());
    else
        buffer_.append(more);
}

bool AtomicFile::commit() {
    if (!created_) {
        fail(target_, EBADF);
        return false;
    }
    if (fd_ >= 0) {
        flushSome({});
    } else if (error_.empty()) {
        // Another writer filled the file; reopen it to force it to the disk.
        fd_ = ::open(tempPath_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) fail(tempPath_, errno);
    }
    if (error_.empty() && fd_ >= 0 && ::fsync(fd_) != 0) fail(target_, errno);
    if (fd_ >= 0) {
        if (::close(fd_) != 0) fail(target_, errno);
        fd_ = -1;
    }
    if (!error_.empty()) {
        discard();
        return false;
    }
    if (::rename(tempPath_.c_str(), target_.c_str()) != 0) {
        fail(target_, errno);
        discard();
        return false;
    }
    committed_ = true;
    return true;
}

void AtomicFile::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (created_ && !committed_) {
        ::unlink(tempPath_.c_str());
        created_ = false;
    }
    buffer_.clear();
}

}  // namespace velmora::io

#include "app/engine/list_journal.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <system_error>

#include "app/engine/journal_record.h"

namespace velmora {
namespace {

// Written in pieces of about this size, so a large import is not framed into
// one huge buffer.
constexpr size_t kWriteChunk = 4u << 20;

std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

ListJournal::ListJournal(const CompanyList& list) : list_(list) {}

ListJournal::~ListJournal() {
    close();
}

void ListJournal::fail(const std::string& what, int err) {
    std::lock_guard lock(errorMutex_);
    if (!error_.empty()) return;
    error_ = what;
    if (err != 0) error_ += ": " + std::generic_category().message(err);
}

std::string ListJournal::error() const {
    std::lock_guard lock(errorMutex_);
    return error_;
}

bool ListJournal::openFile(const std::string& file, int flags, std::string& error) {
    bool truncate = (flags & O_TRUNC) != 0;
    fd_ = ::open(file.c_str(), (flags & ~O_TRUNC) | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        error = file + ": " + std::generic_category().message(errno);
        return false;
    }
    // One writer per journal: a second program on the same file (a second
    // window, a second harvest into the same output) must not touch it.
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        error = file + ": in use by another Velmora program";
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    if (truncate && ::ftruncate(fd_, 0) != 0) {
        error = file + ": " + std::generic_category().message(errno);
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    return true;
}

bool ListJournal::inUse(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool busy = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return busy;
}

bool ListJournal::create(const std::string& path, bool staged, std::string& error, size_t fromRow) {
    close();
    path_ = path;
    stagedPath_ = staged ? path + ".tmp" : std::string();
    if (!openFile(staged ? stagedPath_ : path_, O_WRONLY | O_CREAT | O_TRUNC, error)) return false;
    journaledRows_ = fromRow;
    lastMarkRow_ = fromRow;
    currentTag_ = lastTag_ = 0;
    std::string head(journal::kFileHead);
    if (::write(fd_, head.data(), head.size()) != static_cast<ssize_t>(head.size())) {
        error = path + ": " + std::generic_category().message(errno);
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    unsynced_ = true;
    // A staged journal gets its writer once it is in place: until then the
    // marks that rebuild it are queued in the order they must appear.
    if (!staged) startWriter();
    return true;
}

bool ListJournal::resume(const std::string& path, size_t validBytes, size_t rowsInFile,
                         std::string& error) {
    close();
    path_ = path;
    stagedPath_.clear();
    if (!openFile(path, O_WRONLY, error)) return false;
    bool headLost = validBytes < journal::kFileHead.size();
    if (headLost) validBytes = 0;
    if (::ftruncate(fd_, static_cast<off_t>(validBytes)) != 0 || ::lseek(fd_, 0, SEEK_END) < 0 ||
        (headLost && ::write(fd_, journal::kFileHead.data(), journal::kFileHead.size()) !=
                         static_cast<ssize_t>(journal::kFileHead.size()))) {
        error = path + ": " + std::generic_category().message(errno);
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    journaledRows_ = rowsInFile;
    lastMarkRow_ = rowsInFile;
    currentTag_ = lastTag_ = 0;
    unsynced_ = true;
    startWriter();
    return true;
}

bool ListJournal::publish() {
    if (fd_ < 0 || stagedPath_.empty()) return fd_ >= 0;
    sync();
    if (::rename(stagedPath_.c_str(), path_.c_str()) != 0) {
        fail(path_, errno);
        return false;
    }
    stagedPath_.clear();
    int dir = ::open(folderOf(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
    startWriter();
    return true;
}

void ListJournal::startWriter() {
    if (writer_.joinable()) return;
    {
        std::lock_guard lock(wakeMutex_);
        stopping_ = false;
    }
    writer_ = std::thread([this] { writerLoop(); });
}

void ListJournal::writerLoop() {
    using Clock = std::chrono::steady_clock;
    auto lastSync = Clock::now();
    std::unique_lock lock(wakeMutex_);
    while (!stopping_) {
        // Entries are framed and handed over in short steps, so a long intake
        // never leaves a large backlog for the end of the run; the disk is
        // forced at the sync interval.
        wake_.wait_for(lock, std::chrono::milliseconds(kHandOverIntervalMs),
                       [this] { return stopping_; });
        if (stopping_) break;
        lock.unlock();
        bool needSync = false;
        auto now = Clock::now();
        {
            std::lock_guard write(writeMutex_);
            flushLocked();
            if (unsynced_ && now - lastSync >= std::chrono::milliseconds(kSyncIntervalMs)) {
                needSync = true;
                unsynced_ = false;
            }
        }
        // Outside the lock: the main thread's commits need not wait for the disk.
        if (needSync) {
            if (::fdatasync(fd_) != 0) fail(path_, errno);
            lastSync = now;
        }
        lock.lock();
    }
}

void ListJournal::setTag(int source) {
    if (source == lastTag_ || fd_ < 0) return;
    lastTag_ = source;
    size_t at = std::max(list_.size(), lastMarkRow_);
    lastMarkRow_ = at;
    std::lock_guard lock(queueMutex_);
    marks_.push_back(Mark{at, 0, source, {}});
}

void ListJournal::record(char type, std::string payload) {
    recordAt(list_.size(), type, std::move(payload));
}

void ListJournal::recordAt(size_t atRow, char type, std::string payload) {
    if (fd_ < 0) return;
    // Marks never go back before one queued earlier, nor past the list.
    size_t at = std::min(std::max(atRow, lastMarkRow_), std::max(list_.size(), lastMarkRow_));
    lastMarkRow_ = at;
    std::lock_guard lock(queueMutex_);
    marks_.push_back(Mark{at, type, 0, std::move(payload)});
}

void ListJournal::saved(size_t count) {
    std::string payload;
    journal::ByteWriter(payload).number(count);
    record(journal::kSaved, std::move(payload));
}

void ListJournal::appendEntry(std::string& out, size_t row, int tag) const {
    size_t frame = out.size();
    out.append(journal::kFrameBytes, '\0');
    out.push_back(journal::kEntry);
    journal::ByteWriter w(out);
    w.number(static_cast<std::uint64_t>(tag));
    for (int c = 0; c < kColumns; ++c) w.text(list_.field(row, c));
    journal::sealRecord(out, frame);
}

void ListJournal::flushLocked() {
    if (fd_ < 0) return;
    // The size first: every mark taken below was made at a size no larger
    // than the list's size after it, and rows below a mark's size are
    // published, so every row read here is safe to read.
    size_t upTo = list_.size();
    // Both buffers keep their room from one flush to the next: a harvest
    // commits after every dispatch.
    std::vector<Mark>& marks = draining_;
    {
        std::lock_guard lock(queueMutex_);
        marks.swap(marks_);
    }
    bool failed = !error().empty();
    std::string& out = framed_;
    auto writeOut = [&] {
        size_t done = 0;
        while (!failed && done < out.size()) {
            ssize_t n = ::write(fd_, out.data() + done, out.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                fail(path_, n < 0 ? errno : EIO);
                failed = true;
                break;
            }
            done += static_cast<size_t>(n);
        }
        if (done > 0) unsynced_ = true;
        out.clear();
    };
    auto entriesUpTo = [&](size_t row) {
        for (; journaledRows_ < row; ++journaledRows_) {
            appendEntry(out, journaledRows_, currentTag_);
            if (out.size() >= kWriteChunk) writeOut();
        }
    };
    for (auto& mark : marks) {
        entriesUpTo(mark.atRow);
        if (mark.type == 0)
            currentTag_ = mark.tag;
        else
            journal::appendRecord(out, mark.type, mark.payload);
    }
    entriesUpTo(upTo);
    writeOut();
    marks.clear();
    // An import may have framed a large chunk; its room is not kept.
    if (out.capacity() > kWriteChunk) out.shrink_to_fit();
}

void ListJournal::commit() {
    std::lock_guard lock(writeMutex_);
    flushLocked();
}

void ListJournal::sync() {
    if (fd_ < 0) return;
    {
        std::lock_guard lock(writeMutex_);
        flushLocked();
        unsynced_ = false;
    }
    if (::fdatasync(fd_) != 0) fail(path_, errno);
}

void ListJournal::close() {
    if (fd_ < 0) return;
    if (writer_.joinable()) {
        {
            std::lock_guard lock(wakeMutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        writer_.join();
    }
    sync();
    ::close(fd_);
    fd_ = -1;
    // A staged journal that was never put in place leaves the old one as it was.
    if (!stagedPath_.empty()) {
        std::remove(stagedPath_.c_str());
        stagedPath_.clear();
    }
}

bool ListJournal::remove() {
    bool open = fd_ >= 0;
    bool placed = stagedPath_.empty();
    close();
    // An unpublished rewrite must not take the journal it was to replace along.
    if (!open || !placed || path_.empty()) return false;
    return std::remove(path_.c_str()) == 0;
}

}  // namespace velmora

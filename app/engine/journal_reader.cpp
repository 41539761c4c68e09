#include "app/engine/journal_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "app/engine/list_journal.h"

namespace velmora {

bool readJournal(const std::string& path, JournalFile& file, std::string& error) {
    file.exists = false;
    file.bytes.clear();
    file.scan = {};
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return true;
        error = path + ": " + std::generic_category().message(errno);
        return false;
    }
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (ok) {
        file.bytes.resize(static_cast<size_t>(st.st_size));
        size_t done = 0;
        while (done < file.bytes.size()) {
            ssize_t n = ::read(fd, file.bytes.data() + done, file.bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        // A file that shrank meanwhile is read as far as it goes.
        file.bytes.resize(done);
    }
    int err = errno;
    ::close(fd);
    if (!ok) {
        error = path + ": " + std::generic_category().message(S_ISREG(st.st_mode) ? err : EISDIR);
        return false;
    }
    file.exists = true;
    file.scan = journal::scan(file.bytes);
    return true;
}

bool decodeEntry(std::string_view payload, int& tag, EntryFields& columns) {
    journal::ByteReader r(payload);
    tag = static_cast<int>(r.number());
    for (auto& column : columns) column = r.text();
    return !r.failed() && r.atEnd();
}

JournalSummary summarize(const journal::Scan& scan) {
    JournalSummary summary;
    for (const auto& record : scan.records) {
        if (record.type == journal::kEntry) {
            ++summary.entries;
        } else if (record.type == journal::kSaved) {
            journal::ByteReader r(record.payload);
            size_t count = static_cast<size_t>(r.number());
            if (!r.failed() && count > summary.saved) summary.saved = count;
        }
    }
    return summary;
}

size_t restoreEntries(const journal::Scan& scan, CompanyList& list) {
    size_t added = 0;
    int tag = 0;
    EntryFields columns;
    for (const auto& record : scan.records) {
        if (record.type != journal::kEntry || !decodeEntry(record.payload, tag, columns)) continue;
        list.addEntry(columns);
        ++added;
    }
    return added;
}

}  // namespace velmora

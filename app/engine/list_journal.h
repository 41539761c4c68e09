#pragma once
// The crash-safe journal of the company list. Every entry that joins the
// list, by any path, ends up in the journal file in list order, followed by
// the marks the program adds (a save, a run's checkpoints).
//
// The main thread pays almost nothing per entry: the list's published
// entries may be read from any thread, so the journal's writer thread reads
// them from the list itself and frames them there. Marks are queued with the
// list size at the moment they were made, which keeps them in order with the
// entries. Everything is handed to the system every 50 ms and forced to the
// disk every half second (fdatasync), so a crash or a power cut loses at most
// the last second; commit() hands what is queued over at once (a process that
// is killed loses nothing handed over), sync() also forces it to the disk.
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/engine/company_list.h"

namespace velmora {

namespace journal {
// Record types.
inline constexpr char kEntry = 'E';       // tag (the source that took it in, 0 none), 11 fields
inline constexpr char kSaved = 'S';       // the first N entries are saved in a file
inline constexpr char kSearch = 'R';      // a search begins (see run_journal.h)
inline constexpr char kCheckpoint = 'C';  // where a source stands (run_checkpoint.h)
inline constexpr char kSearchDone = 'D';  // a search of a batch has ended
}  // namespace journal

class ListJournal {
  public:
    explicit ListJournal(const CompanyList& list);
    ~ListJournal();  // close()
    ListJournal(const ListJournal&) = delete;
    ListJournal& operator=(const ListJournal&) = delete;

    // Starts a new journal of the list from row `fromRow` on (the rows before
    // it are not journaled). With `staged` the file is written beside `path`
    // and replaces it only at publish(), so a journal being rewritten stays
    // whole until its replacement is. False (and `error`) when the file
    // cannot be made.
    bool create(const std::string& path, bool staged, std::string& error, size_t fromRow = 0);

    // Continues the journal at `path` after its first `validBytes` bytes (a
    // damaged tail is cut off); its entries are rows 0 .. rowsInFile - 1.
    bool resume(const std::string& path, size_t validBytes, size_t rowsInFile, std::string& error);

    // True while another program holds the journal at `path` open for writing.
    static bool inUse(const std::string& path);

    // Moves a staged journal over its target (after syncing it).
    bool publish();

    // Main thread: entries added from now on were taken in by `source`.
    void setTag(int source);
    // Main thread: queues a record after the entries now in the list (or
    // after the first `atRow` rows, at least those already queued).
    void record(char type, std::string payload);
    void recordAt(size_t atRow, char type, std::string payload);
    // The first `count` entries are saved in a file.
    void saved(size_t count);

    // Hands everything queued to the system now (no disk sync).
    void commit();
    // commit(), then forces it to the disk.
    void sync();
    // Stops the writer thread, syncs and closes the file.
    void close();
    // Closes and deletes the file.
    bool remove();

    bool isOpen() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }
    // The first write error (UTF-8), empty while all is well.
    std::string error() const;

    // How often the writer thread hands entries over, and forces them to the disk.
    static constexpr int kHandOverIntervalMs = 50;
    static constexpr int kSyncIntervalMs = 500;

  private:
    struct Mark {
        size_t atRow;
        char type;  // 0: a tag change
        int tag;
        std::string payload;
    };

    bool openFile(const std::string& file, int flags, std::string& error);
    void startWriter();
    void writerLoop();
    // Frames queued marks and new entries and writes them (writeMutex_ held).
    void flushLocked();
    void appendEntry(std::string& out, size_t row, int tag) const;
    void fail(const std::string& what, int err);

    const CompanyList& list_;
    std::string path_;
    std::string stagedPath_;
    int fd_ = -1;

    std::mutex queueMutex_;  // marks_
    std::vector<Mark> marks_;
    size_t lastMarkRow_ = 0;  // main thread
    int lastTag_ = 0;         // main thread

    std::mutex writeMutex_;  // the file, journaledRows_, currentTag_, the two below
    std::vector<Mark> draining_;
    std::string framed_;
    size_t journaledRows_ = 0;
    int currentTag_ = 0;
    bool unsynced_ = false;

    mutable std::mutex errorMutex_;
    std::string error_;

    std::mutex wakeMutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread writer_;
};

}  // namespace velmora

#pragma once
// A file that replaces its target only when it is complete: the bytes go to a
// temporary file in the target's folder (same file system, so the final
// rename is atomic), and a failed or abandoned save leaves the previous file
// as it was. Writes are buffered; the first error sticks, so a writing loop
// checks ok() now and then instead of after every piece.
#include <string>
#include <string_view>

namespace velmora::io {

class AtomicFile {
  public:
    explicit AtomicFile(std::string target);
    ~AtomicFile();  // removes the temporary file unless committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file. Fails when the target is a folder or its
    // folder cannot take a new file.
    bool open();

    // Path of the temporary file, for writers that need a name of their own
    // (the workbook writer). Call closeForOtherWriter() before they open it.
    const std::string& tempPath() const { return tempPath_; }
    void closeForOtherWriter();

    void append(std::string_view bytes) {
        if (buffer_.size() + bytes.size() > kBufferBytes)
            flushSome(bytes);
        else
            buffer_.append(bytes);
    }
    void append(char c) {
        if (buffer_.size() + 1 > kBufferBytes) flushSome({});
        buffer_.push_back(c);
    }
    bool ok() const { return error_.empty(); }

    // Flushes, forces the bytes to the disk and renames the file over the
    // target. False on any error, which leaves the target untouched.
    bool commit();
    // Drops the temporary file (also done by the destructor).
    void discard();

    // What went wrong (UTF-8, with the system's reason), empty while ok().
    const std::string& error() const { return error_; }

  private:
    static constexpr size_t kBufferBytes = 1u << 20;

    void flushSome(std::string_view more);
    bool writeAll(const char* data, size_t size);
    void fail(const std::string& what, int err);

    std::string target_;
    std::string tempPath_;
    std::string buffer_;
    std::string error_;
    int fd_ = -1;
    bool created_ = false;
    bool committed_ = false;
};

}  // namespace velmora::io

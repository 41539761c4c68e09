#pragma once
// The journal's framing: a fixed file head, then records of
//   [body length, u32 LE] [CRC-32C of the body, u32 LE] [body: type byte, payload]
// A record is either whole and intact or not there: the reader stops at the
// first record that is cut short or fails its checksum, so a write torn by a
// crash or a power cut is cut off and never read as data.
//
// Payloads are built from unsigned LEB128 numbers and length-prefixed byte
// strings (ByteWriter / ByteReader).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::journal {

// The first bytes of every journal file.
inline constexpr std::string_view kFileHead = "VELMORA-JOURNAL 1\n";
// A record longer than this is damage, not data.
inline constexpr std::uint32_t kMaxRecordBytes = 1u << 30;
inline constexpr size_t kFrameBytes = 8;

std::uint32_t crc32c(std::string_view bytes);
// The same without the processor's instruction (tests compare the two).
std::uint32_t crc32cPortable(std::string_view bytes);

// Appends one framed record to `out`.
void appendRecord(std::string& out, char type, std::string_view payload);

// Frames the bytes of `out` from `bodyStart` on (type byte and payload,
// written after kFrameBytes reserved bytes at bodyStart - kFrameBytes).
void sealRecord(std::string& out, size_t frameStart);

struct Record {
    char type = 0;
    std::string_view payload;
    size_t end = 0;  // offset just past the record in the file
};

struct Scan {
    bool headOk = false;          // the file starts with kFileHead
    std::vector<Record> records;  // the intact records, in order
    size_t validBytes = 0;        // head plus intact records
    size_t damagedBytes = 0;      // what follows them (a torn or corrupt tail)
};

// Reads the records of a journal's bytes (the views point into `bytes`).
Scan scan(std::string_view bytes);

class ByteWriter {
  public:
    explicit ByteWriter(std::string& out) : out_(out) {}
    void number(std::uint64_t value);
    void text(std::string_view bytes);
    void flag(bool on) { out_.push_back(on ? '\1' : '\0'); }
    // Zig-zag, so that negative counters stay short.
    void int32(std::int32_t value) {
        auto wide = static_cast<std::int64_t>(value);
        number((static_cast<std::uint64_t>(wide) << 1) ^ static_cast<std::uint64_t>(wide >> 63));
    }

  private:
    std::string& out_;
};

// Reads what a ByteWriter wrote; any read past the end or any malformed
// number sets failed() and returns zero values from then on.
class ByteReader {
  public:
    explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}
    std::uint64_t number();
    std::int32_t int32();  // a number that must fit an int32
    std::string_view text();
    bool flag() { return number() != 0; }
    bool failed() const { return failed_; }
    bool atEnd() const { return pos_ == bytes_.size(); }

  private:
    std::string_view bytes_;
    size_t pos_ = 0;
    bool failed_ = false;
};

}  // namespace velmora::journal

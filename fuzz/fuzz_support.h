#pragma once
// Helpers shared by the libFuzzer targets: reading a few numbers from the
// front of an input, exact-size copies of pages, and a check that turns a
// broken property into a crash that libFuzzer records.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

#include <unistd.h>

#include "sources/framework/work_form.h"
#include "sources/framework/work_key.h"

namespace velmora::fuzz {

// A property that must hold for every input; a failure aborts, which
// libFuzzer reports as a crash and keeps the input.
[[noreturn]] inline void checkFailed(const char* what, const char* file, int line) {
    std::fprintf(stderr, "\n*** fuzz check failed: %s (%s:%d)\n", what, file, line);
    std::fflush(stderr);
    std::abort();
}

#define FUZZ_CHECK(cond) \
    ((cond) ? (void)0 : ::velmora::fuzz::checkFailed(#cond, __FILE__, __LINE__))

// Bytes consumed from the front of an input: the leading bytes choose the
// work form's counters and key, the rest is the page (or file). An input
// shorter than its header reads the missing bytes as zero.
class Input {
  public:
    Input(const std::uint8_t* data, size_t size)
        : bytes_(reinterpret_cast<const char*>(data), size) {}

    std::uint8_t byte() {
        if (bytes_.empty()) return 0;
        auto b = static_cast<std::uint8_t>(bytes_.front());
        bytes_.remove_prefix(1);
        return b;
    }
    // Little-endian, so a header written by hand reads naturally.
    std::uint32_t u32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(byte()) << (8 * i);
        return v;
    }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    std::int64_t i64() {
        std::uint64_t lo = u32(), hi = u32();
        return static_cast<std::int64_t>(lo | (hi << 32));
    }
    // Up to the next byte `stop` (dropped), or everything that is left.
    std::string_view until(char stop) {
        size_t at = bytes_.find(stop);
        std::string_view head = bytes_.substr(0, at);
        bytes_.remove_prefix(at == std::string_view::npos ? bytes_.size() : at + 1);
        return head;
    }
    std::string_view rest() const { return bytes_; }

  private:
    std::string_view bytes_;
};

// A copy of some bytes in a heap block of exactly their size, so that a read
// one byte past the end is a heap-buffer-overflow for AddressSanitizer; the
// capacity and terminator of a std::string would hide it.
class ExactBytes {
  public:
    explicit ExactBytes(std::string_view bytes)
        : size_(bytes.size()), data_(new char[bytes.size()]) {
        if (size_ > 0) std::memcpy(data_.get(), bytes.data(), size_);
    }
    std::string_view view() const { return {data_.get(), size_}; }

  private:
    size_t size_;
    std::unique_ptr<char[]> data_;
};

// A std::string whose heap block is as small as the library allows (its size
// plus the terminator), for the interfaces that take the page as a string.
inline std::string tightString(std::string_view bytes) {
    std::string s;
    s.reserve(bytes.size());
    s.assign(bytes.data(), bytes.size());
    s.shrink_to_fit();
    return s;
}

// Known pages as a run can hold it before a listing step: a step adds one per
// result page, so the largest value a parser may raise is one below the top.
inline std::int32_t knownPagesFrom(std::uint32_t raw) {
    auto v = static_cast<std::int32_t>(raw);
    return v == std::numeric_limits<std::int32_t>::max() ? v - 1 : v;
}

// The work key as the dispatcher writes it, read back as the worker step
// reads it; the two must agree.
inline WorkKey roundTripKey(std::int32_t source, std::int32_t index, std::int32_t detail) {
    std::string text = WorkKey::make(source, index, detail);
    WorkKey key = WorkKey::parse(text);
    FUZZ_CHECK(key.source == source && key.index == index && key.detail == detail &&
               key.extra == 0);
    FUZZ_CHECK(key.str() == text);
    return key;
}

// Two forms hold the same parser output.
inline bool sameTables(const WorkTable& a, const WorkTable& b) {
    int n = std::max(a.size(), b.size());
    for (int r = 1; r <= n; ++r)
        if (!(a.row(r) == b.row(r))) return false;
    return true;
}

inline bool sameForm(const WorkForm& a, const WorkForm& b) {
    return a.knownPages == b.knownPages && a.nextPage == b.nextPage &&
           a.detailCount == b.detailCount && a.nextDetailRow == b.nextDetailRow &&
           a.slot == b.slot && sameTables(a.listing, b.listing) && sameTables(a.detail, b.detail) &&
           sameTables(a.mailHits, b.mailHits);
}

// A private folder for the targets that read files, removed at exit.
class ScratchDir {
  public:
    ScratchDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "velmora-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// Writes the bytes to `path` (truncating); aborts when the disk refuses,
// since every later result would be meaningless.
inline void writeFile(const std::string& path, std::string_view bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(f != nullptr);
    size_t written = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), f);
    FUZZ_CHECK(written == bytes.size());
    FUZZ_CHECK(std::fclose(f) == 0);
}

inline std::string readFile(const std::string& path) {
    std::string out;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return out;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) out.append(buffer, n);
    std::fclose(f);
    return out;
}

}  // namespace velmora::fuzz

#include "app/engine/journal_record.h"

#include <array>
#include <cstring>
#include <limits>

namespace velmora::journal {
namespace {

// CRC-32C (Castagnoli, reflected polynomial 0x82F63B78): the processor's
// crc32 instruction where it has one, slicing-by-8 tables otherwise; both
// give the same value.
constexpr std::uint32_t kPolynomial = 0x82F63B78u;

struct CrcTables {
    std::array<std::array<std::uint32_t, 256>, 8> t{};
    CrcTables() {
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? kPolynomial ^ (c >> 1) : c >> 1;
            t[0][i] = c;
        }
        for (std::uint32_t i = 0; i < 256; ++i)
            for (size_t s = 1; s < 8; ++s) t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
    }
};

const CrcTables& tables() {
    static const CrcTables k;
    return k;
}

std::uint32_t crcTables(std::uint32_t c, const unsigned char* p, size_t n) {
    const auto& t = tables().t;
    while (n >= 8) {
        std::uint32_t lo = c ^ (std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                                std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24);
        c = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^
            t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
        p += 8;
        n -= 8;
    }
    while (n--) c = t[0][(c ^ *p++) & 0xFF] ^ (c >> 8);
    return c;
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
__attribute__((target("sse4.2"))) std::uint32_t crcInstruction(std::uint32_t c,
                                                               const unsigned char* p, size_t n) {
    std::uint64_t wide = c;
    while (n >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        wide = __builtin_ia32_crc32di(wide, word);
        p += 8;
        n -= 8;
    }
    c = static_cast<std::uint32_t>(wide);
    while (n--) c = __builtin_ia32_crc32qi(c, *p++);
    return c;
}

bool hasCrcInstruction() {
    static const bool k = __builtin_cpu_supports("sse4.2");
    return k;
}
#endif

void putU32(char* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::uint32_t getU32(const char* at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= std::uint32_t(static_cast<unsigned char>(at[i])) << (8 * i);
    return v;
}

}  // namespace

std::uint32_t crc32c(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    if (hasCrcInstruction()) return ~crcInstruction(0xFFFFFFFFu, p, bytes.size());
#endif
    return ~crcTables(0xFFFFFFFFu, p, bytes.size());
}

std::uint32_t crc32cPortable(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    return ~crcTables(0xFFFFFFFFu, p, bytes.size());
}

void appendRecord(std::string& out, char type, std::string_view payload) {
    size_t frame = out.size();
    out.append(kFrameBytes, '\0');
    out.push_back(type);
    out.append(payload);
    sealRecord(out, frame);
}

void sealRecord(std::string& out, size_t frameStart) {
    size_t body = frameStart + kFrameBytes;
    std::string_view bytes(out.data() + body, out.size() - body);
    putU32(out.data() + frameStart, static_cast<std::uint32_t>(bytes.size()));
    putU32(out.data() + frameStart + 4, crc32c(bytes));
}

Scan scan(std::string_view bytes) {
    Scan result;
    if (bytes.substr(0, kFileHead.size()) != kFileHead) {
        result.damagedBytes = bytes.size();
        return result;
    }
    result.headOk = true;
    size_t pos = kFileHead.size();
    while (bytes.size() - pos >= kFrameBytes) {
        std::uint32_t length = getU32(bytes.data() + pos);
        std::uint32_t sum = getU32(bytes.data() + pos + 4);
        if (length == 0 || length > kMaxRecordBytes) break;
        if (bytes.size() - pos - kFrameBytes < length) break;
        std::string_view body = bytes.substr(pos + kFrameBytes, length);
        if (crc32c(body) != sum) break;
        pos += kFrameBytes + length;
        result.records.push_back(Record{body[0], body.substr(1), pos});
    }
    result.validBytes = pos;
    result.damagedBytes = bytes.size() - pos;
    return result;
}

void ByteWriter::number(std::uint64_t value) {
    while (value >= 0x80) {
        out_.push_back(static_cast<char>((value & 0x7F) | 0x80));
        value >>= 7;
    }
    out_.push_back(static_cast<char>(value));
}

void ByteWriter::text(std::string_view bytes) {
    number(bytes.size());
    out_.append(bytes);
}

std::uint64_t ByteReader::number() {
    std::uint64_t value = 0;
    for (int shift = 0; !failed_; shift += 7) {
        if (pos_ >= bytes_.size() || shift > 63) {
            failed_ = true;
            break;
        }
        auto byte = static_cast<unsigned char>(bytes_[pos_++]);
        value |= std::uint64_t(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0) return value;
    }
    return 0;
}

std::int32_t ByteReader::int32() {
    // Stored as zig-zag so that negative counters survive.
    std::uint64_t raw = number();
    auto value = static_cast<std::int64_t>(raw >> 1) ^ -static_cast<std::int64_t>(raw & 1);
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        failed_ = true;
        return 0;
    }
    return static_cast<std::int32_t>(value);
}

std::string_view ByteReader::text() {
    std::uint64_t n = number();
    if (failed_ || n > bytes_.size() - pos_) {
        failed_ = true;
        return {};
    }
    std::string_view out = bytes_.substr(pos_, n);
    pos_ += n;
    return out;
}

}  // namespace velmora::journal

#include "sources/framework/text_scan.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "platform/gbk.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace velmora::text {

namespace {

// Offset of the first occurrence of `marker` in `text`, or npos. Candidates
// are the places where both the marker's first and its last byte stand, 16
// (or 32) at a time; in GBK pages the first byte of a Chinese marker is the
// lead byte of many characters, so a search that stops at every first byte
// (the library's find) or shifts by at most the marker's length (memmem) is
// many times slower.
size_t searchRest(const char* h, size_t n, const char* m, size_t k, size_t i) {
    for (; i + k <= n; ++i)
        if (h[i] == m[0] && memcmp(h + i, m, k) == 0) return i;
    return std::string_view::npos;
}

#if defined(__x86_64__) && defined(__GNUC__)
__attribute__((target("avx2"))) size_t searchWide(const char* h, size_t n, const char* m,
                                                  size_t k) {
    const __m256i first = _mm256_set1_epi8(m[0]);
    const __m256i last = _mm256_set1_epi8(m[k - 1]);
    size_t i = 0;
    for (; i + k - 1 + 32 <= n; i += 32) {
        __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(h + i));
        __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(h + i + k - 1));
        auto mask = static_cast<unsigned>(_mm256_movemask_epi8(
            _mm256_and_si256(_mm256_cmpeq_epi8(a, first), _mm256_cmpeq_epi8(b, last))));
        while (mask != 0) {
            auto bit = static_cast<size_t>(__builtin_ctz(mask));
            if (memcmp(h + i + bit + 1, m + 1, k - 2) == 0) return i + bit;
            mask &= mask - 1;
        }
    }
    return searchRest(h, n, m, k, i);
}
const bool kWide = __builtin_cpu_supports("avx2");
#endif

size_t search(std::string_view text, std::string_view marker) {
    const size_t n = text.size(), k = marker.size();
    if (k == 0) return 0;
    if (k > n) return std::string_view::npos;
    const char* h = text.data();
    const char* m = marker.data();
    if (k == 1) {
        const void* hit = memchr(h, m[0], n);
        return hit ? static_cast<size_t>(static_cast<const char*>(hit) - h)
                   : std::string_view::npos;
    }
#if defined(__x86_64__) && defined(__GNUC__)
    if (kWide) return searchWide(h, n, m, k);
#endif
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i first = _mm_set1_epi8(m[0]);
    const __m128i last = _mm_set1_epi8(m[k - 1]);
    for (; i + k - 1 + 16 <= n; i += 16) {
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + i));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + i + k - 1));
        auto mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
        while (mask != 0) {
            auto bit = static_cast<size_t>(__builtin_ctz(mask));
            if (memcmp(h + i + bit + 1, m + 1, k - 2) == 0) return i + bit;
            mask &= mask - 1;
        }
    }
#endif
    return searchRest(h, n, m, k, i);
}

}  // namespace

Pos find(std::string_view text, std::string_view marker, Pos from) {
    if (from < 1) from = 1;
    if (from > length(text)) return 0;
    auto start = static_cast<size_t>(from - 1);
    size_t at = search(text.substr(start), marker);
    return at == std::string_view::npos ? 0 : static_cast<Pos>(start + at) + 1;
}

Pos findLast(std::string_view text, std::string_view marker) {
    if (marker.empty()) return static_cast<Pos>(text.size()) + 1;
    // Forward memmem from hit to hit: the library's rfind compares the whole
    // marker at every position from the end, many times slower on a page.
    Pos last = 0;
    size_t from = 0;
    while (from + marker.size() <= text.size()) {
        const void* hit =
            memmem(text.data() + from, text.size() - from, marker.data(), marker.size());
        if (hit == nullptr) break;
        size_t at = static_cast<size_t>(static_cast<const char*>(hit) - text.data());
        last = static_cast<Pos>(at) + 1;
        from = at + 1;
    }
    return last;
}

Pos scanForwardMatch(std::string_view page, std::string_view marker, Pos p) {
    if (p < 0) p = 0;
    if (p + 1 > length(page)) return 0;
    size_t at = page.find(marker, static_cast<size_t>(p));  // 0-based p is 1-based p + 1
    return at == std::string_view::npos ? 0 : static_cast<Pos>(at) + 1;
}

Pos scanForward(std::string_view page, std::string_view marker, Pos p, Pos clamp) {
    Pos at = scanForwardMatch(page, marker, p);
    return at == 0 ? clamp : at;
}

Pos scanForward(std::string_view page, std::string_view marker, Pos p) {
    return scanForward(page, marker, p, length(page));
}

Pos scanBack(std::string_view page, std::string_view marker, Pos p, Pos clamp) {
    if (marker.empty()) return p - 1 >= 0 ? p - 1 : clamp;
    if (p - 1 >= 1) {
        // Last match starting at 1-based position <= p - 1.
        size_t at = page.rfind(marker, static_cast<size_t>(p - 2));
        if (at != std::string_view::npos) return static_cast<Pos>(at) + 1;
    }
    // Position 0 is examined last and reads as position 1.
    if (p - 1 >= 0 && page.substr(0, marker.size()) == marker) return 0;
    return clamp;
}

Pos ForwardFinder::next(Pos from) {
    if (from < 1) from = 1;
    if (lastFrom_ >= 1 && from >= lastFrom_ && (lastFound_ == 0 || lastFound_ >= from))
        return lastFound_;  // the answer for an earlier start still holds
    lastFrom_ = from;
    lastFound_ = find(page_, marker_, from);
    return lastFound_;
}

std::string_view cut(std::string_view text, Pos a, Pos b) {
    if (a < 1) a = 1;
    Pos len = length(text);
    if (b > len + 1) b = len + 1;
    if (b <= a) return {};
    return text.substr(static_cast<size_t>(a - 1), static_cast<size_t>(b - a));
}

std::string_view tail(std::string_view text, Pos a) {
    if (a < 1) a = 1;
    if (a > length(text)) return {};
    return text.substr(static_cast<size_t>(a - 1));
}

std::string removeTags(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    // Once a search for ">" has run to the end, no later "<" can find one:
    // every further "<" goes alone, without searching again (a text of many
    // "<" and no ">" would otherwise take quadratic time).
    const size_t lastClose = text.rfind('>');
    size_t pos = 0;
    while (pos < text.size()) {
        size_t open = text.find('<', pos);
        if (open == std::string_view::npos) {
            out.append(text.substr(pos));
            break;
        }
        out.append(text.substr(pos, open - pos));
        size_t close = std::string_view::npos;
        if (lastClose != std::string_view::npos && lastClose >= open + 2)
            close = text.find('>', open + 2);
        pos = close == std::string_view::npos ? open + 1 : close + 1;
    }
    return out;
}

namespace {

inline unsigned char lowered(unsigned char b) {
    return static_cast<unsigned char>(b + (static_cast<unsigned char>(b - 'A') < 26 ? 32 : 0));
}

// Bit k set when byte k of a 64-byte block can begin a double-byte character.
std::uint64_t leadMask(const unsigned char* p) {
#if defined(__SSE2__)
    std::uint64_t m = 0;
    const __m128i below = _mm_set1_epi8(static_cast<char>(0x80));
    const __m128i above = _mm_set1_epi8(static_cast<char>(0xFF));
    for (int q = 0; q < 4; ++q) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * q));
        __m128i lead = _mm_and_si128(_mm_cmpgt_epi8(v, below), _mm_cmplt_epi8(v, above));
        m |= static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm_movemask_epi8(lead)))
             << (16 * q);
    }
    return m;
#else
    std::uint64_t m = 0;
    for (int k = 0; k < 64; ++k) m |= static_cast<std::uint64_t>(gbk::isLeadByte(p[k])) << k;
    return m;
#endif
}

std::uint64_t bitsFrom(int k) {
    return k >= 64 ? 0 : ~std::uint64_t{0} << k;
}

}  // namespace

void lowerAsciiInPlace(std::string& page) {
    // Only single-byte letters change: the second byte of a double-byte
    // character may lie in "A".."Z" (機, 華, 業, ...) and must stay as it is.
    // The lead-byte walk from the page start decides which bytes are second
    // bytes; it is done on 64-byte blocks with bit masks: inside a run of
    // bytes that can lead (0x81..0xFE) the bytes pair up, so a byte that
    // cannot lead is a second byte exactly when the run before it is odd.
    auto* p = reinterpret_cast<unsigned char*>(page.data());
    const size_t n = page.size();
    bool inRun = false;   // the block before ended inside such a run
    bool runOdd = false;  // of odd length so far
    size_t i = 0;
    for (; i + 64 <= n; i += 64) {
        std::uint64_t lead = leadMask(p + i);
        if (lead == 0 && !inRun) {
            for (int k = 0; k < 64; ++k) p[i + k] = lowered(p[i + k]);
            continue;
        }
        std::uint64_t second = 0;  // second bytes that cannot lead
        int k = 0;
        if (inRun) {
            if (~lead == 0) continue;  // 64 more bytes of the run: nothing to lower
            int end = __builtin_ctzll(~lead);
            if (runOdd != ((end & 1) != 0)) second |= std::uint64_t{1} << end;
            inRun = false;
            k = end + 1;
        }
        for (;;) {
            std::uint64_t rest = lead & bitsFrom(k);
            if (rest == 0) break;
            int start = __builtin_ctzll(rest);
            std::uint64_t other = ~lead & bitsFrom(start);
            if (other == 0) {
                inRun = true;
                runOdd = ((64 - start) & 1) != 0;
                break;
            }
            int end = __builtin_ctzll(other);
            if ((end - start) & 1) second |= std::uint64_t{1} << end;
            k = end + 1;
        }
        unsigned char saved[64];
        for (std::uint64_t b = second; b != 0; b &= b - 1) {
            int at = __builtin_ctzll(b);
            saved[at] = p[i + at];
        }
        for (int q = 0; q < 64; ++q) p[i + q] = lowered(p[i + q]);
        for (std::uint64_t b = second; b != 0; b &= b - 1) {
            int at = __builtin_ctzll(b);
            p[i + at] = saved[at];
        }
    }
    // The last bytes one by one, continuing the walk.
    bool second = inRun && runOdd;
    for (; i < n; ++i) {
        if (second) {
            second = false;
        } else if (gbk::isLeadByte(p[i])) {
            second = true;
        } else {
            p[i] = lowered(p[i]);
        }
    }
}

std::string lowerAscii(std::string_view page) {
    std::string out(page);
    lowerAsciiInPlace(out);
    return out;
}

std::string_view trim(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= 32) ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32) --e;
    return text.substr(b, e - b);
}

std::string digitFilter(std::string_view window) {
    std::string result;
    bool pendingSpace = false;
    for (char c : window) {
        if (c >= '0' && c <= '9') {
            if (pendingSpace) result.push_back(' ');
            result.push_back(c);
            pendingSpace = false;
        } else {
            pendingSpace = true;
        }
    }
    return result;
}

bool isTrailByteAt(std::string_view text, Pos pos) {
    if (pos < 1 || pos > length(text)) return false;
    Pos i = 1;
    while (i < pos) {
        if (gbk::isLeadByte(static_cast<unsigned char>(text[i - 1]))) {
            if (i + 1 == pos) return true;
            i += 2;
        } else {
            i += 1;
        }
    }
    return false;
}

std::string decimal(std::int64_t value) {
    return std::to_string(value);
}

std::int32_t parseInt32(std::string_view digits) {
    if (digits.empty()) return 0;
    std::int32_t value = 0;
    const char* first = digits.data();
    if (*first == '+') ++first;
    // from_chars would take a sign of its own after the "+": "+-5" is no plain decimal.
    if (first != digits.data() && first != digits.data() + digits.size() && *first == '-')
        throw std::invalid_argument("not a number: " + std::string(digits));
    auto [end, ec] = std::from_chars(first, digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size() || first == end)
        throw std::invalid_argument("not a number: " + std::string(digits));
    return value;
}

}  // namespace velmora::text

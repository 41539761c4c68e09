#include "sources/websearch/page_search.h"

#include <string.h>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace velmora::homepage {

using text::Pos;

namespace {

// First offset of `marker` (at least two bytes) in s[0 .. n), or -1. Many
// candidate starts at a time: the first and the last byte of the marker must
// both match before the bytes between are compared.
#if defined(__x86_64__)
__attribute__((target("avx2"))) long searchWide(const char* s, size_t n, std::string_view marker,
                                                size_t& i) {
    const size_t m = marker.size();
    const __m256i first = _mm256_set1_epi8(marker[0]);
    const __m256i last = _mm256_set1_epi8(marker[m - 1]);
    for (; i + m - 1 + 32 <= n; i += 32) {
        __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i + m - 1));
        auto mask = static_cast<unsigned>(_mm256_movemask_epi8(
            _mm256_and_si256(_mm256_cmpeq_epi8(a, first), _mm256_cmpeq_epi8(b, last))));
        while (mask != 0) {
            unsigned bit = static_cast<unsigned>(__builtin_ctz(mask));
            if (memcmp(s + i + bit + 1, marker.data() + 1, m - 2) == 0)
                return static_cast<long>(i + bit);
            mask &= mask - 1;
        }
    }
    return -1;
}

long searchNarrow(const char* s, size_t n, std::string_view marker, size_t& i) {
    const size_t m = marker.size();
    const __m128i first = _mm_set1_epi8(marker[0]);
    const __m128i last = _mm_set1_epi8(marker[m - 1]);
    for (; i + m - 1 + 16 <= n; i += 16) {
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + m - 1));
        auto mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
        while (mask != 0) {
            unsigned bit = static_cast<unsigned>(__builtin_ctz(mask));
            if (memcmp(s + i + bit + 1, marker.data() + 1, m - 2) == 0)
                return static_cast<long>(i + bit);
            mask &= mask - 1;
        }
    }
    return -1;
}
#endif

long searchBytes(const char* s, size_t n, std::string_view marker) {
    const size_t m = marker.size();
    if (n < m) return -1;
    size_t i = 0;
#if defined(__x86_64__)
    static const bool wide = __builtin_cpu_supports("avx2");
    long at = wide ? searchWide(s, n, marker, i) : searchNarrow(s, n, marker, i);
    if (at >= 0) return at;
#endif
    const void* rest = memmem(s + i, n - i, marker.data(), m);
    return rest == nullptr ? -1 : static_cast<long>(static_cast<const char*>(rest) - s);
}

}  // namespace

Pos findIn(std::string_view text, std::string_view marker, Pos from) {
    if (from < 1) from = 1;
    if (marker.empty()) return from <= text::length(text) + 1 ? from : 0;
    if (from > text::length(text)) return 0;
    const char* start = text.data() + (from - 1);
    const size_t n = text.size() - static_cast<size_t>(from - 1);
    if (marker.size() == 1) {
        const void* at = memchr(start, marker[0], n);
        return at == nullptr ? 0 : static_cast<Pos>(static_cast<const char*>(at) - text.data()) + 1;
    }
    long at = searchBytes(start, n, marker);
    return at < 0 ? 0 : from + at;
}

Pos findLastIn(std::string_view text, std::string_view marker) {
    Pos last = 0;
    for (Pos at = findIn(text, marker); at != 0; at = findIn(text, marker, at + 1)) last = at;
    return last;
}

Pos Finder::next(Pos from) {
    if (from < 1) from = 1;
    if (lastFrom_ >= 1 && from >= lastFrom_ && (lastFound_ == 0 || lastFound_ >= from))
        return lastFound_;
    lastFrom_ = from;
    lastFound_ = findIn(page_, marker_, from);
    return lastFound_;
}

}  // namespace velmora::homepage

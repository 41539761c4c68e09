#include "sources/websearch/number_tables.h"

namespace velmora::number_text {

bool yearMarkAt(std::string_view s, size_t i) {
    if (i + 5 > s.size() || s[i + 4] != '-') return false;
    int year = 0;
    for (size_t k = i; k < i + 4; ++k) {
        if (!isDigit(static_cast<unsigned char>(s[k]))) return false;
        year = year * 10 + (s[k] - '0');
    }
    return year >= 1994 && year <= 2008;
}

}  // namespace velmora::number_text

namespace velmora {

using namespace number_text;

NumberScanner::Tables::Tables(std::string_view page) {
    const size_t n = page.size();
    none = static_cast<uint32_t>(n);
    auto make = [&] { return std::vector<uint32_t>(n + 1, none); };
    nextDigit = make(), nextLt = make(), nextGt = make(), runEnd = make(), nextYear = make();
    jump = make(), lastDigit = make(), lastGt = make();
    digitsBefore.assign(n + 1, 0);
    for (size_t k = n; k-- > 0;) {
        auto c = static_cast<unsigned char>(page[k]);
        auto i = static_cast<uint32_t>(k);
        nextDigit[k] = isDigit(c) ? i : nextDigit[k + 1];
        nextLt[k] = c == '<' ? i : nextLt[k + 1];
        nextGt[k] = c == '>' ? i : nextGt[k + 1];
        runEnd[k] = isNumberChar(c) ? runEnd[k + 1] : i;
        nextYear[k] = yearMarkAt(page, k) ? i : nextYear[k + 1];
        uint32_t d = nextDigit[k + 1];
        if (c == '>') {
            bool passes = d == none || nextLt[k] >= d;
            uint32_t g = nextGt[k + 1];
            jump[k] = passes ? i : (g == none ? none : jump[g]);
        } else if (isDigit(c)) {
            jump[k] = d == none ? i : (nextLt[k] < d ? jump[d] : d);
        }
    }
    uint32_t digit = none, gt = none;
    for (size_t k = 0; k < n; ++k) {
        auto c = static_cast<unsigned char>(page[k]);
        if (isDigit(c)) digit = static_cast<uint32_t>(k);
        if (c == '>') gt = static_cast<uint32_t>(k);
        lastDigit[k] = digit;
        lastGt[k] = gt;
        digitsBefore[k + 1] = digitsBefore[k] + (isDigit(c) ? 1 : 0);
    }
}

// The searches of all calls together may read about twice the page before
// the tables (a few passes over it) are built.

}  // namespace velmora

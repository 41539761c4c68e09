#pragma once
// Per-page tables of the number cleaner and the byte classes they are built
// from. Used by number_scanner.cpp only.
#include <cstdint>
#include <string_view>
#include <vector>

#include "sources/websearch/number_scanner.h"

namespace velmora::number_text {

inline bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

inline bool isNumberChar(unsigned char c) {
    return isDigit(c) || c == '-' || c == ')' || c == '/' || c == '+' || c == '.' || c == ' ';
}

// "1994-" .. "2008-" at s[i].
bool yearMarkAt(std::string_view s, size_t i);

}  // namespace velmora::number_text

namespace velmora {

// Per-page tables, page offsets 0-based; `none` is the page length.
struct NumberScanner::Tables {
    explicit Tables(std::string_view page);
    uint32_t none;
    std::vector<uint32_t> nextDigit, nextLt, nextGt, runEnd, nextYear, digitsBefore;
    std::vector<uint32_t> lastDigit, lastGt;  // at or before the offset; `none` when there is none
    // For ">": the first ">" at or behind it whose markup check passes (no
    // "<" between it and the next digit). For a digit: where the markup
    // skip's digit-to-digit walk ends when started from it.
    std::vector<uint32_t> jump;
};

}  // namespace velmora

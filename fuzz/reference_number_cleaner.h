#pragma once
// The number text cleaner written the slow, literal way: a real copy that
// shrinks as the normalisation deletes bytes, 1-based positions, searches
// that restart from their position on every pass. The targets compare the
// engine's cleaner (lazy normalisation, tables for the long searches) with it.
#include <string>
#include <string_view>

#include "fuzz/reference_scan.h"

namespace velmora::fuzz::ref {

inline bool isDigitByte(char c) {
    return c >= '0' && c <= '9';
}

// Byte at position k of s (below 1 reads as 1), or -1 past the end.
inline int byteAt(const std::string& s, Pos k) {
    if (k < 1) k = 1;
    if (k > len(s)) return -1;
    return static_cast<unsigned char>(s[static_cast<size_t>(k - 1)]);
}

inline std::string cleanNumberText(std::string_view text, Pos p) {
    if (p < 0) p = 0;
    std::string s(text);
    static const char* const kPairs[5] = {"\xA3\xA8", "\xA3\xA9", "\xA1\xAA", "\xA1\xA4",
                                          "\xA1\xA1"};
    static const char kSingles[5] = {'(', ')', '-', '.', ' '};
    for (Pos i = p; i <= p + 300; ++i) {
        Pos q = i < 1 ? 1 : i;
        for (int row = 0; row < 5; ++row) {
            if (at(s, q, std::string_view(kPairs[row], 2))) {
                s.replace(static_cast<size_t>(q - 1), 2, 1, kSingles[row]);
            }
        }
        if (byteAt(s, q) == '\r') s.erase(static_cast<size_t>(q - 1), 1);
        if (byteAt(s, q) == '\n') s.erase(static_cast<size_t>(q - 1), 1);
    }
    Pos b = p;
    for (Pos k = p + 1; k <= p + 300 && k <= len(s); ++k) {
        if (k >= 1 && isDigitByte(s[static_cast<size_t>(k - 1)])) {
            b = k;
            break;
        }
    }
    auto byteBefore = [&](Pos k) { return k >= 2 ? byteAt(s, k - 1) : -1; };
    if (byteBefore(b) == '(') --b;
    auto firstAfter = [&](Pos from, bool digit) -> Pos {
        for (Pos k = (from < 0 ? 0 : from) + 1; k <= len(s); ++k) {
            char c = s[static_cast<size_t>(k - 1)];
            if (digit ? isDigitByte(c) : c == '>') return k;
        }
        return 0;
    };
    Pos a = p;
    for (;;) {
        bool markup = false;
        for (Pos k = (a < 1 ? 1 : a); k <= b - 1 && k <= len(s); ++k)
            if (s[static_cast<size_t>(k - 1)] == '<') markup = true;
        if (!markup) break;
        Pos gt = firstAfter(a, false);
        a = gt == 0 ? b : gt;
        Pos d = firstAfter(a, true);
        b = d == 0 ? a : d;
    }
    if (byteBefore(b) == '(') --b;
    if (b < 1) b = 1;
    static constexpr std::string_view kNumberChars = "0123456789-)/+. ";
    Pos e = b + 1;
    while (e <= len(s) &&
           kNumberChars.find(s[static_cast<size_t>(e - 1)]) != std::string_view::npos)
        ++e;
    std::string num = cut(s, b, e);
    for (int year = 1994; year <= 2008; ++year)
        if (find(num, std::to_string(year) + "-") != 0) return {};
    Pos stop = find(num, ".");
    if (stop >= 1 && stop <= 3) return {};
    int digits = 0;
    for (char c : num) digits += isDigitByte(c) ? 1 : 0;
    return digits >= 5 ? num : std::string();
}

}  // namespace velmora::fuzz::ref

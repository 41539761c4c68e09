#pragma once
// The scanning moves written the slow, literal way: 1-based positions,
// byte-by-byte loops, copies instead of offsets. The targets compare the
// engine's fast versions (offset arithmetic, searches that remember where
// they stopped) with these on every input, so a shortcut that changes a
// result shows up as a crash, not only one that reads outside the page.
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::fuzz::ref {

using Pos = std::int64_t;

inline Pos len(std::string_view s) {
    return static_cast<Pos>(s.size());
}

// The m bytes at position k (1-based; below 1 reads as 1) equal the marker.
inline bool at(std::string_view page, Pos k, std::string_view marker) {
    if (k < 1) k = 1;
    if (k - 1 + len(marker) > len(page)) return false;
    for (size_t i = 0; i < marker.size(); ++i)
        if (page[static_cast<size_t>(k - 1) + i] != marker[i]) return false;
    return true;
}

// First position >= from (below 1 reads as 1) where the marker starts; 0 when none.
inline Pos find(std::string_view page, std::string_view marker, Pos from = 1) {
    if (from < 1) from = 1;
    for (Pos k = from; k <= len(page); ++k)
        if (at(page, k, marker)) return k;
    return 0;
}

// k := p; repeat: k := k + 1; past the end: k := clamp, stop; stop on a match.
inline Pos scanForward(std::string_view page, std::string_view marker, Pos p, Pos clamp) {
    Pos k = p;
    for (;;) {
        ++k;
        if (k > len(page)) return clamp;
        if (at(page, k, marker)) return k;
    }
}

// k := p; repeat: k := k - 1; below 0: k := clamp, stop; stop on a match
// (position 0 reads as position 1).
inline Pos scanBack(std::string_view page, std::string_view marker, Pos p, Pos clamp) {
    Pos k = p;
    for (;;) {
        --k;
        if (k < 0) return clamp;
        if (k > len(page)) continue;
        if (at(page, k, marker)) return k;
    }
}

// Bytes a .. b - 1; a start below 1 counts as 1, a cut past the end stops there.
inline std::string cut(std::string_view text, Pos a, Pos b) {
    std::string out;
    if (a < 1) a = 1;
    for (Pos k = a; k < b && k <= len(text); ++k) out.push_back(text[static_cast<size_t>(k - 1)]);
    return out;
}

inline std::string tail(std::string_view text, Pos a) {
    return cut(text, a, len(text) + 1);
}

inline std::string trim(std::string_view text) {
    std::string s(text);
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32) s.erase(0, 1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32) s.pop_back();
    return s;
}

// While the text holds "<": i its first position; ">" looked for from i + 2;
// found at j: delete i .. j; none: delete only the "<". Quadratic; callers
// keep the texts short.
inline std::string removeTags(std::string_view text) {
    std::string s(text);
    for (;;) {
        Pos i = find(s, "<");
        if (i == 0) return s;
        Pos j = find(s, ">", i + 2);
        if (j != 0)
            s.erase(static_cast<size_t>(i - 1), static_cast<size_t>(j - i + 1));
        else
            s.erase(static_cast<size_t>(i - 1), 1);
    }
}

// Single-byte "A".."Z" lowered; a GBK lead byte (0x81..0xFE) and the byte
// behind it, found by walking from the start, stay as they are.
inline std::string lowerAscii(std::string_view text) {
    std::string s(text);
    for (size_t i = 0; i < s.size(); ++i) {
        auto b = static_cast<unsigned char>(s[i]);
        if (b >= 0x81 && b <= 0xFE)
            ++i;
        else if (b >= 'A' && b <= 'Z')
            s[i] = static_cast<char>(b - 'A' + 'a');
    }
    return s;
}

// A result and a pending separator: a digit appends the separator and
// itself, anything else makes the separator one space.
inline std::string digitFilter(std::string_view window) {
    std::string result, pending;
    for (char c : window) {
        if (c >= '0' && c <= '9') {
            result += pending;
            result.push_back(c);
            pending.clear();
        } else {
            pending = " ";
        }
    }
    return result;
}

}  // namespace velmora::fuzz::ref

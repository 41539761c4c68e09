#include "sources/websearch/char_tests.h"

#include <algorithm>
#include <string>

namespace velmora::homepage {

using text::Pos;

CharMap::CharMap(std::string_view text) : text_(text) {}

// The walk from the start of the text is known for one stretch of it,
// [segmentStart_, walked_). A byte that is no lead byte ends a character
// (alone, or as the second byte of the one before it), so the byte behind it
// starts one: a stretch can begin there, found by a short look back, and
// agrees with the walk from the start.
uint8_t CharMap::kindAt(Pos i) const {
    const size_t at = static_cast<size_t>(i - 1);
    if (at >= segmentStart_ && at < walked_) return kind_[at];
    if (kind_.empty()) kind_.assign(text_.size() + 1, 0);
    size_t start = at;
    while (start > 0 && isHighByte(static_cast<unsigned char>(text_[start - 1]))) --start;
    if (start < segmentStart_ || start > walked_) segmentStart_ = walked_ = start;
    size_t end = std::min(text_.size(), at + 64);
    size_t k = walked_;
    while (k <= at || k < end) {
        if (k >= text_.size()) break;
        if (isHighByte(static_cast<unsigned char>(text_[k]))) {
            kind_[k] = 1;
            if (k + 1 < text_.size()) kind_[k + 1] = 2;
            k += 2;
        } else {
            kind_[k] = 0;
            k += 1;
        }
    }
    walked_ = k;
    return kind_[at];
}

bool CharMap::startsChar(Pos i) const {
    return i >= 1 && i <= text::length(text_) && kindAt(i) != 2;
}

bool CharMap::startsDoubleByte(Pos i) const {
    return i >= 1 && i <= text::length(text_) && kindAt(i) == 1;
}

bool CharMap::isChineseAt(Pos i) const {
    return startsDoubleByte(i) && !isSymbolRow(static_cast<unsigned char>(text_[i - 1]));
}

Pos CharMap::nextChineseAfter(Pos from) const {
    if (from < 0) from = 0;
    // Successive searches run forward; the answer for an earlier start holds
    // for every start up to it.
    if (cacheFrom_ >= 0 && from >= cacheFrom_ && (cacheFound_ == 0 || from < cacheFound_))
        return cacheFound_;
    Pos found = 0;
    for (Pos k = from + 1; k <= text::length(text_); ++k) {
        if (isChineseAt(k)) {
            found = k;
            break;
        }
    }
    cacheFrom_ = from;
    cacheFound_ = found;
    return found;
}

bool isChineseAt(std::string_view text, Pos i) {
    if (i < 1 || i > text::length(text)) return false;
    size_t k = 0, target = static_cast<size_t>(i - 1);
    while (k < target) k += isHighByte(static_cast<unsigned char>(text[k])) ? 2 : 1;
    return k == target && isHighByte(static_cast<unsigned char>(text[k])) &&
           !isSymbolRow(static_cast<unsigned char>(text[k]));
}

std::string fullWidthSpacePass(std::string_view text) {
    // Deleting two bytes at i brings the bytes from i + 2 to i; the next test
    // is at i + 1, so the byte pair now at i is passed over.
    std::string s(text);
    const Pos steps = text::length(s);
    std::string out;
    out.reserve(s.size());
    size_t read = 0;  // s = out + s[read..], position i = out.size() + 1
    for (Pos i = 1; i <= steps; ++i) {
        // Bring s up to position i.
        while (static_cast<Pos>(out.size()) + 1 < i && read < s.size()) out.push_back(s[read++]);
        if (static_cast<Pos>(out.size()) + 1 != i) break;  // past the end
        if (read + 1 < s.size() && static_cast<unsigned char>(s[read]) == 0xA1 &&
            static_cast<unsigned char>(s[read + 1]) == 0xA1)
            read += 2;
    }
    out.append(s, read, std::string::npos);
    return out;
}

}  // namespace velmora::homepage

#include "sources/websearch/char_tests.h"

#include <string>

namespace velmora::homepage {

using text::Pos;

CharMap::CharMap(std::string_view text) : text_(text), kind_(text.size(), 0) {
    for (size_t i = 0; i < text.size();) {
        if (isHighByte(static_cast<unsigned char>(text[i]))) {
            kind_[i] = 1;
            if (i + 1 < text.size()) kind_[i + 1] = 2;
            i += 2;
        } else {
            i += 1;
        }
    }
}

bool CharMap::startsChar(Pos i) const {
    return i >= 1 && i <= text::length(text_) && kind_[static_cast<size_t>(i - 1)] != 2;
}

bool CharMap::startsDoubleByte(Pos i) const {
    return i >= 1 && i <= text::length(text_) && kind_[static_cast<size_t>(i - 1)] == 1;
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

#pragma once
// Character tests of the homepage extractor. Texts are GBK bytes that are
// never decoded: a byte 0x81..0xFE starts a double-byte character when the
// text is walked from its start, and a Chinese character is such a character
// outside the rows of full-width symbols and punctuation (lead 0xA1..0xA9).
#include <cstdint>
#include <string_view>
#include <vector>

#include "sources/framework/text_scan.h"

namespace velmora::homepage {

// Lead-byte range, judged on the byte alone (a "high byte").
constexpr bool isHighByte(unsigned char b) {
    return b >= 0x81 && b <= 0xFE;
}
constexpr bool isSymbolRow(unsigned char lead) {
    return lead >= 0xA1 && lead <= 0xA9;
}

// Where the characters of a text start, walking it once from its start.
class CharMap {
  public:
    explicit CharMap(std::string_view text);

    // Position i (1-based) starts a character (single-byte or double-byte).
    bool startsChar(text::Pos i) const;
    // Position i starts a double-byte character.
    bool startsDoubleByte(text::Pos i) const;
    // Position i holds a Chinese character.
    bool isChineseAt(text::Pos i) const;
    // The first position > from holding a Chinese character, 0 when none.
    text::Pos nextChineseAfter(text::Pos from) const;

  private:
    // Kind of the byte at position i, walking only near it (see the .cpp).
    uint8_t kindAt(text::Pos i) const;

    std::string_view text_;
    mutable std::vector<uint8_t> kind_;             // 0 single byte, 1 lead byte, 2 second byte
    mutable size_t segmentStart_ = 0, walked_ = 0;  // offsets with a known kind
    mutable text::Pos cacheFrom_ = -1, cacheFound_ = 0;
};

// Position i of `text` holds a Chinese character, the text walked from its
// start (for short texts).
bool isChineseAt(std::string_view text, text::Pos i);

// The full-width space pass on a name candidate: for i from 1 to the length
// at the start, two bytes 0xA1 0xA1 at i are deleted; i moves on by one after
// every test, so of two adjacent full-width spaces only the first goes.
std::string fullWidthSpacePass(std::string_view text);

}  // namespace velmora::homepage

#pragma once
// Conversion between GBK byte strings (the program's text everywhere) and UTF-8
// (command line, JSON/CSV output, Qt display, spreadsheet cells).
#include <string>
#include <string_view>

namespace velmora::gbk {

// UTF-8 to GBK. A character GBK cannot hold, and every byte of malformed
// UTF-8, becomes "?".
std::string fromUtf8(std::string_view utf8);

// GBK to UTF-8. A byte sequence that is not valid GBK becomes U+FFFD, so a
// damaged page still shows every readable character around the damage.
std::string toUtf8(std::string_view gbkBytes);

// GBK lead bytes are 0x81..0xFE.
constexpr bool isLeadByte(unsigned char b) {
    return b >= 0x81 && b <= 0xFE;
}

}  // namespace velmora::gbk

#pragma once
// Line breaks for the profile area: the profile is one long line on most
// pages, so it is broken every 102 bytes, never inside a GBK character.
#include <string>
#include <string_view>

namespace velmora {

inline constexpr int kProfileLineBytes = 102;

// Walks positions i = 1 .. L (L the length before any insertion); at every
// multiple of 102 inserts CR LF before position i of the text as changed so
// far, or before i - 1 when position i holds the second byte of a double-byte
// character.
std::string insertProfileBreaks(std::string_view profile);

}  // namespace velmora

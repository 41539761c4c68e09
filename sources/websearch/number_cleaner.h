#pragma once
// The number text cleaner: given a text and the position of a phone or fax
// label in it, returns the number written behind the label, or an empty text.
//
// The cleaner normalises a copy of the 301 positions from the label on
// (full-width brackets, dash, dot and space to their ASCII forms, line breaks
// removed), takes the first digit behind the label, skips markup standing
// between label and digit, and takes the run of number characters
// "0123456789-)/+. " from there. It rejects runs with fewer than five digits,
// runs holding a footer year mark ("1994-" to "2008-") and runs whose first
// full stop is among their first three bytes. The result is not trimmed.
#include <string>
#include <string_view>

#include "sources/framework/text_scan.h"

namespace velmora {

// `position` is the 1-based position of the label's first byte, or 0 when no
// label was found (the first digit is then looked for in the first 300 bytes).
// A position below 0 is taken as 0. Pure: the text is not changed.
std::string cleanNumberText(std::string_view text, text::Pos position);

}  // namespace velmora

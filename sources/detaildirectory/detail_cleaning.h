#pragma once
// Text pieces of the company directory's detail pages: the cleaning steps
// its field values go through, and the GBK character walk that its name and
// profile rules use. Every step runs in time linear in its input.
#include <string>
#include <string_view>

#include "sources/framework/text_scan.h"

namespace velmora::detaildirectory {

// First position of `marker` (two bytes or more) at or behind `from`, 0 when
// none. Page markers often begin with a byte that the page is full of ("<",
// ">", a common lead byte), which a search for the first byte stops at
// everywhere; this search does not.
text::Pos findMarker(std::string_view text, std::string_view marker, text::Pos from = 1);

// Last position of `marker`, 0 when none: searched from the page end, where
// the labels read by their last occurrence usually lie closer.
text::Pos findLastMarker(std::string_view text, std::string_view marker);

// Deletes from the start through the first colon, ":" or "：", whichever
// comes first; a text without either stays as it is.
std::string_view colonStrip(std::string_view text);

// Deletes `pattern` again and again until the text holds it no more (so
// "&nb&nbsp;sp;" loses both). `pattern` must not overlap itself (no proper
// prefix that is also a suffix): then every order of deletion ends in the
// same text, and one pass with the output used as a stack finds it.
std::string removeEvery(std::string_view text, std::string_view pattern);

// Deletes every carriage return, line feed and space byte.
std::string removeLineBreaksAndSpaces(std::string_view text);

// Deletes from the first line feed to the end.
std::string_view lineCut(std::string_view text);

// Whether position `pos` starts a character when the text is walked from its
// start (a lead byte 0x81..0xFE takes the byte behind it as its trail). Only
// the run of lead-valued bytes in front of `pos` is looked at: the position
// behind any other byte always starts a character.
bool isCharStart(std::string_view text, text::Pos pos);

// First position >= from that holds the lead byte of a double-byte
// character; 0 when none.
text::Pos firstLeadFrom(std::string_view text, text::Pos from);

// Last position < before that holds the lead byte of a double-byte
// character; 0 when none.
text::Pos lastLeadBefore(std::string_view text, text::Pos before);

}  // namespace velmora::detaildirectory

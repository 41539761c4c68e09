#pragma once
// The company introduction of a directory detail page: found under the first
// of three headings the page has, then cleaned of line breaks and
// non-breaking spaces. Every step is one pass over the page.
#include <string>
#include <string_view>

#include "sources/framework/text_scan.h"

namespace velmora::scriptdir {

// Position of the last Chinese character in front of position p: the last
// byte before p that begins a double-byte character (bytes classified by
// walking the page from its start) and lies outside A1..A9 (the full-width
// punctuation and symbol rows). p itself when there is none.
text::Pos lastChineseBefore(std::string_view page, text::Pos p);

// The site's one-walk cleaning: at each position in turn, "<br>" is deleted
// as long as it stands there, then "&nbsp;", then carriage returns, then line
// feeds, before the walk moves on (so a "<br>" that moves up behind a deleted
// "&nbsp;" stays).
std::string cleanProfile(std::string_view profile);

// The profile of a lower-cased detail page, trimmed and cleaned; empty when
// the page has none of the headings.
std::string profileOf(std::string_view page);

}  // namespace velmora::scriptdir

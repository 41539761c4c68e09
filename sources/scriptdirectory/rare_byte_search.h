#pragma once
// Marker search that jumps between occurrences of one chosen byte of the
// marker instead of its first byte. Markers such as "addcompanybrief(" or
// "<!--" begin with bytes that fill every page of HTML ("a", "<", "t"), so
// a search led by them stops at nearly every tag; a byte that is rare in
// pages ("(", "g", a Chinese character's byte) lets the search skip ahead.
#include <string_view>

#include "sources/framework/text_scan.h"

namespace velmora::scriptdir {

// Same result as text::find(text, marker, from): the first position >= from
// (below 1 reads as 1) at which `marker` starts, 0 when none. `pivot` is the
// index of the byte in `marker` to jump by.
text::Pos findByByte(std::string_view text, std::string_view marker, size_t pivot,
                     text::Pos from = 1);

// Successive searches from non-decreasing starts, each answered from the
// last one while it still holds (see text::ForwardFinder).
class ByteFinder {
  public:
    ByteFinder(std::string_view text, std::string_view marker, size_t pivot)
        : text_(text), marker_(marker), pivot_(pivot) {}
    text::Pos next(text::Pos from);

  private:
    std::string_view text_;
    std::string_view marker_;
    size_t pivot_;
    text::Pos lastFrom_ = -1;
    text::Pos lastFound_ = 0;
};

}  // namespace velmora::scriptdir

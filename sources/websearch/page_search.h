#pragma once
// Substring searches over whole pages. The extractor looks for dozens of
// Chinese labels and anchors in every page; their lead bytes are among the
// commonest bytes of Chinese text, which a first-byte-then-compare search
// pays for at every such byte, so these searches use memmem.
#include <string_view>

#include "sources/framework/text_scan.h"

namespace velmora::homepage {

// First position >= from (1-based) where `marker` starts, 0 when none.
text::Pos findIn(std::string_view text, std::string_view marker, text::Pos from = 1);
// Last position where `marker` starts, 0 when none.
text::Pos findLastIn(std::string_view text, std::string_view marker);
inline bool containsIn(std::string_view text, std::string_view marker) {
    return findIn(text, marker) != 0;
}

// Successive searches for one marker from non-decreasing positions: an answer
// found for an earlier start holds for every start up to it.
class Finder {
  public:
    Finder(std::string_view page, std::string_view marker) : page_(page), marker_(marker) {}
    text::Pos next(text::Pos from);

  private:
    std::string_view page_;
    std::string_view marker_;
    text::Pos lastFrom_ = -1;
    text::Pos lastFound_ = 0;
};

}  // namespace velmora::homepage

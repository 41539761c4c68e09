#pragma once
// Byte-string scanning shared by every parser. Pages are GBK byte strings that
// are never decoded; positions are 1-based and a position below 1 reads as 1,
// so the parsers can be written exactly as the site rules are stated.
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::text {

using Pos = std::int64_t;

inline Pos length(std::string_view s) {
    return static_cast<Pos>(s.size());
}

// First position (>= from) at which `marker` starts, 0 when it does not occur.
Pos find(std::string_view text, std::string_view marker, Pos from = 1);
// Last position at which `marker` starts, 0 when it does not occur.
Pos findLast(std::string_view text, std::string_view marker);
inline bool contains(std::string_view text, std::string_view marker) {
    return marker.empty() || find(text, marker) != 0;
}

// Scan forward from p: the first position examined is p + 1; returns the
// position of the marker or, when the page ends first, the clamp value (the
// page length unless the caller names another).
Pos scanForward(std::string_view page, std::string_view marker, Pos p);
Pos scanForward(std::string_view page, std::string_view marker, Pos p, Pos clamp);
// The same scan, returning 0 when the marker does not occur behind p.
Pos scanForwardMatch(std::string_view page, std::string_view marker, Pos p);

// Scan back from p: positions p - 1, p - 2, ... down to 0 (which reads as 1);
// when no match is found the result is `clamp` (0, or the start position).
Pos scanBack(std::string_view page, std::string_view marker, Pos p, Pos clamp);

// Successive searches for one marker in one page from non-decreasing start
// positions, in linear total time: a loop that looks for the same closing
// marker behind every anchor would otherwise rescan the page per anchor.
class ForwardFinder {
  public:
    ForwardFinder(std::string_view page, std::string_view marker) : page_(page), marker_(marker) {}
    // First position >= from at which the marker starts, 0 when none.
    Pos next(Pos from);

  private:
    std::string_view page_;
    std::string_view marker_;
    Pos lastFrom_ = -1;
    Pos lastFound_ = 0;
};

// Bytes from position a to position b - 1; empty when b <= a, stops at the end.
std::string_view cut(std::string_view text, Pos a, Pos b);
// The text from position a to its end ("keep the page from a").
std::string_view tail(std::string_view text, Pos a);

// Repeatedly deletes "<" ... ">" where ">" is looked for from two bytes behind
// the "<" (so "<>" alone is no tag); a "<" without such ">" goes alone.
std::string removeTags(std::string_view text);

// Changes the single-byte letters "A".."Z" only; the second byte of a
// double-byte character (lead-byte walk from the start) stays as it is.
void lowerAsciiInPlace(std::string& page);
std::string lowerAscii(std::string_view page);

// Removes leading and trailing bytes 0..32 (a full-width space stays).
std::string_view trim(std::string_view text);

// Digit groups joined by single spaces; any run of non-digits before a digit
// becomes one space (so a window that starts with a non-digit gives a leading
// space), never a trailing space.
std::string digitFilter(std::string_view window);

// True when position pos (1-based) holds the second byte of a double-byte
// character, classifying bytes by walking the text from its start.
bool isTrailByteAt(std::string_view text, Pos pos);

// Decimal text of a number, and the number of a decimal text ("" reads as 0;
// anything else that is not a plain decimal is an error: std::invalid_argument).
std::string decimal(std::int64_t value);
std::int32_t parseInt32(std::string_view digits);

}  // namespace velmora::text

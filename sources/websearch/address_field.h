#pragma once
// The address of a homepage: the text behind an address label ("地址",
// "地 址", "地　址") up to the next markup, after its colon and a "位于",
// taken when it names a place (one of the characters 省市县区路号街村道).
// Occurrences are tried from the last one of the page backwards.
#include <string>
#include <string_view>

namespace velmora::homepage {

// `page` is the cleaned page. The place tests of all passes together read up
// to `walkBudget` bytes before the page's place characters are listed once
// (by default about twice the page; 0 lists them at once).
std::string findAddress(std::string_view page);
std::string findAddress(std::string_view page, size_t walkBudget);

// Whether the Chinese character at one of the positions 1 .. length - 1 of
// `segment` (walked from its start) is one of the nine place characters.
bool namesAPlace(std::string_view segment);

}  // namespace velmora::homepage

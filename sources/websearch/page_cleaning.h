#pragma once
// The first step of the homepage extractor: script elements out, and the
// entities "&nbsp;", "&gt;", "&quot;" and "&middot;" deleted (not replaced).
#include <string>
#include <string_view>

namespace velmora {

// While the page holds "<script": with a its first position and b the first
// "</script", the bytes a .. b + 8 go when b > a (the element through the ">"
// behind "</script"), otherwise the 8 bytes from a. Then every "&nbsp;" goes,
// then every "&gt;", every "&quot;", every "&middot;", each in one pass from
// the left (an entity formed by an earlier deletion stays). Linear time.
std::string cleanHomepage(std::string_view page);

}  // namespace velmora

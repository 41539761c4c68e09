#pragma once
// The web search that the e-mail lookup asks ("/baidu?word=..."): a result
// page whose hits are <p class="t"><a href="HIT" target="_blank"> links, and
// the hit pages, which show a company's address as the lookup reads it (the
// first "@" of the page). What they show follows nameIdentity().
#include <cstdint>
#include <string>
#include <string_view>

#include "demo/page_damage.h"

namespace velmora::demo {

// The searched name of a "word" query value ('"' + name + '"' + "+mail");
// false when the value has another form.
bool searchedName(std::string_view word, std::string& name);

// Address of hit `n` (from 1) for a name; lower-case, like the lookup keeps it.
std::string hitUrl(const std::string& address, std::string_view name, int n);
// The name and hit number of a hit path "/hit/<hex of name>/<n>.html".
bool parseHitPath(std::string_view path, std::string& name, int& n);

std::string searchResultPage(std::string_view name, const std::string& address, std::uint32_t seed,
                             PageDamage damage);
std::string hitPage(std::string_view name, int n, std::uint32_t seed, PageDamage damage);

}  // namespace velmora::demo

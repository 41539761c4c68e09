#pragma once
// What the web knows about a company name: its e-mail address, its own
// website's domain, and how a web search for it turns out. Everything here is
// a function of the name as the harvester searches it (lower-cased) and the
// seed, so the web-search pages need nothing but the name they are asked for.
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::demo {

// How the hit pages of a name's web search show its address.
enum class LookupVariant {
    FirstHit,        // hit 1 shows the address
    SecondHit,       // hit 1 has no "@", hit 2 shows the address
    StyleRuleFirst,  // hit 1's first "@" is a CSS "@media" rule; hit 2 shows the address
    CapitalsFirst,   // hit 1 writes an address with capitals (rejected), hit 2 has no "@",
                     // hit 3 shows the address
    NoAddress,       // three hits, none with an "@"
    NoHits,          // the search finds nothing
};

struct NameIdentity {
    std::string email;   // lower-case, acceptable to the e-mail lookup
    std::string domain;  // "huaxinkj.com.cn", lower-case
    LookupVariant lookup = LookupVariant::FirstHit;

    int hitCount() const;
    // 1-based hit whose page yields the address; 0 when none does.
    int addressHit() const;
};

NameIdentity nameIdentity(std::string_view lowerName, std::uint32_t seed);

}  // namespace velmora::demo

#include "demo/name_identity.h"

#include <vector>

#include "demo/demo_random.h"

namespace velmora::demo {
namespace {

const std::vector<std::string>& syllables() {
    static const std::vector<std::string> k = {
        "hua",  "xin",  "da",   "tong", "jin",   "long", "feng", "sheng", "tai", "kang",
        "yuan", "hong", "mei",  "li",   "bo",    "chen", "rui",  "ding",  "jia", "fu",
        "run",  "an",   "xing", "wan",  "zheng", "ming", "de",   "hui",   "zhi", "cheng",
    };
    return k;
}

}  // namespace

int NameIdentity::hitCount() const {
    switch (lookup) {
        case LookupVariant::NoHits:
            return 0;
        case LookupVariant::FirstHit:
        case LookupVariant::SecondHit:
        case LookupVariant::StyleRuleFirst:
        case LookupVariant::CapitalsFirst:
        case LookupVariant::NoAddress:
            break;
    }
    return 3;
}

int NameIdentity::addressHit() const {
    switch (lookup) {
        case LookupVariant::FirstHit:
            return 1;
        case LookupVariant::SecondHit:
        case LookupVariant::StyleRuleFirst:
            return 2;
        case LookupVariant::CapitalsFirst:
            return 3;
        case LookupVariant::NoAddress:
        case LookupVariant::NoHits:
            break;
    }
    return 0;
}

NameIdentity nameIdentity(std::string_view lowerName, std::uint32_t seed) {
    static const std::vector<std::string> kLocal = {"info",  "sales",   "service", "market",
                                                    "admin", "contact", "office",  "trade"};
    static const std::vector<std::string> kTail = {"", "", "", "tech", "group", "kj", "sy"};
    static const std::vector<std::string> kTld = {".com", ".com", ".com.cn", ".cn", ".net"};
    Rng rng(fnv1a(lowerName) ^ mix64(seed + 0x51u));
    NameIdentity id;
    for (;;) {
        std::string base = rng.pick(syllables()) + rng.pick(syllables()) + rng.pick(kTail);
        id.domain = base + rng.pick(kTld);
        std::string local = rng.pick(kLocal);
        if (rng.chance(25)) local += std::to_string(rng.between(1, 99));
        id.email = local + "@" + id.domain;
        // The lookup rejects any candidate that contains "htm".
        if (id.email.find("htm") == std::string::npos) break;
    }
    static constexpr LookupVariant kVariants[] = {
        LookupVariant::FirstHit,      LookupVariant::SecondHit, LookupVariant::StyleRuleFirst,
        LookupVariant::CapitalsFirst, LookupVariant::FirstHit,  LookupVariant::NoAddress,
        LookupVariant::NoHits,
    };
    id.lookup = kVariants[rng.below(static_cast<int>(std::size(kVariants)))];
    return id;
}

}  // namespace velmora::demo

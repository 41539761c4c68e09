#include "demo/company_catalog.h"

#include "demo/company_generator.h"
#include "demo/demo_random.h"
#include "sources/framework/text_scan.h"

namespace velmora::demo {

CompanyCatalog::CompanyCatalog(int perSource, std::uint32_t seed)
    : perSource_(perSource < 0 ? 0 : perSource), seed_(seed) {}

std::uint64_t CompanyCatalog::freeId(std::unordered_map<std::uint64_t, CompanyRef>& ids,
                                     std::uint64_t hash, std::uint64_t base,
                                     std::uint64_t span) const {
    std::uint64_t id = base + hash % span;
    while (ids.count(id) != 0) id = base + (id - base + 1) % span;
    return id;
}

std::shared_ptr<const CompanySet> CompanyCatalog::set(std::string_view keyword,
                                                      std::string_view provinceCode) {
    std::lock_guard lock(mutex_);
    auto key = std::make_pair(std::string(keyword), std::string(provinceCode));
    if (auto it = sets_.find(key); it != sets_.end()) return it->second;

    auto set = std::make_shared<CompanySet>();
    set->keyword = key.first;
    set->provinceCode = key.second;
    set->perSource = perSource_;
    set->alibabaShift = perSource_ / 3;
    set->pool = generateCompanies(keyword, provinceCode, seed_, perSource_ + set->alibabaShift);

    // Ids look like the sites' own (plain numbers) and stay the same for the
    // same keyword, province and seed, whatever was asked for before.
    std::uint64_t setHash = fnv1a(keyword, fnv1a(provinceCode)) ^ mix64(seed_);
    for (const Company& c : set->pool) {
        std::uint64_t h = mix64(setHash + static_cast<std::uint64_t>(c.poolIndex));
        CompanyRef ref{set, c.poolIndex};
        std::uint64_t regionalId = freeId(regionalIds_, h, 100000, 8900000);
        std::uint64_t alibabaId = freeId(alibabaIds_, mix64(h), 10000000, 89000000);
        regionalIds_[regionalId] = ref;
        alibabaIds_[alibabaId] = ref;
        set->regionalIds.push_back(regionalId);
        set->alibabaIds.push_back(alibabaId);
        if (c.poolIndex < set->perSource)
            regionalNames_.emplace(text::lowerAscii(c.name), c.poolIndex + 1);
    }
    sets_.emplace(std::move(key), set);
    return set;
}

std::optional<CompanyRef> CompanyCatalog::byRegionalId(std::uint64_t id) const {
    std::lock_guard lock(mutex_);
    auto it = regionalIds_.find(id);
    if (it == regionalIds_.end()) return std::nullopt;
    return it->second;
}

std::optional<CompanyRef> CompanyCatalog::byAlibabaId(std::uint64_t id) const {
    std::lock_guard lock(mutex_);
    auto it = alibabaIds_.find(id);
    if (it == alibabaIds_.end()) return std::nullopt;
    return it->second;
}

int CompanyCatalog::regionalIndexOfName(const std::string& lowerName) const {
    std::lock_guard lock(mutex_);
    auto it = regionalNames_.find(lowerName);
    return it == regionalNames_.end() ? 0 : it->second;
}

}  // namespace velmora::demo

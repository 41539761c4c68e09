#pragma once
// The companies the demo sites know, one pool per keyword and province,
// generated on first use and kept, with the ids that their pages are
// addressed by. Thread-safe.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "demo/company.h"

namespace velmora::demo {

// One keyword and province. The regional directory lists pool[0, perSource),
// the marketplace pool[alibabaShift, alibabaShift + perSource): the two
// overlap, so the same companies reach the list from both sites.
struct CompanySet {
    std::string keyword;
    std::string provinceCode;
    std::vector<Company> pool;
    int perSource = 0;
    int alibabaShift = 0;
    std::vector<std::uint64_t> regionalIds;  // by pool index
    std::vector<std::uint64_t> alibabaIds;   // by pool index

    // 0-based listing index of a source (2 or 7) to pool index.
    int poolIndex(int source, int index) const {
        return source == 2 ? index + alibabaShift : index;
    }
};

struct CompanyRef {
    std::shared_ptr<const CompanySet> set;
    int poolIndex = 0;
    const Company& company() const { return set->pool[static_cast<size_t>(poolIndex)]; }
};

class CompanyCatalog {
  public:
    CompanyCatalog(int perSource, std::uint32_t seed);

    std::shared_ptr<const CompanySet> set(std::string_view keyword, std::string_view provinceCode);

    std::optional<CompanyRef> byRegionalId(std::uint64_t id) const;
    std::optional<CompanyRef> byAlibabaId(std::uint64_t id) const;

    // 1-based place in the regional listing of the company with this
    // lower-cased name (first pool that had it); 0 when unknown.
    int regionalIndexOfName(const std::string& lowerName) const;

    std::uint32_t seed() const { return seed_; }

  private:
    std::uint64_t freeId(std::unordered_map<std::uint64_t, CompanyRef>& ids, std::uint64_t hash,
                         std::uint64_t base, std::uint64_t span) const;

    int perSource_;
    std::uint32_t seed_;
    mutable std::mutex mutex_;
    std::map<std::pair<std::string, std::string>, std::shared_ptr<CompanySet>> sets_;
    std::unordered_map<std::uint64_t, CompanyRef> regionalIds_;
    std::unordered_map<std::uint64_t, CompanyRef> alibabaIds_;
    std::unordered_map<std::string, int> regionalNames_;
};

}  // namespace velmora::demo

#pragma once
// A multiset of the company names of the newest list rows, so that the
// same-name filter answers in constant time instead of comparing 5001 names.
// Open addressing with linear probing over (hash, row); names are read back
// through the lookup function only to confirm a hash match. Each row's hash
// is remembered, so a row leaving the window is found without rehashing.
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace velmora {

class NameWindow {
  public:
    using NameOf = std::function<std::string_view(std::uint32_t row)>;

    // Holds at most `capacityRows` rows at once.
    NameWindow(std::uint32_t capacityRows, NameOf nameOf);

    static std::uint64_t hashOf(std::string_view name);

    void insert(std::uint32_t row, std::uint64_t hash);
    // Removes a row inserted earlier (and still within the last capacityRows inserts).
    void erase(std::uint32_t row);
    bool contains(std::string_view name, std::uint64_t hash) const;

  private:
    struct Slot {
        std::uint64_t hash = 0;
        std::uint32_t row = 0;  // 0 = empty (rows count from 1)
    };
    size_t home(std::uint64_t hash) const { return static_cast<size_t>(hash) & mask_; }

    std::vector<Slot> slots_;
    size_t mask_;
    std::vector<std::uint64_t> rowHashes_;  // by row modulo the capacity
    NameOf nameOf_;
};

}  // namespace velmora

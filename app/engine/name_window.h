#pragma once
// A multiset of the company names of the newest list rows, so that the
// same-name filter answers in constant time instead of comparing 5001 names.
// Open addressing with linear probing; rows are stored, names are read back
// through the lookup function.
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace velmora {

class NameWindow {
public:
    using NameOf = std::function<std::string_view(std::uint32_t row)>;

    NameWindow(std::uint32_t capacityRows, NameOf nameOf);

    void insert(std::uint32_t row, std::string_view name);
    void erase(std::uint32_t row, std::string_view name);
    bool contains(std::string_view name) const;

private:
    struct Slot {
        std::uint64_t hash = 0;
        std::uint32_t row = 0;  // 0 = empty (rows count from 1)
    };
    static std::uint64_t hashOf(std::string_view name);
    size_t home(std::uint64_t hash) const { return static_cast<size_t>(hash) & mask_; }

    std::vector<Slot> slots_;
    size_t mask_;
    NameOf nameOf_;
};

}  // namespace velmora

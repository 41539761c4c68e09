#pragma once
// The ten fields of a company record without its ID, in list-column order.
#include <array>
#include <string>

namespace velmora {

enum class Field : int {
    Name = 0,
    Phone,
    Contact,
    Manager,
    Address,
    Postcode,
    Email,
    Website,
    Fax,
    Profile,
};
inline constexpr int kSlotFields = 10;

struct RecordSlot {
    std::array<std::string, kSlotFields> fields;

    std::string& operator[](Field f) { return fields[static_cast<int>(f)]; }
    const std::string& operator[](Field f) const { return fields[static_cast<int>(f)]; }
    bool empty() const {
        for (const auto& f : fields)
            if (!f.empty()) return false;
        return true;
    }
    void clear() {
        for (auto& f : fields) f.clear();
    }
    bool operator==(const RecordSlot&) const = default;
};

}  // namespace velmora

#include "app/engine/name_window.h"

#include <bit>

namespace velmora {

NameWindow::NameWindow(std::uint32_t capacityRows, NameOf nameOf)
    : rowHashes_(capacityRows), nameOf_(std::move(nameOf)) {
    // At most half full, so probe runs stay short.
    size_t size = std::bit_ceil(static_cast<size_t>(capacityRows) * 2 + 2);
    slots_.resize(size);
    mask_ = size - 1;
}

std::uint64_t NameWindow::hashOf(std::string_view name) {
    std::uint64_t h = std::hash<std::string_view>{}(name);
    return h ^ (h >> 29);
}

void NameWindow::insert(std::uint32_t row, std::uint64_t hash) {
    rowHashes_[row % rowHashes_.size()] = hash;
    size_t i = home(hash);
    while (slots_[i].row != 0) i = (i + 1) & mask_;
    slots_[i] = {hash, row};
}

void NameWindow::erase(std::uint32_t row) {
    size_t i = home(rowHashes_[row % rowHashes_.size()]);
    while (slots_[i].row != row) {
        if (slots_[i].row == 0) return;  // not present
        i = (i + 1) & mask_;
    }
    // Backward-shift deletion keeps every probe run unbroken.
    size_t hole = i;
    for (size_t j = (hole + 1) & mask_; slots_[j].row != 0; j = (j + 1) & mask_) {
        size_t want = home(slots_[j].hash);
        bool movable = (hole <= j) ? (want <= hole || want > j) : (want <= hole && want > j);
        if (movable) {
            slots_[hole] = slots_[j];
            hole = j;
        }
    }
    slots_[hole] = Slot{};
}

bool NameWindow::contains(std::string_view name, std::uint64_t hash) const {
    for (size_t i = home(hash); slots_[i].row != 0; i = (i + 1) & mask_)
        if (slots_[i].hash == hash && nameOf_(slots_[i].row) == name) return true;
    return false;
}

}  // namespace velmora

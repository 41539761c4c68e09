#include "sources/framework/work_table.h"

#include <stdexcept>

namespace velmora {

WorkRow& WorkTable::at(int r) {
    if (r < 1) throw std::out_of_range("work table row below 1");
    if (r >= static_cast<int>(rows_.size())) rows_.resize(static_cast<size_t>(r) + 1);
    return rows_[static_cast<size_t>(r)];
}

void WorkTable::write(int r, std::string mark, std::string url, std::string key) {
    WorkRow& w = at(r);
    w.mark = std::move(mark);
    w.url = std::move(url);
    w.key = std::move(key);
}

void WorkTable::clearRow(int r) {
    if (r >= 1 && r < static_cast<int>(rows_.size())) rows_[static_cast<size_t>(r)] = WorkRow{};
}

void WorkTable::clearDownFrom(int from) {
    for (int r = from; r >= 1; --r) clearRow(r);
}

}  // namespace velmora

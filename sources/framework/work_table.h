#pragma once
// A work table of three text columns (mark, url, work key). Row 0 is never
// used; rows count from 1 and the table grows past its nominal size on demand.
#include <string>
#include <vector>

namespace velmora {

struct WorkRow {
    std::string mark;  // "N" written, "Y" handed to a worker
    std::string url;
    std::string key;

    bool operator==(const WorkRow&) const = default;
};

// What a row beyond a table's end reads as.
inline const WorkRow kEmptyWorkRow{};

class WorkTable {
  public:
    explicit WorkTable(int nominalRows = 42) : rows_(static_cast<size_t>(nominalRows)) {}

    // Row r (r >= 1); reading a row beyond the end gives an empty row.
    const WorkRow& row(int r) const {
        if (r < 1 || r >= static_cast<int>(rows_.size())) return kEmptyWorkRow;
        return rows_[static_cast<size_t>(r)];
    }
    // Writable row r, growing the table when r is beyond its size.
    WorkRow& at(int r);
    void write(int r, std::string mark, std::string url, std::string key);
    void clearRow(int r);
    // Empties rows `from` down to 1 (all three columns).
    void clearDownFrom(int from);
    // Highest row number that may hold data.
    int size() const { return static_cast<int>(rows_.size()) - 1; }

  private:
    std::vector<WorkRow> rows_;
};

}  // namespace velmora

#pragma once
// The company list: the one result store. Entries of eleven GBK text columns,
// appended only, never removed; the entry count equals the number of entries.
//
// Threads: appends and the filter run on the main thread only. Entries are
// stored so that appending never moves published ones, and the size is
// published with release order, so any thread may read the entries below a
// size() it has loaded (the exporters read the list from their own thread).
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/engine/company_columns.h"
#include "app/engine/name_window.h"
#include "sources/framework/record_slot.h"

namespace velmora {

using EntryFields = std::array<std::string_view, kColumns>;

class CompanyList {
  public:
    // Rows c - 5000 .. c are compared by the same-name filter.
    static constexpr std::uint32_t kFilterWindow = 5001;

    CompanyList();
    ~CompanyList();
    CompanyList(const CompanyList&) = delete;
    CompanyList& operator=(const CompanyList&) = delete;

    // Number of entries (= the entry count). Any thread.
    size_t size() const { return size_.load(std::memory_order_acquire); }
    // Column of entry `row` (0-based, below a loaded size()). Any thread.
    std::string_view field(size_t row, Column column) const;
    std::string_view field(size_t row, int column) const {
        return field(row, static_cast<Column>(column));
    }

    // --- main thread ---
    bool sameNameFilter() const { return filterOn_; }
    void setSameNameFilter(bool on) { filterOn_ = on; }

    // True when `name` may be added: filter off, list empty, or no entry of
    // the newest 5001 has exactly this name.
    bool acceptsName(std::string_view name) const;

    // Takes a record slot in: a named record the filter accepts becomes a new
    // entry whose ID is the new count. The slot is emptied in every case.
    // Returns true when an entry was added.
    bool intake(RecordSlot& slot);

    // Raises the count and appends an entry with the given ID (no filter).
    void addEntry(std::string_view id, const RecordSlot& record);
    void addEntry(const EntryFields& columns);

    // Called after entries were appended: (first new row, number of rows).
    using AppendObserver = std::function<void(size_t first, size_t count)>;
    void setAppendObserver(AppendObserver observer) { observer_ = std::move(observer); }

    // Bytes held for entries (fields and index), for the memory figures.
    size_t storageBytes() const { return storageBytes_; }

  private:
    struct EntryRef {
        std::uint32_t chunk;
        std::uint32_t offset;
        std::uint32_t length[kColumns];
    };
    static constexpr size_t kEntriesPerBlock = 1 << 16;
    static constexpr size_t kMaxBlocks = 1 << 12;
    static constexpr size_t kChunkBytes = 4u << 20;
    static constexpr size_t kMaxChunks = 1 << 16;

    void append(const EntryFields& columns, std::uint64_t nameHash);
    static EntryFields slotColumns(std::string_view id, const RecordSlot& record);
    const EntryRef& ref(size_t row) const;
    char* reserveBytes(size_t bytes, std::uint32_t& chunk, std::uint32_t& offset);

    // Directories of fixed size so that readers never see them move.
    std::unique_ptr<std::atomic<EntryRef*>[]> blocks_;
    std::unique_ptr<std::atomic<char*>[]> chunks_;
    std::uint32_t chunkCount_ = 0;
    size_t chunkUsed_ = 0;
    size_t chunkCapacity_ = 0;
    std::atomic<size_t> size_{0};
    size_t storageBytes_ = 0;

    bool filterOn_ = false;
    NameWindow window_;
    AppendObserver observer_;
};

}  // namespace velmora

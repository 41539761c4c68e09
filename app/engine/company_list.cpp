#include "app/engine/company_list.h"

#include <sys/mman.h>

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>

namespace velmora {
namespace {

// Entry storage comes in large blocks on transparent huge pages where the
// system offers them: a million entries then cost a few hundred page faults
// instead of tens of thousands.
constexpr size_t kHugePage = 2u << 20;

void* allocateLarge(size_t bytes) {
    size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* p = std::aligned_alloc(kHugePage, rounded);
    if (!p) throw std::bad_alloc();
    madvise(p, rounded, MADV_HUGEPAGE);
    return p;
}

}  // namespace

CompanyList::CompanyList()
    : blocks_(new std::atomic<EntryRef*>[kMaxBlocks]),
      chunks_(new std::atomic<char*>[kMaxChunks]),
      window_(kFilterWindow, [this](std::uint32_t row) { return field(row - 1, Column::Name); }) {
    for (size_t i = 0; i < kMaxBlocks; ++i) blocks_[i].store(nullptr, std::memory_order_relaxed);
    for (size_t i = 0; i < kMaxChunks; ++i) chunks_[i].store(nullptr, std::memory_order_relaxed);
}

CompanyList::~CompanyList() {
    for (size_t i = 0; i < kMaxBlocks; ++i) std::free(blocks_[i].load());
    for (size_t i = 0; i < kMaxChunks; ++i) std::free(chunks_[i].load());
}

const CompanyList::EntryRef& CompanyList::ref(size_t row) const {
    return blocks_[row / kEntriesPerBlock].load(std::memory_order_acquire)[row % kEntriesPerBlock];
}

std::string_view CompanyList::field(size_t row, Column column) const {
    const EntryRef& e = ref(row);
    const char* base = chunks_[e.chunk].load(std::memory_order_acquire) + e.offset;
    int c = static_cast<int>(column);
    size_t skip = 0;
    for (int i = 0; i < c; ++i) skip += e.length[i];
    return {base + skip, e.length[c]};
}

char* CompanyList::reserveBytes(size_t bytes, std::uint32_t& chunk, std::uint32_t& offset) {
    if (chunkCount_ == 0 || chunkUsed_ + bytes > chunkCapacity_) {
        if (chunkCount_ >= kMaxChunks) throw std::length_error("company list is full");
        // A field larger than a chunk gets a chunk of its own size.
        size_t capacity = bytes > kChunkBytes ? bytes : kChunkBytes;
        chunks_[chunkCount_].store(static_cast<char*>(allocateLarge(capacity)),
                                   std::memory_order_release);
        ++chunkCount_;
        chunkUsed_ = 0;
        chunkCapacity_ = capacity;
        storageBytes_ += capacity;
    }
    chunk = chunkCount_ - 1;
    offset = static_cast<std::uint32_t>(chunkUsed_);
    char* at = chunks_[chunk].load(std::memory_order_relaxed) + chunkUsed_;
    chunkUsed_ += bytes;
    return at;
}

void CompanyList::append(const EntryFields& columns, std::uint64_t hash) {
    size_t row = size_.load(std::memory_order_relaxed);
    size_t block = row / kEntriesPerBlock;
    if (block >= kMaxBlocks) throw std::length_error("company list is full");
    if (row % kEntriesPerBlock == 0 && blocks_[block].load(std::memory_order_relaxed) == nullptr) {
        blocks_[block].store(
            static_cast<EntryRef*>(allocateLarge(sizeof(EntryRef) * kEntriesPerBlock)),
            std::memory_order_release);
        storageBytes_ += sizeof(EntryRef) * kEntriesPerBlock;
    }
    size_t total = 0;
    for (auto f : columns) {
        if (f.size() > UINT32_MAX) throw std::length_error("field too long");
        total += f.size();
    }
    if (total > UINT32_MAX) throw std::length_error("entry too long");
    EntryRef& e = blocks_[block].load(std::memory_order_relaxed)[row % kEntriesPerBlock];
    char* out = reserveBytes(total, e.chunk, e.offset);
    for (int i = 0; i < kColumns; ++i) {
        e.length[i] = static_cast<std::uint32_t>(columns[i].size());
        if (!columns[i].empty()) std::memcpy(out, columns[i].data(), columns[i].size());
        out += columns[i].size();
    }
    size_.store(row + 1, std::memory_order_release);

    // Keep the name window at rows c - 5000 .. c for the new count c.
    auto count = static_cast<std::uint32_t>(row + 1);
    if (count > kFilterWindow) window_.erase(count - kFilterWindow);
    window_.insert(count, hash);
    if (observer_) observer_(row, 1);
}

bool CompanyList::acceptsName(std::string_view name) const {
    if (!filterOn_) return true;
    if (size() == 0) return true;
    return !window_.contains(name, NameWindow::hashOf(name));
}

bool CompanyList::intake(RecordSlot& slot) {
    bool added = false;
    const std::string& name = slot[Field::Name];
    if (!name.empty()) {
        std::uint64_t hash = NameWindow::hashOf(name);
        if (!filterOn_ || size() == 0 || !window_.contains(name, hash)) {
            char id[24];
            auto [end, ec] = std::to_chars(id, id + sizeof id, size() + 1);
            (void)ec;
            append(slotColumns(std::string_view(id, static_cast<size_t>(end - id)), slot), hash);
            added = true;
        }
    }
    slot.clear();
    return added;
}

EntryFields CompanyList::slotColumns(std::string_view id, const RecordSlot& record) {
    EntryFields columns;
    columns[0] = id;
    for (int i = 0; i < kSlotFields; ++i) columns[i + 1] = record.fields[i];
    return columns;
}

void CompanyList::addEntry(std::string_view id, const RecordSlot& record) {
    append(slotColumns(id, record), NameWindow::hashOf(record[Field::Name]));
}

void CompanyList::addEntry(const EntryFields& columns) {
    append(columns, NameWindow::hashOf(columns[static_cast<int>(Column::Name)]));
}

}  // namespace velmora

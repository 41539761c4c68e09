#pragma once
// Entries read by an import on its worker thread, handed to the main thread
// in batches: the bytes of many entries back to back plus the span of each
// column, so a batch costs a few allocations however many entries it holds.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "app/engine/company_list.h"

namespace velmora::io {

class EntryBatch {
  public:
    struct Span {
        size_t offset = 0;
        size_t length = 0;
    };
    using Spans = std::array<Span, kColumns>;

    // Field bytes go here; spans refer to offsets in it.
    std::string& bytes() { return bytes_; }
    void commit(const Spans& spans) { spans_.push_back(spans); }
    size_t entries() const { return spans_.size(); }

    // Main thread: appends the entries in order, each one only if the
    // same-name filter accepts its company name (the entry count rises with
    // every entry added). Returns false when the list refused an entry (it is
    // full, or a field is longer than it can hold); `added` counts the rest.
    bool applyTo(CompanyList& list, size_t& added, std::string& error) const;

    // Forgets the committed entries. Bytes from `keepFrom` on (an entry still
    // being read) move to the front; returns how far they moved.
    size_t reset(size_t keepFrom);

  private:
    std::string bytes_;
    std::vector<Spans> spans_;
};

}  // namespace velmora::io

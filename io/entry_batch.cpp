#include "io/entry_batch.h"

#include <exception>

namespace velmora::io {

bool EntryBatch::applyTo(CompanyList& list, size_t& added, std::string& error) const {
    const std::string_view all(bytes_);
    for (const Spans& spans : spans_) {
        EntryFields fields;
        for (int c = 0; c < kColumns; ++c) fields[c] = all.substr(spans[c].offset, spans[c].length);
        if (!list.acceptsName(fields[static_cast<int>(Column::Name)])) continue;
        try {
            list.addEntry(fields);
        } catch (const std::exception& e) {
            error = e.what();
            return false;
        }
        ++added;
    }
    return true;
}

size_t EntryBatch::reset(size_t keepFrom) {
    spans_.clear();
    if (keepFrom >= bytes_.size()) {
        keepFrom = bytes_.size();
        bytes_.clear();
    } else {
        bytes_.erase(0, keepFrom);
    }
    // One huge field must not pin its memory for the rest of the run.
    if (bytes_.capacity() > (64u << 20) && bytes_.size() < (16u << 20)) bytes_.shrink_to_fit();
    return keepFrom;
}

}  // namespace velmora::io

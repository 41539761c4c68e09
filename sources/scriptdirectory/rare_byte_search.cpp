#include "sources/scriptdirectory/rare_byte_search.h"

#include <cstring>

namespace velmora::scriptdir {

text::Pos findByByte(std::string_view text, std::string_view marker, size_t pivot, text::Pos from) {
    if (from < 1) from = 1;
    if (marker.empty()) return from <= text::length(text) ? from : 0;
    if (pivot >= marker.size()) pivot = 0;
    auto start = static_cast<size_t>(from - 1);
    if (marker.size() > text.size() || start > text.size() - marker.size()) return 0;
    const char* base = text.data();
    const size_t lastPivot = text.size() - marker.size() + pivot;
    for (size_t i = start + pivot; i <= lastPivot;) {
        const void* hit = std::memchr(base + i, marker[pivot], lastPivot - i + 1);
        if (hit == nullptr) return 0;
        size_t at = static_cast<size_t>(static_cast<const char*>(hit) - base);
        if (std::memcmp(base + at - pivot, marker.data(), marker.size()) == 0)
            return static_cast<text::Pos>(at - pivot) + 1;
        i = at + 1;
    }
    return 0;
}

text::Pos ByteFinder::next(text::Pos from) {
    if (from < 1) from = 1;
    if (lastFrom_ >= 1 && from >= lastFrom_ && (lastFound_ == 0 || lastFound_ >= from))
        return lastFound_;  // the answer for an earlier start still holds
    lastFrom_ = from;
    lastFound_ = findByByte(text_, marker_, pivot_, from);
    return lastFound_;
}

}  // namespace velmora::scriptdir

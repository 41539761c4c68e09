#include "sources/websearch/page_search.h"

#include <string.h>

namespace velmora::homepage {

using text::Pos;

Pos findIn(std::string_view text, std::string_view marker, Pos from) {
    if (from < 1) from = 1;
    if (from > text::length(text) || marker.empty())
        return marker.empty() && from <= text::length(text) + 1 ? from : 0;
    const char* start = text.data() + (from - 1);
    const void* at =
        memmem(start, text.size() - static_cast<size_t>(from - 1), marker.data(), marker.size());
    return at == nullptr ? 0 : static_cast<Pos>(static_cast<const char*>(at) - text.data()) + 1;
}

Pos Finder::next(Pos from) {
    if (from < 1) from = 1;
    if (lastFrom_ >= 1 && from >= lastFrom_ && (lastFound_ == 0 || lastFound_ >= from))
        return lastFound_;
    lastFrom_ = from;
    lastFound_ = findIn(page_, marker_, from);
    return lastFound_;
}

}  // namespace velmora::homepage

#include "sources/framework/work_key.h"

#include <stdexcept>

#include "sources/framework/text_scan.h"

namespace velmora {

WorkKey WorkKey::parse(std::string_view key) {
    size_t open = key.find('['), close = key.find(']'), braceOpen = key.find('{'),
           braceClose = key.find('}');
    if (open == std::string_view::npos || close == std::string_view::npos ||
        braceOpen == std::string_view::npos || braceClose == std::string_view::npos ||
        !(open < close && close < braceOpen && braceOpen < braceClose))
        throw std::invalid_argument("malformed work key");
    WorkKey k;
    k.source = text::parseInt32(key.substr(0, open));
    k.index = text::parseInt32(key.substr(open + 1, close - open - 1));
    k.detail = text::parseInt32(key.substr(close + 1, braceOpen - close - 1));
    k.extra = text::parseInt32(key.substr(braceOpen + 1, braceClose - braceOpen - 1));
    return k;
}

std::string WorkKey::make(std::int32_t source, std::int32_t index, std::int32_t detail) {
    return std::to_string(source) + "[" + std::to_string(index) + "]" + std::to_string(detail) +
           "{0}";
}

}  // namespace velmora

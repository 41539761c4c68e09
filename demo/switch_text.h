#pragma once
// Reading the colon-separated text of a demo-site switch ("7:detail:3:hang",
// "2:50:drop"): its fields, and whole decimal numbers among them.
#include <charconv>
#include <string_view>
#include <vector>

namespace velmora::demo {

inline std::vector<std::string_view> splitColons(std::string_view text) {
    std::vector<std::string_view> parts;
    for (;;) {
        size_t colon = text.find(':');
        parts.push_back(text.substr(0, colon));
        if (colon == std::string_view::npos) break;
        text.remove_prefix(colon + 1);
    }
    return parts;
}

// True when the whole of `text` is a decimal int.
inline bool parseWholeInt(std::string_view text, int& value) {
    if (text.empty()) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

}  // namespace velmora::demo

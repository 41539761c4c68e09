#include "io/number_text.h"

#include <charconv>
#include <cmath>

namespace velmora::io {

std::string numberText(double value) {
    if (!std::isfinite(value)) return value != value ? "NaN" : (value < 0 ? "-INF" : "INF");
    if (value == 0) return "0";  // also for -0
    char buffer[64];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, result.ptr);
    for (char& c : text)
        if (c == 'e') c = 'E';
    return text;
}

std::string numberText(std::string_view stored) {
    size_t b = 0, e = stored.size();
    while (b < e &&
           (stored[b] == ' ' || stored[b] == '\t' || stored[b] == '\r' || stored[b] == '\n'))
        ++b;
    while (e > b && (stored[e - 1] == ' ' || stored[e - 1] == '\t' || stored[e - 1] == '\r' ||
                     stored[e - 1] == '\n'))
        --e;
    std::string_view digits = stored.substr(b, e - b);
    const char* first = digits.data();
    const char* last = first + digits.size();
    if (first != last && *first == '+') ++first;
    double value = 0;
    auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec != std::errc() || end != last || first == last || !std::isfinite(value))
        return std::string(stored);
    return numberText(value);
}

}  // namespace velmora::io

#include "sources/framework/text_scan.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <stdexcept>

#include "platform/gbk.h"

namespace velmora::text {

Pos find(std::string_view text, std::string_view marker, Pos from) {
    if (from < 1) from = 1;
    if (from > length(text)) return 0;
    size_t at = text.find(marker, static_cast<size_t>(from - 1));
    return at == std::string_view::npos ? 0 : static_cast<Pos>(at) + 1;
}

Pos findLast(std::string_view text, std::string_view marker) {
    if (marker.empty()) return static_cast<Pos>(text.size()) + 1;
    // Forward memmem from hit to hit: the library's rfind compares the whole
    // marker at every position from the end, many times slower on a page.
    Pos last = 0;
    size_t from = 0;
    while (from + marker.size() <= text.size()) {
        const void* hit =
            memmem(text.data() + from, text.size() - from, marker.data(), marker.size());
        if (hit == nullptr) break;
        size_t at = static_cast<size_t>(static_cast<const char*>(hit) - text.data());
        last = static_cast<Pos>(at) + 1;
        from = at + 1;
    }
    return last;
}

Pos scanForwardMatch(std::string_view page, std::string_view marker, Pos p) {
    if (p < 0) p = 0;
    if (p + 1 > length(page)) return 0;
    size_t at = page.find(marker, static_cast<size_t>(p));  // 0-based p is 1-based p + 1
    return at == std::string_view::npos ? 0 : static_cast<Pos>(at) + 1;
}

Pos scanForward(std::string_view page, std::string_view marker, Pos p, Pos clamp) {
    Pos at = scanForwardMatch(page, marker, p);
    return at == 0 ? clamp : at;
}

Pos scanForward(std::string_view page, std::string_view marker, Pos p) {
    return scanForward(page, marker, p, length(page));
}

Pos scanBack(std::string_view page, std::string_view marker, Pos p, Pos clamp) {
    if (marker.empty()) return p - 1 >= 0 ? p - 1 : clamp;
    if (p - 1 >= 1) {
        // Last match starting at 1-based position <= p - 1.
        size_t at = page.rfind(marker, static_cast<size_t>(p - 2));
        if (at != std::string_view::npos) return static_cast<Pos>(at) + 1;
    }
    // Position 0 is examined last and reads as position 1.
    if (p - 1 >= 0 && page.substr(0, marker.size()) == marker) return 0;
    return clamp;
}

Pos ForwardFinder::next(Pos from) {
    if (from < 1) from = 1;
    if (lastFrom_ >= 1 && from >= lastFrom_ && (lastFound_ == 0 || lastFound_ >= from))
        return lastFound_;  // the answer for an earlier start still holds
    lastFrom_ = from;
    lastFound_ = find(page_, marker_, from);
    return lastFound_;
}

std::string_view cut(std::string_view text, Pos a, Pos b) {
    if (a < 1) a = 1;
    Pos len = length(text);
    if (b > len + 1) b = len + 1;
    if (b <= a) return {};
    return text.substr(static_cast<size_t>(a - 1), static_cast<size_t>(b - a));
}

std::string_view tail(std::string_view text, Pos a) {
    if (a < 1) a = 1;
    if (a > length(text)) return {};
    return text.substr(static_cast<size_t>(a - 1));
}

std::string removeTags(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    // Once no ">" follows a "<", none follows any later "<" either: without
    // remembering that, a text of lone "<" would be searched to its end once
    // per "<".
    bool closers = true;
    while (pos < text.size()) {
        size_t open = text.find('<', pos);
        if (open == std::string_view::npos) {
            out.append(text.substr(pos));
            break;
        }
        out.append(text.substr(pos, open - pos));
        size_t close =
            closers && open + 2 <= text.size() ? text.find('>', open + 2) : std::string_view::npos;
        if (close == std::string_view::npos && open + 2 <= text.size()) closers = false;
        pos = close == std::string_view::npos ? open + 1 : close + 1;
    }
    return out;
}

void lowerAsciiInPlace(std::string& page) {
    // Branch-free so the compiler vectorises it: pages are lower-cased whole.
    for (char& c : page) {
        unsigned char b = static_cast<unsigned char>(c);
        c = static_cast<char>(b + (static_cast<unsigned char>(b - 'A') < 26 ? 32 : 0));
    }
}

std::string lowerAscii(std::string_view page) {
    std::string out(page);
    lowerAsciiInPlace(out);
    return out;
}

std::string_view trim(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= 32) ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32) --e;
    return text.substr(b, e - b);
}

std::string digitFilter(std::string_view window) {
    std::string result;
    bool pendingSpace = false;
    for (char c : window) {
        if (c >= '0' && c <= '9') {
            if (pendingSpace) result.push_back(' ');
            result.push_back(c);
            pendingSpace = false;
        } else {
            pendingSpace = true;
        }
    }
    return result;
}

bool isTrailByteAt(std::string_view text, Pos pos) {
    if (pos < 1 || pos > length(text)) return false;
    Pos i = 1;
    while (i < pos) {
        if (gbk::isLeadByte(static_cast<unsigned char>(text[i - 1]))) {
            if (i + 1 == pos) return true;
            i += 2;
        } else {
            i += 1;
        }
    }
    return false;
}

std::string decimal(std::int64_t value) {
    return std::to_string(value);
}

std::int32_t parseInt32(std::string_view digits) {
    if (digits.empty()) return 0;
    std::int32_t value = 0;
    const char* first = digits.data();
    if (*first == '+') ++first;
    // from_chars would take a sign of its own after the "+": "+-5" is no plain decimal.
    if (first != digits.data() && first != digits.data() + digits.size() && *first == '-')
        throw std::invalid_argument("not a number: " + std::string(digits));
    auto [end, ec] = std::from_chars(first, digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size() || first == end)
        throw std::invalid_argument("not a number: " + std::string(digits));
    return value;
}

}  // namespace velmora::text

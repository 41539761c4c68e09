#include "sources/framework/text_scan.h"

#include <algorithm>
#include <charconv>
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
    size_t at = text.rfind(marker);
    return at == std::string_view::npos ? 0 : static_cast<Pos>(at) + 1;
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
    while (pos < text.size()) {
        size_t open = text.find('<', pos);
        if (open == std::string_view::npos) {
            out.append(text.substr(pos));
            break;
        }
        out.append(text.substr(pos, open - pos));
        size_t close = open + 2 <= text.size() ? text.find('>', open + 2) : std::string_view::npos;
        pos = close == std::string_view::npos ? open + 1 : close + 1;
    }
    return out;
}

void lowerAsciiInPlace(std::string& page) {
    // Only single-byte letters change: the second byte of a double-byte
    // character may lie in "A".."Z" (機, 華, 業, ...) and must stay as it is.
    // Which bytes are second bytes follows from the lead-byte walk from the
    // page start. Blocks without any byte above 0x7F (most of the markup) are
    // lower-cased branch-free, so the compiler vectorises them.
    auto* p = reinterpret_cast<unsigned char*>(page.data());
    const size_t n = page.size();
    constexpr size_t kBlock = 64;
    size_t i = 0;
    while (i < n) {
        const size_t end = std::min(n, i + kBlock);
        unsigned char high = 0;
        for (size_t k = i; k < end; ++k) high |= p[k];
        if ((high & 0x80) == 0) {
            for (size_t k = i; k < end; ++k)
                p[k] = static_cast<unsigned char>(
                    p[k] + (static_cast<unsigned char>(p[k] - 'A') < 26 ? 32 : 0));
            i = end;
            continue;
        }
        // A lead byte at the block's end carries its trail byte into the next block.
        while (i < end) {
            unsigned char b = p[i];
            if (gbk::isLeadByte(b)) {
                i += 2;
            } else {
                p[i] = static_cast<unsigned char>(
                    b + (static_cast<unsigned char>(b - 'A') < 26 ? 32 : 0));
                ++i;
            }
        }
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

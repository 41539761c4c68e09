#include "sources/detaildirectory/detail_cleaning.h"

#include <algorithm>
#include <cstring>

#include "platform/gbk.h"

namespace velmora::detaildirectory {
namespace {

using text::Pos;

bool leadAt(std::string_view text, Pos pos) {
    return gbk::isLeadByte(static_cast<unsigned char>(text[static_cast<size_t>(pos - 1)]));
}

}  // namespace

Pos findMarker(std::string_view text, std::string_view marker, Pos from) {
    if (from < 1) from = 1;
    size_t start = static_cast<size_t>(from - 1);
    if (marker.empty() || start >= text.size()) return text::find(text, marker, from);
    const void* hit =
        memmem(text.data() + start, text.size() - start, marker.data(), marker.size());
    return hit == nullptr ? 0 : static_cast<Pos>(static_cast<const char*>(hit) - text.data()) + 1;
}

Pos findLastMarker(std::string_view text, std::string_view marker) {
    if (marker.empty() || marker.size() > text.size()) return text::findLast(text, marker);
    const char first = marker.front();
    size_t span = text.size() - marker.size() + 1;  // candidate starts 0 .. span - 1
    while (span > 0) {
        const void* hit = memrchr(text.data(), first, span);
        if (hit == nullptr) return 0;
        size_t at = static_cast<size_t>(static_cast<const char*>(hit) - text.data());
        if (text.compare(at, marker.size(), marker) == 0) return static_cast<Pos>(at) + 1;
        span = at;
    }
    return 0;
}

std::string_view colonStrip(std::string_view text) {
    static const std::string kWide = gbk::fromUtf8("：");
    size_t narrow = text.find(':');
    size_t wide = text.find(kWide);
    if (narrow != std::string_view::npos && (wide == std::string_view::npos || narrow < wide))
        return text.substr(narrow + 1);
    if (wide != std::string_view::npos) return text.substr(wide + kWide.size());
    return text;
}

std::string removeEvery(std::string_view text, std::string_view pattern) {
    std::string out;
    out.reserve(text.size());
    if (pattern.empty()) return std::string(text);
    const char last = pattern.back();
    for (char c : text) {
        out.push_back(c);
        if (c == last && out.size() >= pattern.size() &&
            std::string_view(out).substr(out.size() - pattern.size()) == pattern)
            out.resize(out.size() - pattern.size());
    }
    return out;
}

std::string removeLineBreaksAndSpaces(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\r' && c != '\n' && c != ' ') out.push_back(c);
    return out;
}

std::string_view lineCut(std::string_view text) {
    size_t lf = text.find('\n');
    return lf == std::string_view::npos ? text : text.substr(0, lf);
}

bool isCharStart(std::string_view text, Pos pos) {
    if (pos <= 1) return true;
    if (pos > text::length(text) + 1) return false;
    // Count the lead-valued bytes directly in front of pos: the byte in front
    // of that run starts a character or ends one, so the run begins a
    // character, and its bytes pair up from there.
    Pos k = pos - 1;
    while (k >= 1 && leadAt(text, k)) --k;
    return (pos - 1 - k) % 2 == 0;
}

Pos firstLeadFrom(std::string_view text, Pos from) {
    if (from < 1) from = 1;
    Pos len = text::length(text);
    if (from > len) return 0;
    Pos k = isCharStart(text, from) ? from : from + 1;
    // From a character start, every byte up to the first lead-valued one is a
    // character of its own, so that byte starts a character.
    for (; k <= len; ++k)
        if (leadAt(text, k)) return k;
    return 0;
}

Pos lastLeadBefore(std::string_view text, Pos before) {
    Pos k = std::min(before, text::length(text) + 1) - 1;
    while (k >= 1 && !leadAt(text, k)) --k;
    if (k < 1) return 0;
    // k is the last lead-valued byte: a lead byte itself, or the trail of the
    // lead byte in front of it.
    return isCharStart(text, k) ? k : k - 1;
}

}  // namespace velmora::detaildirectory

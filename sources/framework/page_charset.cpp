#include "sources/framework/page_charset.h"

#include <iconv.h>

#include <cerrno>

#include "platform/gbk.h"

namespace velmora::text {
namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = lowerAscii(c);
    return out;
}

bool isNameByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' ||
           c == ':';
}

// The name behind "charset" in `lower` from `from` on (within `end`):
// "charset", optional spaces, "=", optional spaces and quotes, the name.
std::string charsetAfter(std::string_view lower, std::size_t from, std::size_t end) {
    static constexpr std::string_view kKey = "charset";
    for (std::size_t at = lower.find(kKey, from); at != std::string_view::npos && at < end;
         at = lower.find(kKey, at + 1)) {
        std::size_t i = at + kKey.size();
        while (i < end && lower[i] == ' ') ++i;
        if (i >= end || lower[i] != '=') continue;
        ++i;
        while (i < end && (lower[i] == ' ' || lower[i] == '"' || lower[i] == '\'')) ++i;
        std::size_t start = i;
        while (i < end && isNameByte(lower[i])) ++i;
        if (i > start) return std::string(lower.substr(start, i - start));
    }
    return {};
}

// Any charset iconv knows to UTF-8, a malformed byte as "?"; false when iconv
// does not know the charset.
bool toUtf8(const std::string& charset, std::string_view in, std::string& out) {
    iconv_t cd = iconv_open("UTF-8", charset.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    out.clear();
    out.reserve(in.size() + in.size() / 2);
    char buffer[8192];
    char* src = const_cast<char*>(in.data());
    std::size_t left = in.size();
    while (left > 0) {
        char* dst = buffer;
        std::size_t room = sizeof buffer;
        std::size_t rc = iconv(cd, &src, &left, &dst, &room);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
            out.push_back('?');  // EILSEQ, or EINVAL at a truncated end
            ++src;
            --left;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return true;
}

}  // namespace

std::string declaredCharset(std::string_view contentType, std::string_view page) {
    std::string header = lowered(contentType);
    if (std::string name = charsetAfter(header, 0, header.size()); !name.empty()) return name;
    std::string head = lowered(page.substr(0, kCharsetWindow));
    for (std::size_t meta = head.find("<meta"); meta != std::string::npos;
         meta = head.find("<meta", meta + 1)) {
        std::size_t end = head.find('>', meta);
        if (end == std::string::npos) end = head.size();
        if (std::string name = charsetAfter(head, meta, end); !name.empty()) return name;
    }
    return {};
}

bool passesUnchanged(std::string_view charset) {
    static constexpr std::string_view kSame[] = {
        "",       "gbk",      "gb2312",   "gb18030", "cp936",    "ms936", "windows-936", "x-gbk",
        "euc-cn", "x-euc-cn", "csgb2312", "chinese", "us-ascii", "ascii", "iso646-us"};
    for (std::string_view name : kSame)
        if (charset == name) return true;
    return false;
}

bool convertPageToGbk(std::string& page, std::string_view contentType) {
    std::string charset = declaredCharset(contentType, page);
    if (passesUnchanged(charset)) return false;
    if (charset == "utf-8" || charset == "utf8") {
        std::string_view body = page;
        if (body.starts_with("\xEF\xBB\xBF")) body.remove_prefix(3);  // byte-order mark
        page = gbk::fromUtf8(body);
        return true;
    }
    std::string utf8;
    if (!toUtf8(charset, page, utf8)) return false;  // a name iconv does not know
    std::string_view body = utf8;
    if (body.starts_with("\xEF\xBB\xBF")) body.remove_prefix(3);
    page = gbk::fromUtf8(body);
    return true;
}

}  // namespace velmora::text

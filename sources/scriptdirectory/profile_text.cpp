#include "sources/scriptdirectory/profile_text.h"

#include <algorithm>

#include "platform/gbk.h"
#include "sources/scriptdirectory/rare_byte_search.h"

namespace velmora::scriptdir {

using text::Pos;

Pos lastChineseBefore(std::string_view page, Pos p) {
    // One walk from the page start classifies the bytes in front of p; the
    // last character start that qualifies is the one a backward step meets
    // first.
    Pos found = 0;
    Pos end = std::min<Pos>(p - 1, text::length(page));
    for (Pos i = 1; i <= end;) {
        auto b = static_cast<unsigned char>(page[static_cast<size_t>(i - 1)]);
        if (gbk::isLeadByte(b)) {
            if (b < 0xA1 || b > 0xA9) found = i;
            i += 2;
        } else {
            i += 1;
        }
    }
    return found == 0 ? p : found;
}

std::string cleanProfile(std::string_view t) {
    static constexpr std::string_view kBreak = "<br>";
    static constexpr std::string_view kSpace = "&nbsp;";
    // Each step of the walk keeps the byte it ends on, so the walk has run
    // out of text before it runs out of steps; the deletions only move the
    // read position on.
    std::string out;
    out.reserve(t.size());
    size_t j = 0;
    while (j < t.size()) {
        while (t.substr(j, kBreak.size()) == kBreak) j += kBreak.size();
        while (t.substr(j, kSpace.size()) == kSpace) j += kSpace.size();
        while (j < t.size() && t[j] == '\r') ++j;
        while (j < t.size() && t[j] == '\n') ++j;
        if (j < t.size()) out.push_back(t[j++]);
    }
    return out;
}

std::string profileOf(std::string_view page) {
    static const std::string kDetailed = gbk::fromUtf8("详细企业介绍");
    static const std::string kBasic = gbk::fromUtf8("公司基本信息");
    static const std::string kComment = gbk::fromUtf8("<!--公司简介-->");

    std::string_view profile;
    if (Pos h = text::find(page, kDetailed); h != 0) {
        // The introduction ends on its last Chinese character and the two
        // bytes behind it (a closing full-width mark), and starts behind the
        // tag in front of it.
        Pos e = lastChineseBefore(page, h);
        Pos s = text::scanBack(page, ">", e, h);
        profile = text::trim(text::cut(page, s + 1, e + 4));
    } else if (Pos h2 = text::find(page, kBasic); h2 != 0) {
        Pos e = lastChineseBefore(page, h2);
        Pos s = text::scanBack(page, "<br>", e, h2);
        profile = text::trim(text::cut(page, s + 4, e + 4));
    } else if (Pos c = findByByte(page, kComment, 8); c != 0) {  // by a byte of "简"
        Pos start = c + text::length(kComment);
        Pos end = text::find(page, "<", start);
        if (end == 0) end = text::length(page) + 1;  // to the page end, last byte included
        profile = text::trim(text::cut(page, start, end));
    }
    return profile.empty() ? std::string() : cleanProfile(profile);
}

}  // namespace velmora::scriptdir

#include "sources/websearch/name_field.h"

#include "platform/gbk.h"
#include "sources/framework/text_scan.h"
#include "sources/websearch/char_tests.h"
#include "sources/websearch/page_search.h"

namespace velmora::homepage {

using text::Pos;

namespace {

void deleteFirst(std::string& t, std::string_view marker) {
    size_t at = t.find(marker);
    if (at != std::string::npos) t.erase(at, marker.size());
}

void deleteEvery(std::string& t, std::string_view marker) {
    std::string out;
    size_t pos = 0;
    for (size_t at; (at = t.find(marker, pos)) != std::string::npos; pos = at + marker.size())
        out.append(t, pos, at - pos);
    out.append(t, pos, std::string::npos);
    t = std::move(out);
}

void cutBefore(std::string& t, std::string_view marker) {
    size_t at = t.find(marker);
    if (at != std::string::npos) t.resize(at);
}

// Keeps t up to and including the first `word`, runs the full-width space
// pass and empties t when `word` then starts before position 4.
std::string keepThrough(const std::string& t, std::string_view word) {
    std::string kept = fullWidthSpacePass(t.substr(0, t.find(word) + word.size()));
    return homepage::findIn(kept, word) < 4 ? std::string() : kept;
}

std::string nameFromTitle(std::string t, std::string_view keyword) {
    static const std::string kCompany = gbk::fromUtf8("公司");
    static const std::string kFactory = gbk::fromUtf8("厂");
    static const std::string kGreetings[] = {
        gbk::fromUtf8("欢迎"), gbk::fromUtf8("您"),   gbk::fromUtf8("你"),
        gbk::fromUtf8("光临"), gbk::fromUtf8("来到"), gbk::fromUtf8("进入"),
    };
    static const std::string kCuts[] = {gbk::fromUtf8("，"), ",", gbk::fromUtf8("。"), "="};
    static const std::string kFullColon = gbk::fromUtf8("：");
    static const std::string kFullBang = gbk::fromUtf8("！");
    static const std::string kHomepage = gbk::fromUtf8("首页");

    for (const std::string& word : kGreetings) deleteFirst(t, word);
    deleteEvery(t, ":");
    deleteEvery(t, kFullColon);
    for (const std::string& mark : kCuts) cutBefore(t, mark);
    deleteFirst(t, "!");
    deleteFirst(t, kFullBang);
    deleteFirst(t, kHomepage);

    if (homepage::containsIn(t, kCompany)) {
        t = keepThrough(t, kCompany);
    } else if (homepage::containsIn(t, kFactory)) {
        t = keepThrough(t, kFactory);
    } else {
        Pos at = keyword.empty() ? 0 : homepage::findIn(t, keyword);
        if (at != 0 && at + text::length(keyword) - 1 == text::length(t)) {
            t = fullWidthSpacePass(t);
            if (homepage::findIn(t, keyword) < 4) t.clear();
        } else {
            t.clear();
        }
    }
    return std::string(text::trim(t));
}

// The last "公司" of the page and the text around it, accepted when its stem
// already stands earlier in the page.
std::string nameFromBody(std::string_view page) {
    static const std::string kCompany = gbk::fromUtf8("公司");
    Pos b = homepage::findLastIn(page, kCompany);
    Pos j = 0;
    for (Pos k = b - 1; k >= 1; --k) {
        char c = page[k - 1];
        if (c == '>' || c == ' ') {
            j = k;
            break;
        }
    }
    Pos k = text::length(page);
    for (Pos i = j + 1; i <= text::length(page); ++i) {
        char c = page[i - 1];
        if (c == '<' || c == ' ') {
            k = i;
            break;
        }
    }
    std::string c(text::cut(page, j + 1, k));
    cutBefore(c, kCompany);
    if (c.empty() || !homepage::containsIn(page.substr(0, static_cast<size_t>(j)), c)) return {};
    c = fullWidthSpacePass(c + kCompany);
    if (homepage::findIn(c, kCompany) < 4) return {};
    return std::string(text::trim(c));
}

}  // namespace

std::string findCompanyName(std::string_view page, std::string_view keyword) {
    static const std::string kCompany = gbk::fromUtf8("公司");
    static const std::string kFactory = gbk::fromUtf8("厂");
    std::string title;
    Pos open = homepage::findIn(page, "<title>");
    if (open != 0)
        title = std::string(text::cut(page, open + 7, homepage::findIn(page, "</title>")));
    if (!title.empty() &&
        (homepage::containsIn(title, kCompany) || homepage::containsIn(title, kFactory) ||
         (!keyword.empty() && homepage::containsIn(title, keyword))))
        return nameFromTitle(std::move(title), keyword);
    if (homepage::containsIn(page, kCompany)) return nameFromBody(page);
    return {};
}

}  // namespace velmora::homepage

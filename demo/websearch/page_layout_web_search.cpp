#include "demo/websearch/page_layout_web_search.h"

#include <algorithm>
#include <charconv>

#include "demo/demo_random.h"
#include "demo/websearch/homepages.h"
#include "demo/page_filler.h"
#include "demo/url_codec.h"
#include "platform/gbk.h"

namespace velmora::demo {
namespace {

std::string pagerLink(std::string_view query, int page, int pageSize) {
    return "baidu?word=" + lowerHexEscape(query) + "&pn=" + std::to_string((page - 1) * pageSize);
}

// The pager as the engine drew it: up to nine pages either side of the
// current one, "上一页" and "下一页" where there are such pages. The href is
// the last attribute, right before the link text.
std::string pager(std::string_view query, int page, int pages, int pageSize) {
    static const std::string kPrevious = gbk::fromUtf8("&lt;上一页");
    static const std::string kNext = gbk::fromUtf8("下一页&gt;");
    static const std::string kResultPages = gbk::fromUtf8("结果页码：");
    if (pages <= 1) return {};
    std::string out = "<br clear=all>\r\n<div class=\"p\">" + kResultPages + "&nbsp;";
    if (page > 1)
        out += "<a class=n href=" + pagerLink(query, page - 1, pageSize) + ">" + kPrevious +
               "</a>&nbsp;";
    int first = std::max(1, page - 9), last = std::min(pages, page + 9);
    for (int n = first; n <= last; ++n) {
        if (n == page)
            out += "<font size=3><b>[" + std::to_string(n) + "]</b></font>&nbsp;";
        else
            out += "<a href=" + pagerLink(query, n, pageSize) + ">[" + std::to_string(n) +
                   "]</a>&nbsp;";
    }
    if (page < pages)
        out += "<a class=n href=" + pagerLink(query, page + 1, pageSize) + ">" + kNext + "</a>";
    return out + "</div>\r\n";
}

std::string hitBlock(const std::string& url, int place, std::string_view query, int n) {
    static const std::string kTitles[] = {gbk::fromUtf8("_公司首页"), gbk::fromUtf8("_欢迎光临"),
                                          gbk::fromUtf8("_产品中心")};
    static const std::string kSnippet =
        gbk::fromUtf8("……专业生产、销售，质量可靠，价格合理，欢迎新老客户来电洽谈……");
    static const std::string kCache = gbk::fromUtf8("百度快照");
    std::string shown = filler::escapeHtml(query);
    std::string out = "<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" id=\"" +
                      std::to_string(place) + "\"><tr><td class=f>\r\n";
    out += "<p class=f><a onmousedown=\"return c({'fm':'as','F':'77','T':'1','p1':" +
           std::to_string(place) + "})\" href=\"" + url + "\" target=_blank><font size=\"3\">";
    out += "<font color=#c60a00>" + shown + "</font>" + kTitles[n % 3] + "</font></a></p>\r\n";
    out += "<font size=-1>" + shown + kSnippet + "<br>\r\n<font color=#008000>" + url.substr(7) +
           " " + std::to_string(8 + n % 40) + "K 2008-5-" + std::to_string(1 + n % 28) +
           " </font> - <a href=\"/cache?u=" + std::to_string(n) +
           "\" target=\"_blank\" class=\"m\">" + kCache + "</a></font></td></tr></table><br>\r\n";
    return out;
}

}  // namespace

bool isMailQuery(std::string_view rawWord) {
    // The lookup's "+" is literal; a keyword's own "+" arrives escaped.
    std::string word = percentDecode(rawWord);
    return rawWord.ends_with("+mail") && word.size() >= 7 && word.starts_with('"') &&
           word.ends_with("\"+mail");
}

std::vector<int> foundHomepages(std::string_view query, std::uint32_t seed, int limit,
                                int homepages) {
    std::vector<int> found;
    if (query.empty() || homepages < 1) return found;
    for (int n = 1; n <= homepages; ++n) found.push_back(n);
    // A shuffle keyed by the query: another keyword or province, another order.
    std::uint64_t state = fnv1a(query, seed + 0x9e3779b97f4a7c15ull);
    for (std::size_t i = found.size() - 1; i > 0; --i) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        std::size_t j = static_cast<std::size_t>((state >> 33) % (i + 1));
        std::swap(found[i], found[j]);
    }
    found.resize(static_cast<std::size_t>(std::clamp(limit, 0, homepages)));
    return found;
}

int resultPageCount(std::size_t found, int pageSize) {
    if (pageSize < 1) pageSize = 1;
    return static_cast<int>((found + static_cast<std::size_t>(pageSize) - 1) /
                            static_cast<std::size_t>(pageSize));
}

std::vector<int> hitsShown(const std::vector<int>& found, int page, int pageSize) {
    std::vector<int> shown;
    if (pageSize < 1) pageSize = 1;
    std::size_t from = static_cast<std::size_t>(page - 1) * static_cast<std::size_t>(pageSize);
    if (page < 1 || from >= found.size()) return shown;
    std::size_t to = std::min(found.size(), from + static_cast<std::size_t>(pageSize));
    if (page > 1) shown.push_back(found[from - 1]);
    shown.insert(shown.end(), found.begin() + static_cast<std::ptrdiff_t>(from),
                 found.begin() + static_cast<std::ptrdiff_t>(to));
    shown.push_back(found[from]);
    return shown;
}

std::vector<HomepageVisit> visitOrder(const std::vector<int>& found, int pageSize) {
    std::vector<HomepageVisit> order;
    int pages = resultPageCount(found.size(), pageSize);
    for (int p = 1; p <= pages; ++p) {
        std::vector<int> onPage;
        for (int n : hitsShown(found, p, pageSize))
            if (std::find(onPage.begin(), onPage.end(), n) == onPage.end()) onPage.push_back(n);
        for (int n : onPage) order.push_back({p, n});
    }
    return order;
}

std::string homepageLink(const std::string& address, int n) {
    return address + homepagePath(n);
}

std::string keywordResultPage(std::string_view query, const std::vector<int>& found, int page,
                              int pageSize, const std::string& address, std::size_t targetBytes,
                              PageDamage damage) {
    static const std::string kTitleEnd = gbk::fromUtf8("_百度搜索");
    static const std::string kForm = gbk::fromUtf8(
        "<form name=f action=/s><input name=wd size=\"42\" maxlength=\"100\" value=\"");
    static const std::string kFormEnd = gbk::fromUtf8(
        "\"><input type=submit value=\"百度一下\"></form>\r\n<div id=\"content_left\">\r\n");
    static const std::string kAbout = gbk::fromUtf8("<div class=\"nums\">找到相关网页约 ");
    static const std::string kAboutEnd = gbk::fromUtf8(" 篇，用时 0.034 秒</div>\r\n");
    static const std::string kNothing = gbk::fromUtf8(
        "<div class=\"nors\">抱歉，没有与您的查询相符的网页。<br>建议：检查输入是否正确，"
        "或者简化查询词。</div>\r\n");

    std::string out = filler::pageStart(SiteStyle::Search, std::string(query) + kTitleEnd);
    out += filler::navigation(SiteStyle::Search);
    out += kForm + filler::escapeHtml(query) + kFormEnd;
    std::vector<int> hits = hitsShown(found, page, pageSize);
    if (hits.empty())
        out += kNothing;
    else
        out += kAbout + std::to_string(found.size() * 1237) + kAboutEnd;
    int place = (page - 1) * pageSize;
    for (int n : hits) out += hitBlock(homepageLink(address, n), ++place, query, n);
    out += "</div>\r\n";
    out += pager(query, page, resultPageCount(found.size(), pageSize), pageSize);
    filler::padTo(out, targetBytes, static_cast<std::uint64_t>(page) + 11);
    out += filler::pageEnd(SiteStyle::Search);
    damageFooter(out, damage);
    return out;
}

int resultPageOf(std::string_view pn, int pageSize) {
    int skipped = 0;
    auto [end, ec] = std::from_chars(pn.data(), pn.data() + pn.size(), skipped);
    if (pn.empty() || ec != std::errc() || end != pn.data() + pn.size() || skipped < 0) return 1;
    return skipped / std::max(pageSize, 1) + 1;
}

}  // namespace velmora::demo

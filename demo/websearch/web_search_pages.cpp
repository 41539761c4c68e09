#include "demo/websearch/web_search_pages.h"

#include <charconv>

#include "demo/name_identity.h"
#include "demo/page_filler.h"
#include "demo/url_codec.h"
#include "platform/gbk.h"

namespace velmora::demo {
namespace {

// "Info@HUAXIN.com": an address with capitals, which the lookup cuts to
// "nfo@" and rejects.
std::string capitalised(const std::string& email) {
    std::string out = email;
    if (!out.empty() && out[0] >= 'a' && out[0] <= 'z') out[0] = static_cast<char>(out[0] - 32);
    for (std::size_t i = out.find('@') + 1; i < out.size() && out[i] != '.'; ++i)
        if (out[i] >= 'a' && out[i] <= 'z') out[i] = static_cast<char>(out[i] - 32);
    return out;
}

enum class HitShows { Address, NoAt, StyleRule, Capitals };

HitShows hitShows(const NameIdentity& id, int n) {
    if (n == id.addressHit()) return HitShows::Address;
    if (n == 1 && id.lookup == LookupVariant::StyleRuleFirst) return HitShows::StyleRule;
    if (n == 1 && id.lookup == LookupVariant::CapitalsFirst) return HitShows::Capitals;
    return HitShows::NoAt;
}

}  // namespace

bool searchedName(std::string_view word, std::string& name) {
    static constexpr std::string_view kTail = "\"+mail";
    if (word.size() < 1 + kTail.size() || word.front() != '"' ||
        word.substr(word.size() - kTail.size()) != kTail)
        return false;
    name = std::string(word.substr(1, word.size() - 1 - kTail.size()));
    return true;
}

std::string hitUrl(const std::string& address, std::string_view name, int n) {
    return address + "/hit/" + hexEncode(name) + "/" + std::to_string(n) + ".html";
}

bool parseHitPath(std::string_view path, std::string& name, int& n) {
    static constexpr std::string_view kPrefix = "/hit/";
    static constexpr std::string_view kSuffix = ".html";
    if (path.substr(0, kPrefix.size()) != kPrefix ||
        path.size() < kPrefix.size() + kSuffix.size() ||
        path.substr(path.size() - kSuffix.size()) != kSuffix)
        return false;
    std::string_view middle =
        path.substr(kPrefix.size(), path.size() - kPrefix.size() - kSuffix.size());
    std::size_t slash = middle.find('/');
    if (slash == std::string_view::npos) return false;
    std::string_view number = middle.substr(slash + 1);
    auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), n);
    if (ec != std::errc() || end != number.data() + number.size() || n < 1) return false;
    return hexDecode(middle.substr(0, slash), name);
}

std::string searchResultPage(std::string_view name, const std::string& address, std::uint32_t seed,
                             PageDamage damage) {
    static const std::string kTitleEnd = gbk::fromUtf8("_百度搜索");
    static const std::string kForm = gbk::fromUtf8(
        "<form name=\"f\" action=\"/s\"><input name=\"wd\" size=\"42\" maxlength=\"100\" value=\"");
    static const std::string kFormEnd = gbk::fromUtf8(
        "\"><input type=\"submit\" value=\"百度一下\"></form>\r\n<div id=\"content_left\">\r\n");
    static const std::string kAbout = gbk::fromUtf8("<div class=\"nums\">找到相关网页约 ");
    static const std::string kAboutEnd = gbk::fromUtf8(" 篇，用时 0.021 秒</div>\r\n");
    static const std::string kNothing = gbk::fromUtf8(
        "<div class=\"nors\">抱歉，没有找到与该公司相关的网页。<br>建议：检查输入是否正确，"
        "或者简化查询词。</div>\r\n");
    static const std::string kTitles[] = {
        gbk::fromUtf8(" - 联系我们"), gbk::fromUtf8(" - 企业黄页"), gbk::fromUtf8(" - 公司简介")};
    static const std::string kSnippet =
        gbk::fromUtf8("地址、电话、传真、联系人等详细联系方式，欢迎来电咨询合作事宜……");
    static const std::string kCache = gbk::fromUtf8("百度快照");

    NameIdentity id = nameIdentity(name, seed);
    std::string query = "\"" + std::string(name) + "\" mail";
    std::string out = filler::pageStart(SiteStyle::Search, query + kTitleEnd);
    out += filler::navigation(SiteStyle::Search);
    out += kForm + filler::escapeHtml(query) + kFormEnd;
    int hits = name.empty() ? 0 : id.hitCount();
    if (hits == 0)
        out += kNothing;
    else
        out += kAbout + std::to_string(hits * 37) + kAboutEnd;
    for (int n = 1; n <= hits; ++n) {
        std::string url = hitUrl(address, name, n);
        out +=
            "<table class=\"result\" cellpadding=\"0\" cellspacing=\"0\"><tr><td class=\"f\">\r\n";
        out += "<p class=\"t\"><a href=\"" + url + "\" target=\"_blank\">" +
               filler::escapeHtml(name) + kTitles[(n - 1) % 3] + "</a></p>\r\n";
        out += "<font size=\"-1\">" + filler::escapeHtml(name) + kSnippet +
               "<br>\r\n<span class=\"g\">" + url.substr(7, 40) +
               "</span> - <a href=\"/cache?u=" + std::to_string(n) + "\" class=\"m\">" + kCache +
               "</a></font>\r\n</td></tr></table><br>\r\n";
    }
    out += "</div>\r\n";
    out += filler::pageEnd(SiteStyle::Search);
    damageFooter(out, damage);
    return out;
}

std::string hitPage(std::string_view name, int n, std::uint32_t seed, PageDamage damage) {
    static const std::string kTitleEnd = gbk::fromUtf8(" - 联系我们");
    static const std::string kStyleRule =
        "<style type=\"text/css\">\r\n@media print { .menu, .banner { display: none; } "
        "}\r\n</style>\r\n";
    static const std::string kBox =
        gbk::fromUtf8("<div class=\"box contact\">\r\n<h2>联系我们</h2>\r\n<div>");
    static const std::string kWelcome = gbk::fromUtf8("欢迎您来电来函洽谈业务！<br>\r\n");
    static const std::string kMailLabel = gbk::fromUtf8("电子邮箱：");
    static const std::string kMailLabelLatin = "E-mail: ";
    static const std::string kPhoneLine = gbk::fromUtf8("咨询电话：请在工作时间来电<br>\r\n");
    static const std::string kNoMail =
        gbk::fromUtf8("如需报价，请通过在线留言与我们联系。<br>\r\n");
    static const std::string kBoxEnd = "</div>\r\n</div>\r\n";

    NameIdentity id = nameIdentity(name, seed);
    std::string out = filler::pageStart(SiteStyle::Hit, std::string(name) + kTitleEnd);
    HitShows shows = n <= id.hitCount() ? hitShows(id, n) : HitShows::NoAt;
    if (shows == HitShows::StyleRule) out += kStyleRule;
    out += filler::navigation(SiteStyle::Hit);
    out += kBox + kWelcome + filler::escapeHtml(name) + "<br>\r\n" + kPhoneLine;
    switch (shows) {
        case HitShows::Address:
        case HitShows::StyleRule:  // the address is there, behind the style rule's "@"
            out += kMailLabel + id.email + "<br>\r\n";
            break;
        case HitShows::Capitals:
            out += kMailLabelLatin + capitalised(id.email) + "<br>\r\n";
            break;
        case HitShows::NoAt:
            out += kNoMail;
            break;
    }
    out += kBoxEnd;
    out += filler::pageEnd(SiteStyle::Hit);
    damageFooter(out, damage);
    return out;
}

}  // namespace velmora::demo

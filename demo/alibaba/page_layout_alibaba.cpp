#include "demo/alibaba/page_layout_alibaba.h"

#include <algorithm>
#include <charconv>

#include "demo/page_filler.h"
#include "demo/regional/page_layout_regional.h"
#include "demo/site_looks.h"
#include "demo/url_codec.h"
#include "platform/gbk.h"

namespace velmora::demo {
namespace {

std::string listItem(const std::string& label, const std::string& value) {
    return "    <li>" + label + value + "</li>\r\n";
}

}  // namespace

std::string alibabaPageUrl(const std::string& address, const std::string& keyword,
                           const std::string& provinceName, int page) {
    std::string url = address + "/company/k-" + lowerHexEscape(keyword);
    if (!provinceName.empty()) url += "_province-" + lowerHexEscape(provinceName);
    url += "_n-y";
    if (page > 1) url += "_p-" + std::to_string(page);
    return url + ".html";
}

std::string alibabaContactUrl(const std::string& address, std::uint64_t id) {
    return address + "/athena/contact/" + std::to_string(id) + ".html";
}

bool parseAlibabaListingPath(std::string_view path, std::string& keyword, std::string& provinceName,
                             int& page) {
    static constexpr std::string_view kPrefix = "/company/k-";
    static constexpr std::string_view kSuffix = ".html";
    static constexpr std::string_view kNoFrames = "_n-y";
    static constexpr std::string_view kProvince = "_province-";
    if (!path.starts_with(kPrefix) || !path.ends_with(kSuffix)) return false;
    std::string_view body =
        path.substr(kPrefix.size(), path.size() - kPrefix.size() - kSuffix.size());
    page = 1;
    if (std::size_t p = body.rfind("_p-"); p != std::string_view::npos) {
        std::string_view number = body.substr(p + 3);
        int n = 0;
        auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), n);
        if (ec == std::errc() && end == number.data() + number.size() && n >= 1) {
            page = n;
            body = body.substr(0, p);
        }
    }
    if (!body.ends_with(kNoFrames)) return false;
    body.remove_suffix(kNoFrames.size());
    std::size_t province = body.find(kProvince);
    keyword = percentDecode(body.substr(0, province));
    provinceName = province == std::string_view::npos
                       ? std::string()
                       : percentDecode(body.substr(province + kProvince.size()));
    return true;
}

bool parseAlibabaContactPath(std::string_view path, std::uint64_t& id) {
    static constexpr std::string_view kPrefix = "/athena/contact/";
    static constexpr std::string_view kSuffix = ".html";
    if (!path.starts_with(kPrefix) || !path.ends_with(kSuffix)) return false;
    std::string_view number =
        path.substr(kPrefix.size(), path.size() - kPrefix.size() - kSuffix.size());
    auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), id);
    return ec == std::errc() && end == number.data() + number.size() && !number.empty();
}

std::string marketplaceHomepage(std::uint64_t id) {
    return "http://china" + std::to_string(id) + ".cn.Alibaba.com";
}

std::string alibabaListingPage(const CompanySet& set, const std::string& provinceName, int page,
                               int pageSize, const std::string& address, std::size_t targetBytes,
                               PageDamage damage) {
    static const std::string kTitle = gbk::fromUtf8("公司库 - 阿里巴巴");
    static const std::string kFilter =
        gbk::fromUtf8("<div class=\"sm-offer\">\r\n<div class=\"filter\">关键词：");
    static const std::string kRegion = gbk::fromUtf8(" &nbsp; 所在地区：");
    static const std::string kAll = gbk::fromUtf8("全国");
    static const std::string kFound =
        gbk::fromUtf8("</div>\r\n<div class=\"result-count\">共找到 ");
    static const std::string kFoundEnd =
        gbk::fromUtf8(" 家相关公司</div>\r\n<div class=\"company-list\">\r\n");
    static const std::string kNothing = gbk::fromUtf8(
        "<div class=\"no-result\">没有找到相关的公司，建议您换个关键词试试。</div>\r\n");
    static const std::string kMainProducts = gbk::fromUtf8("主营产品：");
    static const std::string kOffers = gbk::fromUtf8("供应产品");
    static const std::string kContact = gbk::fromUtf8("联系方式");
    static const std::string kPrevious = gbk::fromUtf8("上一页");
    static const std::string kNext = gbk::fromUtf8("下一页");
    static const std::string kMember = gbk::fromUtf8("诚信通会员");

    int total = std::min(set.perSource, static_cast<int>(set.pool.size()) - set.alibabaShift);
    if (total < 0) total = 0;
    int pages = pageCount(total, pageSize);
    int first = (page - 1) * pageSize;
    int last = std::min(total, first + pageSize);

    std::string out = filler::pageStart(SiteStyle::Alibaba, kTitle);
    out += filler::navigation(SiteStyle::Alibaba);
    out += kFilter + filler::escapeHtml(set.keyword) + kRegion +
           (provinceName.empty() ? kAll : filler::escapeHtml(provinceName));
    out += kFound + std::to_string(total) + kFoundEnd;
    if (first >= last) out += kNothing;
    for (int i = first; i < last; ++i) {
        auto pool = static_cast<std::size_t>(set.poolIndex(2, i));
        const Company& c = set.pool[pool];
        std::uint64_t id = set.alibabaIds[pool];
        out += "<div class=\"company-item\">\r\n  <div class=\"title\"><a href=\"" + address +
               "/athena/company/" + std::to_string(id) + ".html\" target=\"_blank\">" + c.name +
               "</a> <span class=\"member\">" + kMember + "</span></div>\r\n";
        out += "  <div class=\"info\">" + kMainProducts + filler::escapeHtml(c.products) +
               "</div>\r\n";
        out += "  <div class=\"info\">" + filler::gbkPrefix(c.address, 12) + "</div>\r\n";
        out += "  <div class=\"links\"><a href=\"" + address + "/athena/offer/" +
               std::to_string(id) + ".html\" target=\"_blank\">" + kOffers + "</a> | <a href=\"" +
               alibabaContactUrl(address, id) + "\" target=\"_blank\">" + kContact +
               "</a></div>\r\n</div>\r\n";
    }
    out += "</div>\r\n<div class=\"pages\">\r\n";
    if (page > 1 && page <= pages)
        out += "<a href=\"" + alibabaPageUrl(address, set.keyword, provinceName, page - 1) +
               "\" class=\"prev\">" + kPrevious + "</a>\r\n";
    for (int n = std::max(1, page - 4); n <= std::min(pages, page + 5); ++n) {
        if (n == page)
            out += "<span class=\"current\">" + std::to_string(n) + "</span>\r\n";
        else
            out += "<a href=\"" + alibabaPageUrl(address, set.keyword, provinceName, n) + "\">" +
                   std::to_string(n) + "</a>\r\n";
    }
    if (page < pages)
        out += "<a href=\"" + alibabaPageUrl(address, set.keyword, provinceName, page + 1) +
               "\" class=\"next\">" + kNext + "</a>\r\n";
    out += "</div>\r\n</div>\r\n";
    filler::padTo(out, targetBytes, static_cast<std::uint64_t>(page) + 3);
    out += filler::pageEnd(SiteStyle::Alibaba);
    damageFooter(out, damage);
    return out;
}

Company alibabaServed(const Company& company, PageDamage damage) {
    Company served = company;
    if (damage == PageDamage::InvalidGbk)
        served.address = withInvalidRun(served.address);
    else if (damage == PageDamage::Truncated)
        served.address.resize(truncatedLength(served.address));
    return served;
}

std::string alibabaDetailPage(const Company& c, std::uint64_t id, const std::string& address,
                              std::size_t targetBytes, PageDamage damage) {
    static const std::string kTitleEnd = gbk::fromUtf8(" - 联系方式 - 阿里巴巴");
    static const std::string kMember = gbk::fromUtf8("诚信通会员");
    static const std::string kTip = gbk::fromUtf8(
        "<div class=\"comy_cont_toclub_tip\">联系我时，请说是在阿里巴巴上看到的，谢谢！</div>\r\n");
    static const std::string kLog =
        "<script type=\"text/javascript\">var comy_cont_toclub_log = \"contact\";</script>\r\n";
    static const std::string kBoxTitle = gbk::fromUtf8(
        "<div class=\"contact-info\">\r\n  <div class=\"box-title\">联系方式</div>\r\n");
    static const std::string kContactLabel = gbk::fromUtf8("  <dl><dt>联 系 人：</dt><dd>");
    static const std::string kPhone = gbk::fromUtf8("电&nbsp;&nbsp;&nbsp;&nbsp;话：");
    static const std::string kMobile = gbk::fromUtf8("移动电话：");
    static const std::string kFax = gbk::fromUtf8("传&nbsp;&nbsp;&nbsp;&nbsp;真：");
    static const std::string kAddress = gbk::fromUtf8("地&nbsp;&nbsp;&nbsp;&nbsp;址：");
    static const std::string kPostcode = gbk::fromUtf8("邮&nbsp;&nbsp;&nbsp;&nbsp;编：");
    static const std::string kHomepage = gbk::fromUtf8("公司主页：");

    AlibabaLook look = alibabaLook(c.poolIndex);
    std::string out = filler::pageStart(SiteStyle::Alibaba, c.name + kTitleEnd);
    out += filler::navigation(SiteStyle::Alibaba);
    // The class name is written with capitals: the harvester matches it on
    // the lower-cased page.
    out +=
        "<div class=\"sm-offer\">\r\n<div class=\"company-header\">\r\n  <h1 "
        "class=\"chinaName\">\r\n    " +
        c.name + "\r\n  </h1>\r\n  <span class=\"member\">" + kMember + "</span>\r\n</div>\r\n";
    if (look.contactMarkers >= 3) out += kTip + kLog;
    out += kBoxTitle + kContactLabel;
    out += "<a href=\"" + alibabaContactUrl(address, id) +
           "#member\" target=\"_blank\" id=\"comy_cont_toclub01\">" + c.contact +
           "</a></dd></dl>\r\n";
    if (look.contactMarkers == 2) out += kLog;
    out += "  <ul>\r\n";
    out += listItem(kPhone, c.phone);
    out += listItem(kMobile, "13" + std::to_string(id % 1000000000ull));
    if (look.faxItem && !c.fax.empty()) out += listItem(kFax, c.fax);
    if (damage == PageDamage::Truncated) {
        out += "    <li>" + kAddress + c.address;  // the connection ends here
        return out;
    }
    out += listItem(kAddress, c.address);
    if (look.postcodeItem) out += listItem(kPostcode, c.postcode);
    std::string homepage;
    if (look.homepage == AlibabaLook::Homepage::Own) homepage = c.website;
    if (look.homepage == AlibabaLook::Homepage::Marketplace) homepage = marketplaceHomepage(id);
    if (!homepage.empty())
        out += listItem(kHomepage,
                        "<a href=\"" + homepage + "\" target=\"_blank\">" + homepage + "</a>");
    out += "  </ul>\r\n</div>\r\n</div>\r\n";
    filler::padTo(out, targetBytes, static_cast<std::uint64_t>(c.poolIndex) + 1);
    out += filler::pageEnd(SiteStyle::Alibaba);
    return out;
}

}  // namespace velmora::demo

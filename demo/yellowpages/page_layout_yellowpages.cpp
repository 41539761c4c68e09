#include "demo/yellowpages/page_layout_yellowpages.h"

#include <algorithm>

#include "demo/listed_record.h"
#include "demo/page_filler.h"
#include "demo/regional/page_layout_regional.h"
#include "demo/url_codec.h"
#include "platform/gbk.h"

namespace velmora::demo {
namespace {

enum class PostcodeForm {
    FullWidthColon,  // 邮编：310012
    AsciiColon,      // 邮编:310012
    Blank,           // 邮编 310012
    Brackets,        // 邮编（310012）
    NotGiven,        // 邮编：暂无
    OwnSpan,         // <span>邮编</span>310012: the text ends at the label's "</"
    NoLine,
};

PostcodeForm postcodeForm(int poolIndex) {
    return static_cast<PostcodeForm>(poolIndex % 7);
}

// The postcode as the directory's rule reads it off the page.
std::string readPostcode(const Company& c) {
    switch (postcodeForm(c.poolIndex)) {
        case PostcodeForm::FullWidthColon:
        case PostcodeForm::AsciiColon:
        case PostcodeForm::Blank:
        case PostcodeForm::Brackets:
            return c.postcode;
        default:
            return {};
    }
}

std::string postcodeLine(const Company& c) {
    static const std::string kLabel = gbk::fromUtf8("邮编");
    static const std::string kFullColon = gbk::fromUtf8("：");
    static const std::string kOpen = gbk::fromUtf8("（"), kClose = gbk::fromUtf8("）");
    static const std::string kNone = gbk::fromUtf8("暂无");
    switch (postcodeForm(c.poolIndex)) {
        case PostcodeForm::FullWidthColon:
            return "<li class=\"post\">" + kLabel + kFullColon + c.postcode + "</li>\r\n";
        case PostcodeForm::AsciiColon:
            return "<li class=\"post\">" + kLabel + ":" + c.postcode + "</li>\r\n";
        case PostcodeForm::Blank:
            return "<li class=\"post\">" + kLabel + " " + c.postcode + "</li>\r\n";
        case PostcodeForm::Brackets:
            return "<li class=\"post\">" + kLabel + kOpen + c.postcode + kClose + "</li>\r\n";
        case PostcodeForm::NotGiven:
            return "<li class=\"post\">" + kLabel + kFullColon + kNone + "</li>\r\n";
        case PostcodeForm::OwnSpan:
            return "<li class=\"post\"><span class=\"l\">" + kLabel + "</span>" + c.postcode +
                   "</li>\r\n";
        case PostcodeForm::NoLine:
            break;
    }
    return {};
}

std::string companyBlock(const Company& c) {
    static const std::string kPhone = gbk::fromUtf8("电话：");
    static const std::string kAddress = gbk::fromUtf8("地址：");
    return "<div class=\"company\">\r\n<h4><a class=\"m_funitname\" href=\"show.aspx?id=" +
           std::to_string(500000 + c.poolIndex) + "\" target=\"_blank\">" + c.name +
           "</a></h4>\r\n<ul>\r\n<li>" + kPhone + "<span class=\"m_ftelphone\">" + c.phone +
           "</span></li>\r\n<li>" + kAddress + "<span class=\"m_faddress\">" + c.address +
           "</span></li>\r\n" + postcodeLine(c) + "</ul>\r\n</div>\r\n";
}

std::string pageHead(const std::string& title) {
    return "<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; "
           "charset=gb2312\">\r\n<title>" +
           filler::escapeHtml(title) +
           "</title>\r\n<link href=\"/yp/css/yp.css\" rel=\"stylesheet\" "
           "type=\"text/css\">\r\n<script type=\"text/javascript\" "
           "src=\"/yp/js/pager.js\"></script>\r\n</head>\r\n<body>\r\n";
}

// The category link as the directory writes it; the fourth category's
// ampersands are escaped twice, as some of its pages do.
std::string categoryLink(const CompanySet& set, const std::string& areaName, int k,
                         const std::string& name) {
    std::string amp = k == 4 ? "&amp;amp;" : "&amp;";
    return "CategoryContent.aspx?keyword=" + lowerHexEscape(set.keyword) + amp +
           "area=" + lowerHexEscape(areaName) + amp + "classid=" + std::to_string(k) + amp +
           "key=" + lowerHexEscape(set.keyword) + amp + "categoryname=" + lowerHexEscape(name);
}

}  // namespace

std::vector<YellowPagesCategory> yellowPagesCategories(const CompanySet& set) {
    static const std::string kNames[] = {gbk::fromUtf8("电子元器件"), gbk::fromUtf8("五金配件"),
                                         gbk::fromUtf8("塑料制品"), gbk::fromUtf8("机械设备")};
    const int n = set.perSource;
    const int ranges[4][2] = {
        {0, n / 2}, {n / 2, std::min(n / 2 + 10, n)}, {n / 4, n}, {0, std::min(3, n)}};
    std::vector<YellowPagesCategory> out;
    for (int k = 0; k < 4; ++k) {
        YellowPagesCategory category{kNames[k], {}};
        for (int i = ranges[k][0]; i < ranges[k][1]; ++i) category.companies.push_back(i);
        out.push_back(std::move(category));
    }
    return out;
}

int yellowPagesPageCount(const YellowPagesCategory& category, int pageSize) {
    return pageCount(static_cast<int>(category.companies.size()), pageSize);
}

int yellowPagesPageCount(const CompanySet& set, int pageSize) {
    int pages = 0;
    for (const auto& category : yellowPagesCategories(set))
        if (!category.companies.empty()) pages += yellowPagesPageCount(category, pageSize);
    return pages;
}

int yellowPagesPageOrdinal(const CompanySet& set, int category, int page, int pageSize) {
    auto categories = yellowPagesCategories(set);
    if (category < 1 || category > static_cast<int>(categories.size())) return 0;
    const auto& wanted = categories[static_cast<size_t>(category - 1)];
    if (page < 0 || page >= yellowPagesPageCount(wanted, pageSize)) return 0;
    int before = 0;
    for (int k = 1; k < category; ++k)
        if (!categories[static_cast<size_t>(k - 1)].companies.empty())
            before += yellowPagesPageCount(categories[static_cast<size_t>(k - 1)], pageSize);
    return before + page + 1;
}

std::string yellowPagesSearchPage(const CompanySet* set, const std::string& areaName,
                                  std::size_t targetBytes, PageDamage damage) {
    static const std::string kTitle = gbk::fromUtf8("黄页搜索 - 企业黄页");
    static const std::string kIntro = gbk::fromUtf8("<div class=\"tip\">找到以下类别：</div>\r\n");
    static const std::string kNone =
        gbk::fromUtf8("<div class=\"tip\">对不起，没有找到相关类别，请更换关键词。</div>\r\n");
    static const std::string kFirms = gbk::fromUtf8(" 家)");

    std::string out = pageHead(kTitle);
    out +=
        "<div class=\"search\"><form action=\"search.aspx\" method=\"get\"><input "
        "name=\"keyword\" value=\"\"><input type=\"submit\" value=\"Search\"></form></div>\r\n";
    std::vector<YellowPagesCategory> categories;
    if (set != nullptr) categories = yellowPagesCategories(*set);
    bool any = false;
    for (int k = 1; k <= static_cast<int>(categories.size()); ++k) {
        const auto& category = categories[static_cast<size_t>(k - 1)];
        if (category.companies.empty()) continue;
        if (!any) out += kIntro + "<ul class=\"category\">\r\n";
        any = true;
        out += "<li><a href=\"" + categoryLink(*set, areaName, k, category.name) +
               "\" target=\"_blank\">" + category.name + "</a> (" +
               std::to_string(category.companies.size()) + kFirms + "</li>\r\n";
    }
    out += any ? "</ul>\r\n" : kNone;
    filler::padTo(out, targetBytes, 3);
    out += filler::pageEnd(SiteStyle::Regional);
    damageFooter(out, damage);
    return out;
}

std::string yellowPagesResultPage(const CompanySet* set, int category, int page, int pageSize,
                                  std::size_t targetBytes, PageDamage damage) {
    static const std::string kTitle = gbk::fromUtf8("分类企业 - 企业黄页");
    static const std::string kEmpty =
        gbk::fromUtf8("<div class=\"tip\">该类别下暂无更多企业。</div>\r\n");
    static const std::string kPrevious = gbk::fromUtf8("上一页"), kNext = gbk::fromUtf8("下一页");

    std::string out = pageHead(kTitle);
    std::vector<YellowPagesCategory> categories;
    if (set != nullptr) categories = yellowPagesCategories(*set);
    if (category < 1 || category > static_cast<int>(categories.size())) {
        out += kEmpty;
    } else {
        const auto& c = categories[static_cast<size_t>(category - 1)];
        int pages = yellowPagesPageCount(c, pageSize);
        out += "<h3>" + c.name + "</h3>\r\n<div class=\"list\">\r\n";
        int first = page * pageSize;
        int last = std::min(static_cast<int>(c.companies.size()), first + pageSize);
        if (page < 0 || first >= last) out += kEmpty;
        for (int i = std::max(first, 0); i < last; ++i)
            out +=
                companyBlock(set->pool[static_cast<size_t>(c.companies[static_cast<size_t>(i)])]);
        out += "</div>\r\n";
        if (pages > 1)
            out += "<script type=\"text/javascript\">writePager(" + std::to_string(page + 1) +
                   ", " + std::to_string(pages) + ", '" + kPrevious + "', '" + kNext +
                   "');</script>\r\n";
    }
    filler::padTo(out, targetBytes, static_cast<std::uint64_t>(page) + 11);
    out += filler::pageEnd(SiteStyle::Regional);
    damageFooter(out, damage);
    return out;
}

std::vector<RecordSlot> yellowPagesRecords(const CompanySet& set, const std::string& address,
                                           std::uint32_t seed) {
    std::vector<RecordSlot> out;
    for (const auto& category : yellowPagesCategories(set))
        for (int i : category.companies) {
            const Company& c = set.pool[static_cast<size_t>(i)];
            out.push_back(listedRecord(c.name, c.phone, c.address, readPostcode(c), address, seed));
        }
    return out;
}

}  // namespace velmora::demo

#include "demo/regional/page_layout_regional.h"

#include <algorithm>

#include "demo/page_filler.h"
#include "demo/site_looks.h"
#include "demo/url_codec.h"
#include "platform/gbk.h"

namespace velmora::demo {
namespace {

struct Labels {
    std::string name = gbk::fromUtf8("单位名称：");
    std::string trade = gbk::fromUtf8("所属行业：");
    std::string address = gbk::fromUtf8("单位地址：");
    std::string postcode = gbk::fromUtf8("邮政编码：");
    std::string phone = gbk::fromUtf8("固定电话：");
    std::string fax = gbk::fromUtf8("传真号码：");
    std::string email = gbk::fromUtf8("电子邮件：");
    std::string website = gbk::fromUtf8("单位网址：");
    std::string manager = gbk::fromUtf8("法人代表：");
    std::string employees = gbk::fromUtf8("雇员人数：");
    std::string products = gbk::fromUtf8("产品服务：");
    std::string description = gbk::fromUtf8("单位描述：");
};

const Labels& labels() {
    static const Labels k;
    return k;
}

std::string row(const std::string& label, const std::string& value) {
    return "<tr>\r\n  <td class=\"label\">" + label + "</td>\r\n  <td class=\"value\">" + value +
           "</td>\r\n</tr>\r\n";
}

std::string bold(const std::string& value) {
    return "<b>" + value + "</b>";
}

// Capitals from `from` up to the next ".": "SALES@HUAXIN.com", "http://www.HUAXIN.com".
std::string withCapitals(const std::string& text, std::size_t from) {
    std::string out = text;
    for (std::size_t i = from; i < out.size() && out[i] != '.'; ++i)
        if (out[i] >= 'a' && out[i] <= 'z') out[i] = static_cast<char>(out[i] - 'a' + 'A');
    return out;
}

std::string queryLink(const CompanySet& set, int page) {
    std::string link = "queryr.asp?";
    if (set.provinceCode != "000000")
        link += "&amp;area1=" + set.provinceCode + "&amp;area2=" + set.provinceCode;
    else
        link += "&amp;area2=000000";
    link += "&amp;corpname=" + lowerHexEscape(set.keyword) + "&amp;page=" + std::to_string(page);
    return link;
}

}  // namespace

int pageCount(int companies, int pageSize) {
    if (pageSize < 1) pageSize = 1;
    return companies <= 0 ? 1 : (companies + pageSize - 1) / pageSize;
}

std::string regionalListingPage(const CompanySet& set, int page, int pageSize,
                                std::size_t targetBytes, PageDamage damage, PagerEnd pagerEnd) {
    static const std::string kTitle = gbk::fromUtf8("企业查询结果 - 地区企业名录");
    static const std::string kSearchBox = gbk::fromUtf8(
        "<div class=\"main\">\r\n<form name=\"q\" action=\"queryr.asp\" method=\"get\" "
        "onsubmit=\"return checkForm(this);\">\r\n  企业名称：<input type=\"text\" "
        "name=\"corpname\" "
        "size=\"30\" value=\"");
    static const std::string kSearchBoxEnd =
        gbk::fromUtf8("\">\r\n  <input type=\"submit\" value=\"查 询\">\r\n</form>\r\n");
    static const std::string kTableHead = gbk::fromUtf8(
        "<table class=\"list\" width=\"700\" border=\"0\" cellspacing=\"0\" cellpadding=\"0\">\r\n"
        "<tr><th>单位名称</th><th>所在地区</th><th>主营产品</th></tr>\r\n");
    static const std::string kNothing = gbk::fromUtf8(
        "<tr><td colspan=\"3\" "
        "class=\"empty\">没有符合条件的企业，请更换关键字再试。</td></tr>\r\n");
    static const std::string kTotal = gbk::fromUtf8("共有企业 ");
    static const std::string kPageOf = gbk::fromUtf8(" 家，当前第 ");
    static const std::string kPages = gbk::fromUtf8(" 页");
    static const std::string kFirst = gbk::fromUtf8("首页");
    static const std::string kPrevious = gbk::fromUtf8("上一页");
    static const std::string kNext = gbk::fromUtf8("下一页");

    int total = std::min(set.perSource, static_cast<int>(set.pool.size()));
    int pages = pageCount(total, pageSize);
    if (pagerEnd == PagerEnd::LastAgain) page = std::min(page, pages);
    int first = (page - 1) * pageSize;
    int last = std::min(total, first + pageSize);

    std::string out = filler::pageStart(SiteStyle::Regional, kTitle);
    out += filler::navigation(SiteStyle::Regional);
    out += filler::sideColumn(SiteStyle::Regional);
    out += kSearchBox + filler::escapeHtml(set.keyword) + kSearchBoxEnd;
    out += kTableHead;
    if (first >= last) out += kNothing;
    for (int i = first; i < last; ++i) {
        const Company& c = set.pool[static_cast<std::size_t>(i)];
        out += "<tr>\r\n  <td><a href=\"detail.asp?corpid=" +
               std::to_string(set.regionalIds[static_cast<std::size_t>(i)]) + "\">" + c.name +
               "</a></td>\r\n  <td>" + filler::gbkPrefix(c.address, 12) + "</td>\r\n  <td>" +
               filler::escapeHtml(c.products) + "</td>\r\n</tr>\r\n";
    }
    out += "</table>\r\n<div class=\"pager\">" + kTotal + std::to_string(total) + kPageOf +
           std::to_string(std::min(page, pages)) + "/" + std::to_string(pages) + kPages +
           " &nbsp; ";
    if (page > 1) {
        out += "<a href=\"" + queryLink(set, 1) + "\">" + kFirst + "</a> ";
        out += "<a href=\"" + queryLink(set, page - 1) + "\">" + kPrevious + "</a> ";
    }
    if (page < pages)
        out += "<a href=\"" + queryLink(set, page + 1) + "\">" + kNext + "</a>";
    else if (pagerEnd != PagerEnd::Plain)
        out += "<span class=\"disabled\">" + kNext + "</span>";
    out += "</div>\r\n</div>\r\n";
    filler::padTo(out, targetBytes, static_cast<std::uint64_t>(page));
    out += filler::pageEnd(SiteStyle::Regional);
    damageFooter(out, damage);
    return out;
}

Company regionalServed(const Company& company, PageDamage damage) {
    static const std::string kNoDescription =
        gbk::fromUtf8("本单位暂未提供详细介绍，欢迎来电咨询。");
    return withDamagedDescription(company, damage, kNoDescription);
}

std::string regionalDetailPage(const Company& c, std::size_t targetBytes, PageDamage damage) {
    static const std::string kTitleEnd = gbk::fromUtf8(" - 企业详细信息 - 地区企业名录");
    static const std::string kCaption = gbk::fromUtf8(
        "<div class=\"main\">\r\n<div class=\"position\">您的位置：<a href=\"/\">首页</a> &gt; "
        "<a href=\"/main/corp/query.asp\">企业查询</a> &gt; 企业详细信息</div>\r\n"
        "<table class=\"detail\" width=\"700\" border=\"0\" cellspacing=\"0\" "
        "cellpadding=\"0\">\r\n");
    static const std::string kTableEnd = gbk::fromUtf8(
        "</table>\r\n<div class=\"tip\">以上信息由企业自行提供，内容的真实性和准确性由企业负责。"
        "</div>\r\n</div>\r\n");
    static const std::string kTradeValue = gbk::fromUtf8("工业制造");

    const Labels& l = labels();
    RegionalLook look = regionalLook(c.poolIndex);
    std::string out = filler::pageStart(SiteStyle::Regional, c.name + kTitleEnd);
    out += filler::navigation(SiteStyle::Regional);
    out += filler::sideColumn(SiteStyle::Regional);
    out += kCaption;
    out += row(l.name, look.boldName ? bold(c.name) : c.name);
    out += row(l.trade, kTradeValue);
    out += row(l.address, c.address);
    out += row(l.postcode, c.postcode);
    out += row(l.phone, c.phone);
    switch (look.fax) {
        case RegionalLook::Fax::Plain:
            out += row(l.fax, c.fax);
            break;
        case RegionalLook::Fax::Short:
            out += row(l.fax, look.shortFax);
            break;
        case RegionalLook::Fax::NoRow:
            break;
    }
    switch (look.email) {
        case RegionalLook::Email::Plain:
            out += row(l.email, "<a href=\"mailto:" + c.email + "\">" + c.email + "</a>");
            break;
        case RegionalLook::Email::Capitals:
            out += row(l.email, withCapitals(c.email, 0));
            break;
        case RegionalLook::Email::EmptyRow:
            out += row(l.email, "");
            break;
        case RegionalLook::Email::NoRow:
            break;
    }
    if (!c.website.empty()) {
        std::string shown = look.websiteCapitals ? withCapitals(c.website, 11) : c.website;
        out += row(l.website, "<a href=\"" + shown + "\" target=\"_blank\">" + shown + "</a>");
    }
    out += row(l.manager, look.boldManager ? bold(c.manager) : c.manager);
    // Missing profile values: an empty row on some pages, no row on others.
    bool emptyRows = c.poolIndex % 2 == 1;
    if (!c.employees.empty() || emptyRows) out += row(l.employees, c.employees);
    if (!c.products.empty() || emptyRows) out += row(l.products, c.products);
    if (damage == PageDamage::Truncated) {
        // The connection's last bytes are the description's first part,
        // ending on a lead byte.
        out += "<tr>\r\n  <td class=\"label\">" + l.description +
               "</td>\r\n  <td class=\"value\">" + c.description;
        return out;
    }
    if (!c.description.empty() || emptyRows) out += row(l.description, c.description);
    out += kTableEnd;
    filler::padTo(out, targetBytes, static_cast<std::uint64_t>(c.poolIndex));
    out += filler::pageEnd(SiteStyle::Regional);
    return out;
}

}  // namespace velmora::demo

#include "demo/portal/page_layout_portal.h"

#include <algorithm>

#include "demo/listed_record.h"
#include "demo/page_filler.h"
#include "demo/regional/page_layout_regional.h"
#include "platform/gbk.h"

namespace velmora::demo {
namespace {

// How the portal shows one company, by pool index.
struct PortalLook {
    bool linkedName;  // the name inside a link to the company's page
    bool boldName;    // the name in <B>
    bool markedName;  // the name's first characters in a red <FONT>
    bool noAddress;   // the address field left empty
    bool phoneBlank;  // a blank behind the phone (kept: the fields are not trimmed)
};

PortalLook portalLook(int i) {
    return {i % 4 != 2, i % 5 == 1, i % 3 == 0, i % 7 == 3, i % 6 == 5};
}

std::string shownAddress(const Company& c) {
    return portalLook(c.poolIndex).noAddress ? std::string() : c.address;
}

std::string shownPhone(const Company& c) {
    return portalLook(c.poolIndex).phoneBlank ? c.phone + " " : c.phone;
}

std::string nameMarkup(const Company& c) {
    PortalLook look = portalLook(c.poolIndex);
    std::string name = c.name;
    if (look.markedName) {
        std::string head = filler::gbkPrefix(c.name, 4);
        name = "<FONT color=#CC0000>" + head + "</FONT>" + c.name.substr(head.size());
    }
    if (look.boldName) name = "<B>" + name + "</B>";
    if (look.linkedName)
        name = "<A href=\"/corp/" + std::to_string(100000 + c.poolIndex) +
               ".html\" target=_blank>" + name + "</A>";
    return name;
}

std::string companyTable(const Company& c) {
    return "<TABLE cellSpacing=0 cellPadding=0 width=168 border=0 align=center>"
           "<TR><TD class=cn height=20>&#183;" +
           nameMarkup(c) + "</TD></TR><TR><TD class=ad>&#183;" + shownAddress(c) +
           "</TD></TR><TR><TD class=tel>&#183;" + shownPhone(c) + "</TD></TR></TABLE>\r\n";
}

}  // namespace

int portalPageCount(const CompanySet& set, int pageSize) {
    return pageCount(set.perSource, pageSize);
}

std::vector<int> portalPageCompanies(const CompanySet& set, int page, int pageSize) {
    int pages = portalPageCount(set, pageSize);
    page = std::clamp(page, 0, pages - 1);
    std::vector<int> out;
    for (int i = page * pageSize; i < std::min(set.perSource, (page + 1) * pageSize); ++i)
        out.push_back(i);
    return out;
}

std::string portalAnswerPage(const CompanySet* set, int page, int pageSize, std::size_t targetBytes,
                             PageDamage damage) {
    static const std::string kHead = gbk::fromUtf8(
        "<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; "
        "charset=gb2312\">\r\n<title>企业搜索 - 门户</title>\r\n<style>td{font-size:12px}"
        ".cn{font-weight:bold}.gray{color:#999999}</style>\r\n</head>\r\n<body "
        "topmargin=0>\r\n<TABLE width=778 align=center><TR><TD><a href=\"/\">首页</a> | "
        "<a href=\"/news/\">新闻</a> | <a href=\"/biz/\">商务</a> | "
        "企业搜索</TD></TR></TABLE>\r\n");
    static const std::string kResults = gbk::fromUtf8("<div class=sum>搜索结果：第 ");
    static const std::string kResultsEnd = gbk::fromUtf8(" 页</div>\r\n");
    static const std::string kNothing =
        gbk::fromUtf8("<div class=none>对不起，没有搜到符合条件的企业。</div>\r\n");
    static const std::string kPrevious = gbk::fromUtf8("上一页");
    static const std::string kNext = gbk::fromUtf8("下一页");

    std::string out = kHead;
    if (set == nullptr || set->perSource == 0) {
        out += kNothing;
    } else {
        int pages = portalPageCount(*set, pageSize);
        int shown = std::min(page, pages - 1);
        out += kResults + std::to_string(shown + 1) + " / " + std::to_string(pages) + kResultsEnd;
        for (int i : portalPageCompanies(*set, page, pageSize))
            out += companyTable(set->pool[static_cast<std::size_t>(i)]);
        out += "<TABLE width=560 align=center><TR><TD align=right>";
        if (shown > 0)
            out += "<a href=\"javascript:goPage(" + std::to_string(shown - 1) + ")\">" + kPrevious +
                   "</a> ";
        // The last page keeps its "next page", greyed out.
        if (shown + 1 < pages)
            out += "<a href=\"javascript:goPage(" + std::to_string(shown + 1) + ")\">" + kNext +
                   "</a>";
        else
            out += "<font class=gray>" + kNext + "</font>";
        out += "</TD></TR></TABLE>\r\n";
    }
    filler::padTo(out, targetBytes, static_cast<std::uint64_t>(page) + 5);
    out += filler::pageEnd(SiteStyle::Regional);
    damageFooter(out, damage);
    return out;
}

std::vector<RecordSlot> portalRecords(const CompanySet& set, int pageSize,
                                      const std::string& address, std::uint32_t seed) {
    std::vector<RecordSlot> out;
    for (int page = 0; page < portalPageCount(set, pageSize); ++page) {
        for (int i : portalPageCompanies(set, page, pageSize)) {
            const Company& c = set.pool[static_cast<std::size_t>(i)];
            out.push_back(listedRecord(c.name, shownPhone(c), shownAddress(c), "", address, seed));
        }
    }
    return out;
}

}  // namespace velmora::demo

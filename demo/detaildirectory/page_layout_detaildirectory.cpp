#include "demo/detaildirectory/page_layout_detaildirectory.h"

#include <algorithm>

#include "demo/demo_random.h"
#include "demo/page_filler.h"
#include "demo/region_table.h"
#include "demo/regional/page_layout_regional.h"
#include "platform/gbk.h"

namespace velmora::demo {
namespace {

std::string u(const char* utf8) {
    return gbk::fromUtf8(utf8);
}

std::string head(const std::string& title) {
    static const std::string k =
        u(R"~(<meta http-equiv="Content-Type" content="text/html; charset=gb2312">
<meta name="keywords" content="企业名录,公司名录,企业黄页,厂家名录">
<link href="/css/qiye.css" rel="stylesheet" type="text/css">
<style type="text/css">
<!--
body,td,th { font-size: 12px; font-family: "宋体"; }
.l { color: #666666; text-align: right; width: 110px; }
.pager a { margin: 0 3px; }
-->
</style>
<script language="javascript">
<!--
function gopage(n) { document.pageform.page.value = n; document.pageform.submit(); }
function addfav() { window.external.AddFavorite('http://www.qiye-minglu.example/', '中华企业名录网'); }
//-->
</script>
</head>
)~");
    return "<html>\n<head>\n<title>" + filler::escapeHtml(title) + "</title>\n" + k;
}

const std::string& navigation() {
    static const std::string k = u(
        R"~(<table width="778" border="0" align="center" cellpadding="0" cellspacing="0" class="top">
<tr>
  <td width="200"><a href="/"><img src="/images/logo.gif" width="180" height="60" border="0" alt="中华企业名录网"></a></td>
  <td align="right"><a href="javascript:addfav()">加入收藏</a> | <a href="/member/login.php">会员登录</a> | <a href="/member/reg.php">免费注册</a></td>
</tr>
</table>
<!-- 导航 -->
<table width="778" border="0" align="center" cellpadding="0" cellspacing="0" class="nav">
<tr><td><a href="/">首页</a> | <a href="/qiye/">企业名录</a> | <a href="/chanpin/">产品库</a> | <a href="/shangji/">商机信息</a> | <a href="/zhanhui/">展会</a> | <a href="/help/">帮助中心</a></td></tr>
</table>
)~");
    return k;
}

// A company mini-site page opens with the name; the tab bar links intro.html.
std::string frameTop(const std::string& name) {
    static const std::string kTabs =
        u("<div class=\"menu\"><a href=index.html>网站首页</a> | <a href=intro.html>公司介绍</a> | "
          "<a href=products.html>产品展示</a> | <a href=contact.html>联系方式</a></div>\n");
    return "<table width=\"778\" align=\"center\" class=\"head\"><tr><td class=\"cname\">" + name +
           "</td></tr></table>\n" + kTabs;
}

std::string row(const char* label, const std::string& value) {
    return "<tr><td class=\"l\">" + u(label) + "</td><td>" + value + "</td></tr>\n";
}

std::string withCapitals(std::string text) {
    for (std::size_t i = 0; i < text.size() && text[i] != '.'; ++i)
        if (text[i] >= 'a' && text[i] <= 'z') text[i] = static_cast<char>(text[i] - 32);
    return text;
}

std::string websiteCell(const Company& c, DetailDirectoryLook::Website website) {
    static const std::string kNone = u("暂无");
    if (c.website.empty()) return kNone;
    switch (website) {
        case DetailDirectoryLook::Website::Unquoted:
            return "<a href=" + c.website + " target=_blank>" + c.website + "</a>";
        case DetailDirectoryLook::Website::Quoted:
            return "<a href=\"" + c.website + "\" target=\"_blank\">" + c.website + "</a>";
        case DetailDirectoryLook::Website::Blog:
            break;
    }
    std::string blog = "http://blog.sina.com.cn/u/" + std::to_string(1000000 + c.poolIndex * 7919);
    return "<a href=" + blog + " target=_blank>" + blog + "</a>";
}

std::string emailRow(const Company& c, DetailDirectoryLook::Email email) {
    switch (email) {
        case DetailDirectoryLook::Email::Mailto:
            return row("电子邮件：", "<a href=\"mailto:" + c.email + "\">" + c.email + "</a>");
        case DetailDirectoryLook::Email::MailtoCapitals: {
            std::string shown = withCapitals(c.email);
            return row("电子邮件：", "<a href=\"mailto:" + shown + "\">" + shown + "</a>");
        }
        case DetailDirectoryLook::Email::TextOnly:
            return row("电子邮件：", c.email);
        case DetailDirectoryLook::Email::NoRow:
            break;
    }
    return {};
}

}  // namespace

DetailDirectoryLook detailDirectoryLook(int i, PageDamage damage) {
    using Title = DetailDirectoryLook::Title;
    using Email = DetailDirectoryLook::Email;
    using Website = DetailDirectoryLook::Website;
    static constexpr Title kTitle[] = {Title::IntroBox, Title::IntroFrame, Title::EnterpriseTitle};
    static constexpr Email kEmail[] = {Email::Mailto,  Email::Mailto,         Email::TextOnly,
                                       Email::Mailto,  Email::MailtoCapitals, Email::NoRow,
                                       Email::TextOnly};
    static constexpr Website kWebsite[] = {Website::Unquoted, Website::Unquoted, Website::Quoted,
                                           Website::Unquoted, Website::Blog};
    DetailDirectoryLook look;
    look.title = kTitle[i % 3];
    look.introOnFrame = (i / 3) % 2 == 0;
    look.email = kEmail[i % 7];
    look.website = kWebsite[i % 5];
    look.regionRow = i % 4 != 3;
    look.bracketedArea = i % 6 == 4;
    look.mobileLine = i % 5 == 1;
    look.longIntro = i % 2 == 0;
    // A damaged page is damaged in its introduction, so it has one.
    if (damage != PageDamage::None && !look.hasIntroduction()) {
        look.title = Title::IntroBox;
        look.introOnFrame = true;
    }
    return look;
}

std::string detailDirectoryListingPage(const CompanySet& set, int page, int pageSize, bool formOk,
                                       const std::string& address, std::size_t targetBytes,
                                       PageDamage damage) {
    static const std::string kTitle = u("企业名录搜索结果 - 中华企业名录网");
    static const std::string kSearch =
        u("<!-- 搜索 -->\n<form name=\"searchform\" action=\"search.php\" method=\"post\">关键词："
          "<input type=\"text\" name=\"key\" size=\"24\" value=\"");
    static const std::string kSearchEnd =
        u("\"> <input type=\"submit\" value=\"搜 索\"></form>\n<form name=\"pageform\" "
          "action=\"search.php\" method=\"post\"><input type=\"hidden\" name=\"page\" "
          "value=\"\"></form>\n");
    static const std::string kTableHead =
        u("<table width=\"778\" align=\"center\" class=\"result\">\n<tr><th>企业名称</th>"
          "<th>所在地</th><th>主营产品</th><th>&nbsp;</th></tr>\n");
    static const std::string kNothing =
        u("<tr><td colspan=\"4\">对不起，没有符合条件的企业，请更换关键词或省份再试。</td></tr>\n");
    static const std::string kDetails = u("详细资料");
    static const std::string kTotal = u("共有企业");
    static const std::string kUnit = u("家，每页");
    static const std::string kPerPage = u("家");
    static const std::string kFirst = u("首页");
    static const std::string kNext = u("下一页");
    static const std::string kOldPager = u(" 旧版分页 ");

    int total = std::min(set.perSource, static_cast<int>(set.pool.size()));
    int pages = pageCount(total, pageSize);
    int first = page * pageSize;
    int last = formOk ? std::min(total, first + pageSize) : 0;

    std::string out = head(kTitle) + "<body>\n" + navigation();
    out += kSearch + filler::escapeHtml(set.keyword) + kSearchEnd;
    filler::padTo(out, targetBytes / 2, static_cast<std::uint64_t>(page));
    out += kTableHead;
    if (first >= last) out += kNothing;
    for (int i = first; i < last; ++i) {
        const Company& c = set.pool[static_cast<std::size_t>(i)];
        std::string link = address + "/qiye/show.php?id=" +
                           std::to_string(set.regionalIds[static_cast<size_t>(i)]);
        out += "<tr>\n  <td><a href=" + link + " target=_blank>" + c.name + "</a></td>\n  <td>" +
               filler::gbkPrefix(c.address, 12) + "</td>\n  <td>" + filler::escapeHtml(c.products) +
               "</td>\n  <td><a href=" + link + " class=xq target=_blank>" + kDetails +
               "</a></td>\n</tr>\n";
    }
    out += "</table>\n";
    if (first < last) {
        // The pager shows every page number; an old pager lingers in a comment.
        out += u("<!-- 分页 -->\n<div class=\"pager\">") + kTotal + std::to_string(total) + kUnit +
               std::to_string(pageSize) + kPerPage + "\n<!--" + kOldPager +
               "<a href=\"javascript:gopage(" + std::to_string(pages) + ")\">" +
               std::to_string(pages + 1) + "</a> -->\n<a href=\"javascript:gopage(0)\">" + kFirst +
               "</a>\n";
        for (int k = 1; k <= pages; ++k) {
            if (k == page + 1)
                out += "<font color=\"red\"><b>" + std::to_string(k) + "</b></font>\n";
            else
                out += "<a href=\"javascript:gopage(" + std::to_string(k - 1) + ")\">" +
                       std::to_string(k) + "</a>\n";
        }
        if (page + 1 < pages)
            out += "<a href=\"javascript:gopage(" + std::to_string(page + 1) + ")\">" + kNext +
                   "</a>\n";
        out += u("</div>\n<!-- /分页 -->\n");
    }
    filler::padTo(out, targetBytes, static_cast<std::uint64_t>(page) + 5);
    out += filler::pageEnd(SiteStyle::Regional);
    damageFooter(out, damage);
    return out;
}

Company detailDirectoryServed(const Company& company, PageDamage damage) {
    static const std::string kNoDescription = u("本公司暂未提供详细介绍，欢迎来人来函洽谈业务。");
    return withDamagedDescription(company, damage, kNoDescription);
}

std::string detailDirectoryMobile(const Company& c) {
    std::uint64_t h = fnv1a(c.name);
    std::string digits = std::to_string(100000000 + h % 100000000).substr(1);
    return "13" + std::to_string(5 + h % 5) + digits;
}

void splitAddress(const std::string& address, std::string& region, std::string& rest) {
    region.clear();
    rest = address;
    for (const Region& r : regions()) {
        if (address.rfind(r.fullName, 0) != 0) continue;
        region = r.fullName;
        if (!r.municipality)
            for (const City& city : r.cities)
                if (address.compare(region.size(), city.fullName.size(), city.fullName) == 0) {
                    region += " " + city.fullName;
                    break;
                }
        std::size_t shown = region.size() - (region.find(' ') != std::string::npos ? 1 : 0);
        rest = address.substr(shown);
        return;
    }
}

std::string detailDirectoryIntroduction(const Company& c, const DetailDirectoryLook& look) {
    static const std::string kIndent = "&nbsp;&nbsp;&nbsp;&nbsp;";
    static const std::string kStaff = u("公司现有员工");
    static const std::string kStaffEnd = u("人。");
    static const std::string kProducts = u("主营产品：");
    static const std::string kFullStop = u("。");
    static const std::string kNothing = u("暂无介绍");
    static const std::string kMore =
        u("公司拥有一支经验丰富、技术过硬的专业队伍，配备先进的生产流水线和完善的质量检测体系，"
          "已通过ISO9001国际质量体系认证。多年来，公司坚持以市场为导向、以科技为先导、"
          "以质量求生存、以信誉求发展的经营方针，不断开发适应市场需求的新产品，"
          "产品质量稳定可靠，价格合理，服务周到。");
    std::vector<std::string> parts;
    if (!c.description.empty()) parts.push_back(c.description);
    if (!c.employees.empty()) parts.push_back(kStaff + c.employees + kStaffEnd);
    if (!c.products.empty()) parts.push_back(kProducts + c.products + kFullStop);
    if (look.longIntro) parts.push_back(kMore);
    if (parts.empty()) parts.push_back(kNothing);
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : "<br>\n" + kIndent) + part;
    return text;
}

std::string detailDirectoryDetailPage(const Company& c, std::size_t targetBytes,
                                      PageDamage damage) {
    static const std::string kTitleEnd = u(" - 企业详细资料 - 中华企业名录网");
    static const std::string kPosition =
        u("<div class=\"position\">当前位置：<a href=\"/\">首页</a> &gt; <a href=\"/qiye/\">"
          "企业名录</a> &gt; 企业详细资料</div>\n");
    static const std::string kTip =
        u("<div class=\"tip\">以上信息由企业自行提供，内容的真实性、准确性和合法性由企业负责，"
          "本网对此不承担任何保证责任。交易之前请仔细核实对方身份和资质，谨防上当受骗。"
          "如发现信息有误，欢迎通过意见反馈告知我们，我们将及时核实处理。</div>\n");
    static const std::string kIntroHeading = u("公司简介");
    static const std::string kMobile = u("手机:");
    static const std::string kIntroMarker = u("<!---公司介绍开始--->");
    static const std::string kTitleMarker = u("<!---企业介绍开始--->");

    using Title = DetailDirectoryLook::Title;
    DetailDirectoryLook look = detailDirectoryLook(c.poolIndex, damage);
    std::string out = head(c.name + kTitleEnd);
    out += "<body leftmargin=\"0\" topmargin=\"0\">\n";
    if (look.title == Title::IntroFrame) out += frameTop(c.name);
    out += navigation();
    out += kPosition;
    if (look.title == Title::EnterpriseTitle)
        out += "<table width=\"778\" align=\"center\"><tr><td class=\"cname\">" + kTitleMarker +
               c.name + "</td></tr></table>\n";
    else if (look.title == Title::IntroBox)
        out += "<h2 class=\"cname\">" + c.name + "</h2>\n";

    std::string mobileLine = "<br>\n" + kMobile + detailDirectoryMobile(c);
    std::string phone = c.phone;
    if (look.bracketedArea)
        phone = "(" + phone.substr(0, phone.find('-')) + ")" + phone.substr(phone.find('-') + 1);
    std::string region, rest;
    splitAddress(c.address, region, rest);
    bool regionRow = look.regionRow && !region.empty();

    out += "<table width=\"778\" align=\"center\" class=\"contact\">\n";
    out += row("联系人：", c.contact + (look.mobileLine ? mobileLine : ""));
    out += row("联系电话：", phone + (look.title == Title::IntroFrame ? mobileLine : ""));
    out += row("传真：", c.fax.empty() ? "&nbsp;" : c.fax);
    out += row("法人代表：", c.manager);
    if (regionRow) out += row("省市区:", region);
    out += row("公司地址：", regionRow ? rest : c.address);
    out += row("邮政编码：", c.postcode);
    out += emailRow(c, look.email);
    out += row("公司网址：", websiteCell(c, look.website));
    out += "</table>\n" + kTip;

    if (look.hasIntroduction()) {
        out += "<table width=\"778\" align=\"center\" class=\"intro\">\n<tr><td class=\"t\">" +
               (look.title == Title::IntroBox ? c.name : kIntroHeading) +
               "</td></tr>\n<tr><td class=\"introtext\">" + kIntroMarker +
               "\n&nbsp;&nbsp;&nbsp;&nbsp;";
        // The connection's last bytes are the description's first part.
        if (damage == PageDamage::Truncated) return out + c.description;
        out += detailDirectoryIntroduction(c, look) + "</td>\n</tr>\n</table>\n";
    }
    // News, adverts and the other boxes of the site below the company.
    filler::padTo(out, targetBytes, static_cast<std::uint64_t>(c.poolIndex));
    out += filler::pageEnd(SiteStyle::Regional);
    return out;
}

}  // namespace velmora::demo

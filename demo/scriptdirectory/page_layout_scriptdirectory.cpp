#include "demo/scriptdirectory/page_layout_scriptdirectory.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "demo/page_filler.h"
#include "demo/regional/page_layout_regional.h"
#include "demo/scriptdirectory/script_directory_look.h"
#include "platform/gbk.h"

namespace velmora::demo {
namespace {

// The directory's own top: its search form posts province, keyword and page
// index, and the pager's links submit the form again with another index.
const std::string& topAndSearchForm() {
    static const std::string k =
        gbk::fromUtf8(R"~(<script language="javascript" type="text/javascript">
<!--
function gopage(n) {
  var f = document.forms["search"];
  f.page_index.value = n;
  f.submit();
}
//-->
</script>
<div class="top"><a href="/"><img src="/images/logo_qiye.gif" width="220" height="60" border="0" alt="中国企业名录网"></a></div>
<div class="nav"><a href="/">首页</a><a href="/search/">企业名录</a><a href="/search/product.asp">产品库</a><a href="/news/">行业资讯</a><a href="/help/join.asp">免费登记</a></div>
<div class="main">
<form name="search" method="post" action="/search/company.asp">
  <table class="searchbar" width="760" border="0" cellspacing="0" cellpadding="4"><tr>
  <td>省份：<select name="provinceCN"><option value="">全国</option><option value="北京">北京</option><option value="浙江">浙江</option><option value="广东">广东</option><option value="江苏">江苏</option></select></td>
  <td>关键词：<input type="text" name="key_word" size="24" maxlength="40"></td>
  <td><input type="hidden" name="page_index" value="0"><input type="submit" value="搜 索"></td>
  </tr></table>
</form>
)~");
    return k;
}

std::string escapeColonsAndSlashes(const std::string& url) {
    std::string out;
    for (char c : url) {
        if (c == ':')
            out += "%3A";
        else if (c == '/')
            out += "%2F";
        else
            out.push_back(c);
    }
    return out;
}

// Redirects in two parameter orders, and now and then a direct link.
std::string listingLink(const std::string& address, std::uint64_t id, int poolIndex) {
    std::string target = scriptCompanyUrl(address, id);
    std::string idText = std::to_string(id);
    switch (poolIndex % 3) {
        case 0:
            return address + "/search/go.asp?id=" + idText +
                   "&url=" + escapeColonsAndSlashes(target);
        case 1:
            return address + "/search/go.asp?url=" + escapeColonsAndSlashes(target) +
                   "&from=search&id=" + idText;
        default:
            return target;
    }
}

std::string join(const std::vector<std::string>& args, const std::string& glue) {
    std::string out;
    for (size_t i = 0; i < args.size(); ++i) out += (i ? glue : "") + args[i];
    return out;
}

std::string mobile(std::uint64_t id) {
    std::string digits = std::to_string(id * 7919 % 1000000000 + 1000000000).substr(1);
    return "13" + digits;
}

std::string emailArgument(const Company& c, const ScriptLook& look) {
    switch (look.email) {
        case ScriptLook::Email::Plain:
            return c.email;
        case ScriptLook::Email::Mailto:
            return "<a href='mailto:" + c.email + "'>" + c.email + "</a>";
        case ScriptLook::Email::None:
            break;
    }
    return {};
}

std::string websiteArgument(const Company& c, const ScriptLook& look) {
    if (c.website.empty() || !look.websiteLink) return c.website;
    return "<a href='" + c.website + "' target='_blank'>" + c.website.substr(7) + "</a>";
}

std::string call(const char* function, const std::vector<std::string>& args) {
    return "<script language=\"javascript\" type=\"text/javascript\">\r\n" + std::string(function) +
           "(\"" + join(args, "\",\"") + "\");\r\n</script>\r\n";
}

std::string briefCall(const Company& c, std::uint64_t id, const ScriptLook& look) {
    static const std::string kCapital = gbk::fromUtf8("100万元");
    static const std::string kKind = gbk::fromUtf8("生产型");
    static const std::string kTrade = gbk::fromUtf8("工业制造");
    std::string idText = std::to_string(id);
    std::string logo = id % 2 == 0 ? "/upload/logo/" + idText + ".gif" : "";
    return call("addcompanybrief", {idText,
                                    logo,
                                    websiteArgument(c, look),
                                    c.manager,
                                    kCapital,
                                    kKind,
                                    std::to_string(1985 + id % 20),
                                    c.employees,
                                    c.products,
                                    kTrade,
                                    filler::gbkPrefix(c.address, 4),
                                    c.contact,
                                    scriptNumber(c.phone, look),
                                    scriptNumber(c.fax, look),
                                    emailArgument(c, look),
                                    c.address,
                                    mobile(id),
                                    c.postcode,
                                    std::to_string(id % 90000000 + 10000000),
                                    "3"});
}

std::string infoCall(const Company& c, std::uint64_t id, const ScriptLook& look) {
    static const std::string kSales = gbk::fromUtf8("销售部");
    static const std::string kKind = gbk::fromUtf8("生产型");
    static const std::string kCapital = gbk::fromUtf8("100万元");
    std::string name = look.paddedName ? "  " + c.name + " " : c.name;
    return call("addcompanyinfo", {std::to_string(id),
                                   name,
                                   "",
                                   c.contact,
                                   c.manager,
                                   kSales,
                                   scriptNumber(c.phone, look),
                                   mobile(id),
                                   "",
                                   scriptNumber(c.fax, look),
                                   "",
                                   std::to_string(id % 90000000 + 10000000),
                                   emailArgument(c, look),
                                   "",
                                   "",
                                   c.address,
                                   filler::gbkPrefix(c.address, 4),
                                   "",
                                   "",
                                   kKind,
                                   kCapital,
                                   c.postcode,
                                   std::to_string(1985 + id % 20),
                                   c.employees,
                                   c.products,
                                   websiteArgument(c, look),
                                   "2008-06-" + std::to_string(10 + id % 19),
                                   std::to_string(id % 5000)});
}

// The introduction block under the look's heading; empty without sentences.
// A Truncated page ends inside it.
std::string introduction(const Company& c, std::uint64_t id, ScriptLook::Heading heading,
                         const std::vector<std::string>& sentences, PageDamage damage) {
    static const std::string kCaption = gbk::fromUtf8("企业简介");
    static const std::string kDetailed = gbk::fromUtf8("详细企业介绍");
    static const std::string kBasic = gbk::fromUtf8("公司基本信息");
    static const std::string kComment = gbk::fromUtf8("<!--公司简介-->");
    static const std::string kSelfReported = gbk::fromUtf8("（以下信息由企业自行提供）");
    if (sentences.empty()) return {};
    std::string text = "&nbsp;&nbsp;&nbsp;&nbsp;" + join(sentences, "\r\n");
    switch (heading) {
        case ScriptLook::Heading::Detailed:
            return "<table class=\"intro\" width=\"760\"><tr><td class=\"caption\">" + kCaption +
                   "</td></tr>\r\n<tr><td class=\"text\">\r\n" + text +
                   "</td></tr>\r\n<tr><td align=\"right\"><a href=\"/companyinfo/intro_" +
                   std::to_string(id) + ".html\" target=\"_blank\">&gt;&gt; " + kDetailed +
                   "</a></td></tr></table>\r\n";
        case ScriptLook::Heading::Basic:
            return "<div class=\"box\"><div class=\"box-title\">" + kCaption +
                   "</div><div class=\"box-body\"><b>" + c.name + "</b><br>\r\n" + text +
                   "</div></div>\r\n<div class=\"box\"><div class=\"box-title\">" + kBasic +
                   "</div><div class=\"box-body\">" + kSelfReported + "</div></div>\r\n";
        case ScriptLook::Heading::Comment:
            if (damage == PageDamage::Truncated)
                return "<table class=\"intro\"><tr><td class=\"text\">" + kComment + text;
            return "<table class=\"intro\" width=\"760\"><tr><td class=\"caption\">" + kCaption +
                   "</td></tr>\r\n<tr><td class=\"text\">" + kComment + text +
                   "</td></tr></table>\r\n";
    }
    return {};
}

}  // namespace

std::string scriptCompanyUrl(const std::string& address, std::uint64_t id) {
    return address + std::string(kScriptCompanyPath) + std::to_string(id) + ".html";
}

bool parseScriptCompanyPath(std::string_view path, std::uint64_t& id) {
    if (!path.starts_with(kScriptCompanyPath) || !path.ends_with(".html")) return false;
    std::string_view digits = path.substr(kScriptCompanyPath.size());
    digits.remove_suffix(5);
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), id);
    return !digits.empty() && ec == std::errc() && end == digits.data() + digits.size();
}

std::string scriptListingPage(const CompanySet& set, const std::string& provinceName, int page,
                              int pageSize, const std::string& address, std::size_t targetBytes,
                              PageDamage damage, PagerEnd pagerEnd) {
    static const std::string kTitle = gbk::fromUtf8("企业名录搜索结果 - 中国企业名录网");
    static const std::string kFound = gbk::fromUtf8("共有 <b>");
    static const std::string kFoundEnd = gbk::fromUtf8("</b> 家企业符合条件，当前第 ");
    static const std::string kPages = gbk::fromUtf8(" 页");
    static const std::string kAll = gbk::fromUtf8("全国");
    static const std::string kNothing = gbk::fromUtf8(
        "<tr><td class=\"empty\">对不起，没有符合条件的企业，请更换关键词再试。</td></tr>\r\n");
    static const std::string kMainProducts = gbk::fromUtf8("主营：");
    static const std::string kAddress = gbk::fromUtf8("地址：");
    static const std::string kFirst = gbk::fromUtf8("首页");
    static const std::string kPrevious = gbk::fromUtf8("上一页");
    static const std::string kNext = gbk::fromUtf8("下一页");
    static const std::string kLast = gbk::fromUtf8("尾页");
    static const std::string kOpen = gbk::fromUtf8("【");
    static const std::string kClose = gbk::fromUtf8("】");

    int total = std::min(set.perSource, static_cast<int>(set.pool.size()) - set.alibabaShift / 2);
    total = std::max(total, 0);
    int pages = pageCount(total, pageSize);
    if (pagerEnd == PagerEnd::LastAgain) page = std::min(page, pages);
    // A page index far beyond the last lists nothing (and must not overflow).
    long long firstWide = (static_cast<long long>(page) - 1) * pageSize;
    int first = static_cast<int>(std::min<long long>(firstWide, total));
    int last = static_cast<int>(std::min<long long>(total, firstWide + pageSize));

    std::string out = filler::pageStart(SiteStyle::Regional, kTitle);
    out += topAndSearchForm();
    out += filler::sideColumn(SiteStyle::Regional);
    out += "<!-- " + (provinceName.empty() ? kAll : provinceName) + " -->\r\n";
    out += "<div class=\"summary\">" + kFound + std::to_string(total) + kFoundEnd +
           std::to_string(std::min(page, pages)) + "/" + std::to_string(pages) + kPages +
           "</div>\r\n<table class=\"result\" width=\"760\" border=\"0\" cellspacing=\"0\" "
           "cellpadding=\"3\">\r\n";
    if (first >= last) out += kNothing;
    for (int i = std::max(first, 0); i < last; ++i) {
        int poolIndex = scriptPoolIndex(set, i);
        const Company& c = set.pool[static_cast<std::size_t>(poolIndex)];
        std::uint64_t id = scriptCompanyId(set.regionalIds[static_cast<std::size_t>(poolIndex)]);
        out += "<tr><td class=\"title\"><a href=" + listingLink(address, id, poolIndex) +
               " target=_blank>" + kOpen + filler::gbkPrefix(c.address, 4) + kClose + c.name +
               "</a></td><td class=\"date\">2008-06-" + std::to_string(10 + id % 19) +
               "</td></tr>\r\n<tr><td colspan=\"2\" class=\"info\">" + kMainProducts +
               filler::escapeHtml(c.products) + "<br>" + kAddress + c.address + "</td></tr>\r\n";
    }
    out += "</table>\r\n<div class=\"pages\">";
    if (page > 1) {
        out += "<a href=\"javascript:gopage(0)\">" + kFirst + "</a> ";
        out += "<a href=\"javascript:gopage(" + std::to_string(page - 2) + ")\">" + kPrevious +
               "</a> ";
    }
    if (page < pages) {
        out += "<a href=\"javascript:gopage(" + std::to_string(page) + ")\">" + kNext + "</a> ";
        out += "<a href=\"javascript:gopage(" + std::to_string(pages - 1) + ")\">" + kLast + "</a>";
    } else if (pagerEnd != PagerEnd::Plain) {
        out += "<font color=\"#999999\">" + kNext + "</font>";
    }
    out += "</div>\r\n</div>\r\n";
    filler::padTo(out, targetBytes, static_cast<std::uint64_t>(page) + 300);
    out += filler::pageEnd(SiteStyle::Regional);
    damageFooter(out, damage);
    return out;
}

std::string scriptEmptyListingPage(std::size_t targetBytes) {
    CompanySet none;
    return scriptListingPage(none, "", 1, 10, "", targetBytes, PageDamage::None);
}

std::string scriptDetailPage(const Company& c, std::uint64_t id, std::size_t targetBytes,
                             PageDamage damage) {
    static const std::string kTitleEnd = gbk::fromUtf8(" - 企业资料 - 中国企业名录网");
    static const std::string kFunctions =
        "<script language=\"javascript\" src=\"/js/company.js\"></script>\r\n"
        "<script language=\"javascript\" type=\"text/javascript\">\r\n<!--\r\n"
        "function addcompanybrief(id,logo,web,boss,capital,kind,year,staff,product,trade,area,"
        "linkman,tel,fax,email,addr,mobile,zip,qq,level) {\r\n"
        "  document.write(\"<table class=brief><tr><td>\" + linkman + \"</td><td>\" + tel + "
        "\"</td></tr></table>\");\r\n}\r\n"
        "function addcompanyinfo() {\r\n"
        "  var a = arguments;\r\n"
        "  document.write(\"<h1>\" + a[1] + \"</h1>\");\r\n}\r\n//-->\r\n</script>\r\n";
    static const std::string kPosition = gbk::fromUtf8(
        "<div class=\"position\">您的位置：<a href=\"/\">首页</a> &gt; "
        "<a href=\"/search/\">企业名录</a> &gt; 企业资料</div>\r\n");

    ScriptLook look = scriptLook(c.poolIndex);
    ScriptLook::Heading heading =
        damage == PageDamage::None ? look.heading : ScriptLook::Heading::Comment;
    std::string out = filler::pageStart(SiteStyle::Regional, c.name + kTitleEnd);
    out += kFunctions;
    out += topAndSearchForm();
    out += kPosition;
    out +=
        "<table class=\"company\" width=\"760\" border=\"0\" cellspacing=\"0\" "
        "cellpadding=\"0\"><tr><td>\r\n";
    switch (look.calls) {
        case ScriptLook::Calls::BriefAndInfo:
            out += briefCall(c, id, look) + infoCall(c, id, look);
            break;
        case ScriptLook::Calls::InfoFirst:
            out += infoCall(c, id, look) + briefCall(c, id, look);
            break;
        case ScriptLook::Calls::InfoOnly:
            out += infoCall(c, id, look);
            break;
    }
    out += "</td></tr></table>\r\n";
    out += introduction(c, id, heading, scriptProfileSentences(c, damage), damage);
    if (damage == PageDamage::Truncated) return out;
    out += "</div>\r\n";
    filler::padTo(out, targetBytes, id);
    out += filler::pageEnd(SiteStyle::Regional);
    return out;
}

}  // namespace velmora::demo

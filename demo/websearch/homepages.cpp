#include "demo/websearch/homepages.h"

#include <charconv>

#include "demo/websearch/homepage_firms.h"
#include "platform/gbk.h"
#include "sources/framework/text_scan.h"

namespace velmora::demo {
namespace {

std::string g(const std::string& utf8) {
    return gbk::fromUtf8(utf8);
}

// A profile as the extractor leaves it when its first text segment already
// holds 600 bytes or more: cut to 290 bytes, or 289 when the 290th byte would
// start a character, and "......" behind.
std::string cutProfile(const std::string& utf8Text) {
    std::string t = text::lowerAscii(g(utf8Text));
    if (t.size() >= 400) t.resize(text::isTrailByteAt(t, 290) ? 290 : 289);
    return t + "......";
}

const std::string kHead =
    "<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; "
    "charset=gb2312\">\r\n";

std::string navigation() {
    return "<table width=\"778\" border=\"0\" align=\"center\" cellpadding=\"0\" cellspacing=\"0\" "
           "bgcolor=\"#0066CC\">\r\n<tr>\r\n"
           "<td align=\"center\"><a href=\"index.htm\" class=\"nav\">网站首页</a></td>\r\n"
           "<td align=\"center\"><a href=\"about.htm\" class=\"nav\">关于我们</a></td>\r\n"
           "<td align=\"center\"><a href=\"product.htm\" class=\"nav\">产品展示</a></td>\r\n"
           "<td align=\"center\"><a href=\"news.htm\" class=\"nav\">新闻动态</a></td>\r\n"
           "<td align=\"center\"><a href=\"contact.htm\" class=\"nav\">联系我们</a></td>\r\n"
           "</tr>\r\n</table>\r\n";
}

// Title greeting, a script in the head, a two-column table with the
// introduction and a "联系我们" cell of label rows, copyright footer.
DemoHomepage classicTables(const HomepageFirm& f) {
    std::string intro = f.name + "成立于" + std::to_string(f.founded) + "年，" + introduction(f);
    std::string page =
        kHead + "<title>欢迎光临" + f.name +
        "！</title>\r\n<script language=\"JavaScript\">\r\n<!--\r\nfunction MM_preloadImages() "
        "{ var d=document; if(d.images){ if(!d.MM_p) d.MM_p=new Array(); } }\r\n//-->\r\n"
        "</script>\r\n<link href=\"css/style.css\" rel=\"stylesheet\" type=\"text/css\">\r\n"
        "</head>\r\n<body leftmargin=\"0\" topmargin=\"0\" "
        "onLoad=\"MM_preloadImages('images/nav_2.gif')\">\r\n"
        "<table width=\"778\" border=\"0\" align=\"center\"><tr><td><img src=\"images/top.jpg\" "
        "width=\"778\" height=\"120\"></td></tr></table>\r\n" +
        navigation() +
        "<table width=\"778\" align=\"center\"><tr><td width=\"560\" valign=\"top\">\r\n"
        "<table width=\"100%\"><tr><td class=\"title\">关于我们</td></tr>\r\n"
        "<tr><td class=\"content\">" +
        intro +
        "</td></tr></table>\r\n</td>\r\n<td width=\"218\" valign=\"top\">\r\n"
        "<table width=\"100%\"><tr><td class=\"title\">联系我们</td></tr>\r\n"
        "<tr><td>联系人：" +
        f.contact + "</td></tr>\r\n<tr><td>电话：" + f.area + "-" + f.phone +
        "</td></tr>\r\n<tr><td>传真：" + f.area + "-" + f.fax + "</td></tr>\r\n<tr><td>手机：" +
        f.mobile + "</td></tr>\r\n<tr><td>地址：" + f.address() + "</td></tr>\r\n<tr><td>邮编：" +
        f.postcode + "</td></tr>\r\n<tr><td>E-mail：<a href=\"mailto:" + f.email() + "\">" +
        f.email() +
        "</a></td></tr>\r\n</table>\r\n</td></tr>\r\n</table>\r\n"
        "<table width=\"778\" align=\"center\"><tr><td align=\"center\" class=\"foot\">Copyright "
        "&copy; " +
        std::to_string(f.founded) + "-2008 " + f.name +
        " 版权所有<br>技术支持：华网科技</td></tr></table>\r\n</body>\r\n</html>\r\n";
    DemoHomepage h{g(page), {}};
    RecordSlot& e = h.expected;
    e[Field::Name] = g(f.name);
    e[Field::Phone] = g(f.area + "-" + f.phone);
    e[Field::Fax] = g(f.area + "-" + f.fax);
    e[Field::Contact] = g(f.contact);
    e[Field::Address] = g(f.address());
    e[Field::Postcode] = f.postcode;
    e[Field::Email] = f.email();
    e[Field::Profile] = cutProfile(intro);
    return h;
}

// Labels spelt with full-width spaces in cells of their own; numbers with
// full-width brackets. "传　真" is no fax label, and a value in the cell
// behind "联系人：" would not be seen, so the contact shares its cell.
DemoHomepage spacedLabels(const HomepageFirm& f) {
    std::string intro = f.name + "是" + introduction(f);
    std::string page =
        kHead + "<title>" + f.name + "</title>\r\n</head>\r\n<body>\r\n" + navigation() +
        "<table width=\"760\" align=\"center\"><tr><td>" + intro +
        "</td></tr></table>\r\n"
        "<table width=\"760\" border=\"1\" cellspacing=\"0\" bordercolor=\"#CCCCCC\" "
        "align=\"center\">\r\n<tr><td colspan=\"2\" class=\"title\">联系我们</td></tr>\r\n"
        "<tr><td width=\"90\">电　话：</td><td>（" +
        f.area + "）" + f.phone + "</td></tr>\r\n<tr><td>传　真：</td><td>（" + f.area + "）" +
        f.fax + "</td></tr>\r\n<tr><td>总经理：</td><td>" + f.manager +
        "</td></tr>\r\n<tr><td colspan=\"2\">联系人：" + f.contact + "　" + f.contact2 +
        "</td></tr>\r\n<tr><td colspan=\"2\">地　址：" + f.address() +
        "</td></tr>\r\n<tr><td>邮　编：</td><td>" + f.postcode +
        "</td></tr>\r\n<tr><td>电子邮件：</td><td>" + f.email() +
        "</td></tr>\r\n</table>\r\n<div align=\"center\">版权所有(C) 2005-2008 " + f.name +
        "</div>\r\n</body>\r\n</html>\r\n";
    DemoHomepage h{g(page), {}};
    RecordSlot& e = h.expected;
    e[Field::Name] = g(f.name);
    e[Field::Phone] = g("(" + f.area + ")" + f.phone);
    e[Field::Contact] = g(f.contact + "  " + f.contact2);
    e[Field::Manager] = g(f.manager);
    e[Field::Address] = g(f.address());
    e[Field::Postcode] = f.postcode;
    e[Field::Email] = f.email();
    e[Field::Profile] = cutProfile(intro);
    return h;
}

// No company in the title: the name comes from the footer, whose stem the
// logo shows first. A "简介" heading; the profile grows from the logo.
DemoHomepage footerName(const HomepageFirm& f) {
    std::string about = "本企业创建于" + std::to_string(f.founded) + "年，" + introduction(f);
    std::string page =
        kHead +
        "<title>首页</title>\r\n<script src=\"js/menu.js\" type=\"text/javascript\"></script>\r\n"
        "<style type=\"text/css\">\r\nbody { margin: 0px; font-size: 12px; }\r\n</style>\r\n"
        "</head>\r\n<body>\r\n<div id=\"top\"><div class=\"logo\">" +
        f.name + "</div></div>\r\n<h3>简介</h3>\r\n<p>" + about +
        "</p>\r\n<div class=\"nav\"><a href=\"index.htm\">首页</a> | <a "
        "href=\"product.htm\">产品</a> | <a href=\"contact.htm\">联系</a></div>\r\n"
        "<div class=\"contact\"><p>联系电话：" +
        f.area + "-" + f.phone + " 传真：" + f.area + "-" + f.fax + "</p>\r\n<p>联系人：" +
        f.contact + " " + f.contact2 + "</p>\r\n<p>地址：" + f.address() + " 邮编：" + f.postcode +
        "</p>\r\n<p>Email: " + f.email() +
        "</p></div>\r\n<div class=\"foot\">Copyright 2001-2008 " + f.name +
        " All Rights Reserved</div>\r\n</body>\r\n</html>\r\n";
    DemoHomepage h{g(page), {}};
    RecordSlot& e = h.expected;
    e[Field::Name] = g(f.name);
    e[Field::Phone] = g(f.area + "-" + f.phone);
    e[Field::Fax] = g(f.area + "-" + f.fax);
    e[Field::Contact] = g(f.contact + "  " + f.contact2);
    e[Field::Address] = g(f.address());
    e[Field::Postcode] = f.postcode;
    e[Field::Email] = f.email();
    e[Field::Profile] = cutProfile(f.name + "简介" + about);
    return h;
}

// A frameset with its "noframes" body: only a hotline and a mobile number,
// the factory address with a landmark in brackets, no postcode or e-mail.
DemoHomepage frameset(const HomepageFirm& f) {
    std::string intro = f.name + "建于" + std::to_string(f.founded) + "年，" + introduction(f);
    std::string page =
        kHead + "<title>" + f.name + "—专业生产" + f.product +
        "</title>\r\n<meta name=\"keywords\" content=\"" + f.product + "," + f.business +
        "\">\r\n</head>\r\n<frameset rows=\"80,*\" frameborder=\"NO\" border=\"0\">\r\n"
        "<frame src=\"top.htm\" name=\"topFrame\" scrolling=\"NO\">\r\n"
        "<frame src=\"main.htm\" name=\"mainFrame\">\r\n</frameset>\r\n<noframes><body>\r\n"
        "<table width=\"100%\"><tr><td>" +
        intro + "</td></tr></table>\r\n<table width=\"100%\">\r\n<tr><td>服务热线：" + f.hotline +
        "&nbsp;&nbsp;手机：" + f.mobile + "</td></tr>\r\n<tr><td>总经理：" + f.manager +
        "（董事长）</td></tr>\r\n<tr><td>工厂地址：" + f.address() + "（近" + f.landmark +
        "）</td></tr>\r\n<tr><td>QQ：" + f.mobile.substr(3) +
        "</td></tr>\r\n</table>\r\n</body></noframes>\r\n</html>\r\n";
    DemoHomepage h{g(page), {}};
    RecordSlot& e = h.expected;
    e[Field::Name] = g(f.name);
    e[Field::Phone] = f.hotline;
    e[Field::Manager] = g(f.manager);
    e[Field::Address] = g(f.address() + "（近" + f.landmark + "）");
    e[Field::Profile] = cutProfile(intro);
    return h;
}

// A contact page: ASCII colons, "张经理" as the contact (its "经理" is the
// manager step's first stop, whose name "电话" has no surname), a second
// number behind the first, capitals in the e-mail address, "简介：公司是".
DemoHomepage contactPage(const HomepageFirm& f) {
    std::string upperMail = "INFO@" + f.domain + ".COM.CN";
    for (char& c : upperMail) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    std::string about = "简介：公司是" + introduction(f);
    std::string page =
        kHead + "<title>" + f.name +
        "_联系我们</title>\r\n<script type=\"text/javascript\">\r\nvar _hmt = _hmt || [];\r\n"
        "document.write('<script src=\"js/count.js\"></scr' + 'ipt>');\r\n</script>\r\n"
        "</head>\r\n<body>\r\n<table width=\"980\" align=\"center\"><tr><td><img "
        "src=\"images/banner.jpg\"></td></tr></table>\r\n"
        "<table width=\"980\" align=\"center\"><tr><td class=\"nav\"><a href=\"/\">首页</a>&nbsp;|"
        "&nbsp;<a href=\"/about.html\">公司简介</a>&nbsp;|&nbsp;<a "
        "href=\"/products.html\">产品中心</a>&nbsp;|&nbsp;<a href=\"/contact.html\">联系我们</a>"
        "</td></tr></table>\r\n<table width=\"980\" align=\"center\"><tr><td width=\"600\" "
        "valign=\"top\">\r\n<div class=\"about\"><p>" +
        about +
        "</p></div>\r\n</td><td width=\"380\" valign=\"top\">\r\n<table class=\"contact\">\r\n"
        "<tr><td>联系人：" +
        f.surname + "经理</td></tr>\r\n<tr><td>电话：" + f.area + "-" + f.phone + " " + f.phone2 +
        "</td></tr>\r\n<tr><td>传真:" + f.area + "-" + f.fax +
        "</td></tr>\r\n<tr><td>地址:" + f.address() +
        "</td></tr>\r\n<tr><td>邮政编码:" + f.postcode +
        "</td></tr>\r\n<tr><td>E-mail:" + upperMail + "</td></tr>\r\n<tr><td>总经理：" + f.manager +
        "</td></tr>\r\n</table></td></tr></table>\r\n<div class=\"foot\">Copyright(C)2002-2008 "
        "All rights reserved</div>\r\n</body>\r\n</html>\r\n";
    DemoHomepage h{g(page), {}};
    RecordSlot& e = h.expected;
    e[Field::Name] = g(f.name);
    e[Field::Phone] = g(f.area + "-" + f.phone + " " + f.phone2);
    e[Field::Fax] = g(f.area + "-" + f.fax);
    e[Field::Contact] = g(f.surname + "经理");
    e[Field::Manager] = g(f.manager);
    e[Field::Address] = g(f.address());
    e[Field::Postcode] = f.postcode;
    e[Field::Email] = text::lowerAscii(upperMail);
    e[Field::Profile] = cutProfile(about);
    return h;
}

const std::string kPaddingRow =
    "<tr><td><a href=\"/products/valve.htm\" title=\"不锈钢阀门\">不锈钢阀门</a></td>"
    "<td><a href=\"/products/casting.htm\">精密铸件</a></td><td>规格齐全 品种繁多</td>"
    "<td><a href=\"/products/lamp.htm\">照明灯具</a></td><td>包装材料</td></tr>\r\n";

}  // namespace

const std::vector<DemoHomepage>& demoHomepages() {
    static const std::vector<DemoHomepage> pages = [] {
        std::vector<DemoHomepage> v;
        const auto& firms = homepageFirms();
        for (size_t i = 0; i < firms.size(); ++i) {
            switch (i / 6) {
                case 0:
                    v.push_back(classicTables(firms[i]));
                    break;
                case 1:
                    v.push_back(spacedLabels(firms[i]));
                    break;
                case 2:
                    v.push_back(footerName(firms[i]));
                    break;
                case 3:
                    v.push_back(frameset(firms[i]));
                    break;
                default:
                    v.push_back(contactPage(firms[i]));
                    break;
            }
        }
        return v;
    }();
    return pages;
}

std::string homepagePath(int n) {
    return "/home/" + std::to_string(n) + "/index.htm";
}

bool homepageForPath(std::string_view path, std::string& page) {
    constexpr std::string_view kPrefix = "/home/", kSuffix = "/index.htm";
    if (!path.starts_with(kPrefix) || !path.ends_with(kSuffix)) return false;
    std::string_view number =
        path.substr(kPrefix.size(), path.size() - kPrefix.size() - kSuffix.size());
    int n = 0;
    auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), n);
    const auto& pages = demoHomepages();
    if (ec != std::errc() || end != number.data() + number.size() || n < 1 ||
        n > static_cast<int>(pages.size()))
        return false;
    page = pages[static_cast<size_t>(n - 1)].page;
    return true;
}

std::string paddedHomepage(int n, size_t bytes) {
    std::string page = demoHomepages().at(static_cast<size_t>(n - 1)).page;
    size_t body = page.find("<body");
    size_t at = body == std::string::npos ? 0 : page.find('>', body) + 1;
    static const std::string row = gbk::fromUtf8(kPaddingRow);
    std::string padding = "<table class=\"links\">\r\n";
    while (page.size() + padding.size() + row.size() < bytes) padding += row;
    padding += "</table>\r\n";
    return page.insert(at, padding);
}

}  // namespace velmora::demo

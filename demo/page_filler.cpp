#include "demo/page_filler.h"

#include <vector>

#include "demo/demo_random.h"
#include "platform/gbk.h"

namespace velmora::demo::filler {
namespace {

const std::string& regionalHead() {
    static const std::string k =
        gbk::fromUtf8(R"~(<meta http-equiv="Content-Type" content="text/html; charset=gb2312">
<meta name="keywords" content="企业名录,企业黄页,地区企业查询,工商企业信息">
<meta name="description" content="地区企业名录提供各地企业的名称、地址、电话等信息查询服务。">
<link rel="stylesheet" type="text/css" href="/css/main.css">
<style type="text/css">
<!--
body { margin: 0; font-size: 12px; font-family: "宋体", SimSun; color: #333333; background: #ffffff; }
td { font-size: 12px; line-height: 20px; }
a:link, a:visited { color: #0033cc; text-decoration: none; }
a:hover { color: #ff6600; text-decoration: underline; }
.top { width: 960px; margin: 0 auto; height: 80px; background: url(/images/top_bg.gif) repeat-x; }
.nav { width: 960px; margin: 0 auto; height: 30px; background: #1e5494; }
.nav a { color: #ffffff; padding: 0 12px; line-height: 30px; font-weight: bold; }
.main { width: 960px; margin: 8px auto; }
.list th { background: #dbe7f5; height: 26px; }
.list td, .detail td { border-bottom: 1px dashed #cccccc; padding: 2px 6px; }
.label { width: 120px; text-align: right; color: #666666; }
.side { float: right; width: 230px; }
.foot { width: 960px; margin: 10px auto; border-top: 2px solid #1e5494; text-align: center; color: #666666; }
-->
</style>
<script language="javascript" type="text/javascript">
<!--
function checkForm(f) {
  if (f.corpname.value.length > 50) { alert("关键字太长，请重新输入"); return false; }
  return true;
}
function addFavorite() {
  try { window.external.addFavorite(location.href, document.title); }
  catch (e) { alert("请按 Ctrl+D 收藏本页"); }
}
//-->
</script>
</head>
<body>
<!-- 页头开始 -->
)~");
    return k;
}

const std::string& alibabaHead() {
    static const std::string k =
        gbk::fromUtf8(R"~(<meta http-equiv="Content-Type" content="text/html; charset=GBK">
<meta http-equiv="X-UA-Compatible" content="IE=EmulateIE7">
<meta name="keywords" content="公司库,企业库,供应商,生产厂家,批发商">
<link href="/css/lib/global.css" rel="stylesheet" type="text/css">
<link href="/css/company/search_list.css" rel="stylesheet" type="text/css">
<style type="text/css">
#header { width: 950px; margin: 0 auto; }
#alitalk-bar { height: 24px; background: #f5f5f5; border-bottom: 1px solid #e5e5e5; }
.sm-offer { width: 950px; margin: 0 auto; }
.company-item { padding: 10px 0; border-bottom: 1px dotted #d9d9d9; zoom: 1; }
.company-item .title a { font-size: 14px; font-weight: bold; color: #0055aa; }
.contact-info li { height: 24px; line-height: 24px; overflow: hidden; }
.pages a, .pages span { display: inline-block; padding: 0 6px; border: 1px solid #cccccc; }
.pages .current { background: #ff7300; color: #ffffff; border-color: #ff7300; }
#footer { clear: both; width: 950px; margin: 20px auto 0; color: #999999; text-align: center; }
</style>
<script type="text/javascript">
var aliclick = aliclick || function (o, p) { var img = new Image(); img.src = "/stat/click.gif?" + p; };
var pageConfig = { module: "company_search", version: "2.3.1", lang: "zh_CN" };
(function () {
  var s = document.createElement("script");
  s.type = "text/javascript";
  s.src = "/js/lib/aliclick.js";
  document.getElementsByTagName("head")[0].appendChild(s);
})();
</script>
</head>
<body>
<!-- start of header -->
)~");
    return k;
}

const std::string& searchHead() {
    static const std::string k =
        gbk::fromUtf8(R"~(<meta http-equiv="content-type" content="text/html;charset=gb2312">
<style>
body { font-family: arial; margin: 6px 0 0 0; }
#u { height: 18px; text-align: right; margin-right: 6px; font-size: 12px; }
.result { width: 33.7em; table-layout: fixed; margin-bottom: 14px; }
.t { font-weight: normal; font-size: medium; margin-bottom: 1px; }
.g { color: #008000; }
.m { color: #666666; }
#page { font: 14px arial; white-space: nowrap; padding-left: 18px; }
#ft { clear: both; line-height: 20px; background: #e6e6e6; text-align: center; }
</style>
<script>
var bds = { se: {}, su: { urdata: [], urSendClick: function () {} }, util: {}, use: {}, comm: { qid: "a1b2c3d4e5f6" } };
function h(obj) { obj.style.behavior = "url(#default#homepage)"; }
</script>
</head>
<body>
)~");
    return k;
}

const std::string& hitHead() {
    static const std::string k =
        gbk::fromUtf8(R"~(<meta http-equiv="Content-Type" content="text/html; charset=gb2312">
<meta name="keywords" content="产品展示,企业介绍,联系我们">
<style type="text/css">
body { margin: 0; padding: 0; font-size: 12px; background: #f0f0f0; }
.wrap { width: 980px; margin: 0 auto; background: #ffffff; }
.banner { height: 180px; background: url(/images/banner.jpg) no-repeat center; }
.menu li { float: left; width: 120px; text-align: center; }
.box { border: 1px solid #d0d0d0; margin: 8px; padding: 8px; }
.copy { text-align: center; color: #888888; line-height: 22px; }
</style>
<script type="text/javascript" src="/js/jquery.min.js"></script>
<script type="text/javascript">
$(function () { $(".menu li").hover(function () { $(this).addClass("on"); }, function () { $(this).removeClass("on"); }); });
</script>
</head>
<body>
)~");
    return k;
}

const std::string& regionalNav() {
    static const std::string k = gbk::fromUtf8(R"~(<div class="top">
  <table width="960" border="0" cellspacing="0" cellpadding="0"><tr>
    <td width="260"><a href="/"><img src="/images/logo.gif" width="240" height="70" border="0" alt="地区企业名录"></a></td>
    <td align="right"><a href="javascript:addFavorite();">加入收藏</a> | <a href="/help/about.asp">关于我们</a> | <a href="/help/join.asp">企业登记</a></td>
  </tr></table>
</div>
<div class="nav">
  <a href="/">首 页</a><a href="/main/corp/query.asp">企业查询</a><a href="/main/product/">产品供求</a>
  <a href="/main/news/">行业资讯</a><a href="/main/exhibit/">展会信息</a><a href="/main/job/">人才招聘</a>
  <a href="/main/law/">政策法规</a><a href="/help/service.asp">会员服务</a>
</div>
<!-- 页头结束 -->
)~");
    return k;
}

const std::string& alibabaNav() {
    static const std::string k = gbk::fromUtf8(R"~(<div id="alitalk-bar"><div id="header">
  <span class="welcome">您好，欢迎来到阿里巴巴！</span>
  <a href="/member/signin.htm" rel="nofollow">请登录</a> <a href="/member/join.htm" rel="nofollow">免费注册</a>
  <span class="sep">|</span> <a href="/myalibaba/">我的阿里</a> <a href="/buyer/">采购</a> <a href="/seller/">销售</a>
  <a href="/help/">帮助中心</a> <a href="/sitemap.html">网站导航</a>
</div></div>
<div id="header" class="search-header">
  <a class="logo" href="/" title="阿里巴巴"><img src="/images/logo/alibaba_logo.png" alt="阿里巴巴"></a>
  <ul class="tabs">
    <li><a href="/offer/">产品</a></li><li class="selected"><a href="/company/">公司</a></li>
    <li><a href="/buyoffer/">求购</a></li><li><a href="/news/">资讯</a></li>
  </ul>
</div>
<!-- end of header -->
)~");
    return k;
}

const std::string& searchNav() {
    static const std::string k = gbk::fromUtf8(
        R"~(<div id="u"><a href="/gaoji/preferences.html">搜索设置</a> | <a href="/passport/">登录</a> <a href="/reg/">注册</a></div>
<div id="m"><a href="/"><img src="/img/baidu_logo.gif" width="117" height="38" border="0" alt="到百度首页" title="到百度首页"></a>
<div class="tabs"><a href="/news/">新闻</a> <b>网页</b> <a href="/zhidao/">知道</a> <a href="/mp3/">音乐</a> <a href="/image/">图片</a> <a href="/video/">视频</a> <a href="/map/">地图</a></div>
</div>
)~");
    return k;
}

const std::string& hitNav() {
    static const std::string k = gbk::fromUtf8(R"~(<div class="wrap">
<div class="banner"></div>
<ul class="menu">
  <li><a href="/">网站首页</a></li><li><a href="/about.html">公司简介</a></li><li><a href="/products.html">产品展示</a></li>
  <li><a href="/news.html">新闻动态</a></li><li><a href="/honor.html">荣誉资质</a></li><li><a href="/contact.html">联系我们</a></li>
</ul>
)~");
    return k;
}

const std::vector<std::string>& padBlocks() {
    static const std::vector<std::string> k = [] {
        std::vector<std::string> v;
        for (const char* utf8 : {
                 R"~(<div class="box news">
  <div class="box-title"><span class="more"><a href="/main/news/list.asp?type=industry">更多</a></span>行业资讯</div>
  <ul>
    <li><a href="/main/news/show.asp?id=20931" title="原材料价格持续上涨 中小企业面临成本压力">原材料价格持续上涨 中小企业面临成本压力</a><span class="date">2009-06-18</span></li>
    <li><a href="/main/news/show.asp?id=20927" title="外贸出口回暖 沿海地区订单明显增加">外贸出口回暖 沿海地区订单明显增加</a><span class="date">2009-06-17</span></li>
    <li><a href="/main/news/show.asp?id=20915" title="节能减排政策出台 环保设备需求看好">节能减排政策出台 环保设备需求看好</a><span class="date">2009-06-15</span></li>
    <li><a href="/main/news/show.asp?id=20902" title="电子商务助力传统企业转型升级">电子商务助力传统企业转型升级</a><span class="date">2009-06-12</span></li>
  </ul>
</div>
)~",
                 R"~(<!-- 广告位开始 -->
<div class="ad" id="ad_middle_banner">
  <script type="text/javascript">
  var adSlot = { id: "middle_banner", width: 728, height: 90, rotate: true };
  document.write('<a href="/ad/click.asp?slot=middle_banner" target="_blank"><img src="/ad/images/banner_728x90.gif" border="0" alt="诚信企业推广"></a>');
  </script>
  <noscript><a href="/ad/click.asp?slot=middle_banner"><img src="/ad/images/banner_728x90.gif" border="0" alt="诚信企业推广"></a></noscript>
</div>
<!-- 广告位结束 -->
)~",
                 R"~(<div class="box hot">
  <div class="box-title">热门搜索</div>
  <div class="tags">
    <a href="/search/tag.asp?w=jixie">机械设备</a> <a href="/search/tag.asp?w=dianzi">电子元件</a>
    <a href="/search/tag.asp?w=fuzhuang">服装服饰</a> <a href="/search/tag.asp?w=huagong">化工原料</a>
    <a href="/search/tag.asp?w=wujin">五金工具</a> <a href="/search/tag.asp?w=baozhuang">包装印刷</a>
    <a href="/search/tag.asp?w=jiancai">建筑建材</a> <a href="/search/tag.asp?w=jiaju">家居用品</a>
    <a href="/search/tag.asp?w=qipei">汽车配件</a> <a href="/search/tag.asp?w=zhaoming">照明灯饰</a>
  </div>
</div>
)~",
                 R"~(<div class="box recommend">
  <div class="box-title">推荐企业</div>
  <table width="100%" border="0" cellspacing="0" cellpadding="0">
    <tr><td class="pic"><a href="/main/corp/show.asp?c=tj0113"><img src="/upload/logo/tj0113.jpg" width="100" height="60" alt="推荐企业"></a></td>
        <td class="pic"><a href="/main/corp/show.asp?c=tj0248"><img src="/upload/logo/tj0248.jpg" width="100" height="60" alt="推荐企业"></a></td>
        <td class="pic"><a href="/main/corp/show.asp?c=tj0371"><img src="/upload/logo/tj0371.jpg" width="100" height="60" alt="推荐企业"></a></td></tr>
  </table>
  <div class="note">诚信经营 品质保证 · 会员企业资料均经过人工审核，请放心查询。</div>
</div>
)~",
                 R"~(<script type="text/javascript">
// 访问统计
(function () {
  var d = document, w = window, ref = d.referrer ? encodeURIComponent(d.referrer) : "";
  var params = ["site=corp", "page=" + encodeURIComponent(location.pathname), "ref=" + ref, "r=" + Math.random()];
  var img = new Image(1, 1);
  img.src = "/stat/count.gif?" + params.join("&");
  w.statLoaded = true;
})();
</script>
)~",
                 R"~(<div class="box guide">
  <div class="box-title">使用指南</div>
  <ul class="guide-list">
    <li>输入企业名称中的关键字即可查询，关键字越准确，结果越精确。</li>
    <li>选择所在省份可以缩小查询范围，不选则在全国范围内查询。</li>
    <li>企业资料由企业自行登记，如有变更请及时通知本站更新。</li>
    <li>本站不对企业资料的真实性承担责任，交易前请核实对方身份。</li>
  </ul>
</div>
)~",
             })
            v.push_back(gbk::fromUtf8(utf8));
        return v;
    }();
    return k;
}

const std::string& sideBlock() {
    static const std::string k = gbk::fromUtf8(R"~(<div class="side">
  <div class="box">
    <div class="box-title">会员服务</div>
    <ul>
      <li><a href="/help/service.asp#vip">诚信会员</a> 展示企业形象，获得更多商机</li>
      <li><a href="/help/service.asp#ad">广告服务</a> 精准投放，效果看得见</li>
      <li><a href="/help/service.asp#data">数据服务</a> 行业数据定制与分析</li>
    </ul>
  </div>
  <div class="box"><div class="box-title">客服热线</div><div class="hotline">工作日 8:30-17:30</div></div>
</div>
)~");
    return k;
}

const std::string& footerBody() {
    static const std::string k = gbk::fromUtf8(R"~(<div class="foot" id="footer">
  <a href="/help/about.asp">关于我们</a> | <a href="/help/service.asp">服务条款</a> | <a href="/help/privacy.asp">隐私声明</a> |
  <a href="/help/link.asp">友情链接</a> | <a href="/help/map.asp">网站地图</a> | <a href="/help/feedback.asp">意见反馈</a><br>
  版权所有 &copy; 2003-2009 本站保留一切权利 · 经营许可证编号：浙B2-20080123<br>
  <span class="gray">建议使用 IE6.0 以上浏览器，1024x768 分辨率浏览本站</span>
</div>
)~");
    return k;
}

}  // namespace

std::string pageStart(SiteStyle style, std::string_view title) {
    std::string page =
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
        "\"http://www.w3.org/TR/html4/loose.dtd\">\r\n<html>\r\n<head>\r\n<title>";
    page.append(escapeHtml(title)).append("</title>\r\n");
    switch (style) {
        case SiteStyle::Regional:
            page += regionalHead();
            break;
        case SiteStyle::Alibaba:
            page += alibabaHead();
            break;
        case SiteStyle::Search:
            page += searchHead();
            break;
        case SiteStyle::Hit:
            page += hitHead();
            break;
    }
    return page;
}

std::string navigation(SiteStyle style) {
    switch (style) {
        case SiteStyle::Regional:
            return regionalNav();
        case SiteStyle::Alibaba:
            return alibabaNav();
        case SiteStyle::Search:
            return searchNav();
        case SiteStyle::Hit:
            return hitNav();
    }
    return {};
}

std::string sideColumn(SiteStyle) {
    return sideBlock();
}

void padTo(std::string& page, std::size_t targetBytes, std::uint64_t salt) {
    const auto& blocks = padBlocks();
    std::size_t i = static_cast<std::size_t>(salt % blocks.size());
    while (page.size() < targetBytes) {
        page += blocks[i];
        i = (i + 1) % blocks.size();
    }
}

std::string pageEnd(SiteStyle style) {
    std::string end = footerBody();
    if (style == SiteStyle::Hit) end += "</div>\r\n";  // closes the hit page's wrapper
    end += "</body>\r\n</html>\r\n";
    return end;
}

const std::string& copyrightText() {
    static const std::string k = gbk::fromUtf8("版权所有");
    return k;
}

std::string escapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out.push_back(c);
        }
    }
    return out;
}

std::string gbkPrefix(std::string_view text, std::size_t maxBytes) {
    std::size_t end = 0;
    while (end < text.size()) {
        std::size_t width = gbk::isLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
        if (end + width > maxBytes || end + width > text.size()) break;
        end += width;
    }
    return std::string(text.substr(0, end));
}

std::string hugePage(std::size_t bytes) {
    static const std::string kTitle = gbk::fromUtf8("网站公告");
    std::string page = pageStart(SiteStyle::Regional, kTitle) + navigation(SiteStyle::Regional);
    page.reserve(bytes + 4096);
    std::size_t tail = pageEnd(SiteStyle::Regional).size();
    padTo(page, bytes > tail ? bytes - tail : 0, 0);
    page += pageEnd(SiteStyle::Regional);
    return page;
}

std::string garbage(std::size_t bytes, std::uint64_t seed) {
    Rng rng(seed);
    std::string out;
    out.reserve(bytes);
    while (out.size() < bytes) {
        auto b = static_cast<char>(rng.next() & 0xFF);
        if (b == '<' || b == '>' || b == '@') continue;
        out.push_back(b);
    }
    return out;
}

}  // namespace velmora::demo::filler

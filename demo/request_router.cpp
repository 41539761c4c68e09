#include "demo/request_router.h"

#include <algorithm>
#include <charconv>

#include "app/engine/provinces.h"
#include "demo/alibaba/page_layout_alibaba.h"
#include "demo/demo_random.h"
#include "demo/page_filler.h"
#include "demo/portal_yellowpages_routes.h"
#include "demo/region_table.h"
#include "demo/regional/page_layout_regional.h"
#include "demo/scriptdirectory/script_directory_look.h"
#include "demo/url_codec.h"
#include "demo/websearch/homepages.h"
#include "demo/websearch/page_layout_web_search.h"
#include "demo/websearch/web_search_pages.h"
#include "demo/websearch/web_search_records.h"
#include "platform/gbk.h"
#include "sources/framework/text_scan.h"

namespace velmora::demo {
namespace {

int pageNumber(const RawQuery& query) {
    std::string text;
    int page = 1;
    if (!queryValue(query, "page", text)) return 1;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), page);
    if (ec != std::errc() || end != text.data() + text.size() || page < 1) return 1;
    return page;
}

}  // namespace

std::string normalizedProvinceCode(std::string_view code) {
    return regionOf(code) != nullptr ? std::string(code) : std::string("000000");
}

RequestRouter::RequestRouter(const DemoOptions& options, CompanyCatalog& catalog, StopSignal& stop,
                             std::string address)
    : options_(options), catalog_(catalog), stop_(stop), address_(std::move(address)) {}

AnswerContext RequestRouter::context(std::uint64_t salt) {
    return AnswerContext{stop_, options_, address_, [this] { return hugePage(); }, salt, &answers_};
}

std::shared_ptr<const std::string> RequestRouter::hugePage() {
    std::lock_guard lock(hugeMutex_);
    if (!huge_) huge_ = std::make_shared<const std::string>(filler::hugePage(options_.hugeBytes));
    return huge_;
}

void RequestRouter::handle(const httplib::Request& req, httplib::Response& res) {
    if (req.method != "GET" && req.method != "POST") return answerError(res, 405);
    const std::string& target = req.target;
    std::string_view path = targetPath(target);
    if (path == "/main/corp/queryr.asp") return regionalListing(target, res);
    if (path == "/main/corp/detail.asp") return regionalDetail(target, res);
    if (path.starts_with("/company/k-")) return alibabaListing(path, res);
    if (path.starts_with("/athena/contact/")) return alibabaDetail(path, res);
    if (path == "/qiye/search.php") return detailDirectoryListing(req, res);
    if (path == "/qiye/show.php") return detailDirectoryDetail(target, res);
    if (path == "/baidu") return webSearch(target, res);
    if (path.starts_with("/hit/")) return hit(path, res);
    auto ctx = [this](std::uint64_t salt) { return context(salt); };
    if (path == "/search") return servePortalSearch(req, res, catalog_, options_, ctx);
    if (path == "/yp/search.aspx") return serveYellowPagesSearch(req, res, catalog_, options_, ctx);
    if (path == "/yp/categorycontent.aspx")
        return serveYellowPagesCategory(req, res, catalog_, options_, ctx);
    if (path == kScriptSearchPath) return scriptSearch(req, res);
    if (path.starts_with(kScriptCompanyPath)) return scriptDetail(path, res);
    if (path.starts_with("/home/")) return homepage(path, res);
    if (path == "/" || path == "/index.htm") return index(res);
    answerError(res, 404);
}

void RequestRouter::regionalListing(const std::string& target, httplib::Response& res) {
    RawQuery query = splitQuery(target);
    std::string keyword, code;
    queryValue(query, "corpname", keyword);
    if (!queryValue(query, "area2", code)) queryValue(query, "area1", code);
    int page = pageNumber(query);
    auto set = catalog_.set(keyword, normalizedProvinceCode(code));
    const Fault* fault = findFault(options_.faults, 7, Fault::Listing, page);
    std::string body = regionalListingPage(*set, page, options_.pageSize, options_.pageBytes,
                                           damageOf(fault), options_.pagerEnd);
    answer(res, std::move(body), fault, context(static_cast<std::uint64_t>(page)));
}

void RequestRouter::regionalDetail(const std::string& target, httplib::Response& res) {
    std::string idText;
    std::uint64_t id = 0;
    if (!queryValue(splitQuery(target), "corpid", idText)) return answerError(res, 404);
    auto [end, ec] = std::from_chars(idText.data(), idText.data() + idText.size(), id);
    if (ec != std::errc() || end != idText.data() + idText.size()) return answerError(res, 404);
    std::optional<CompanyRef> ref = catalog_.byRegionalId(id);
    if (!ref) return answerError(res, 404);
    const Fault* fault = findFault(options_.faults, 7, Fault::Detail, ref->poolIndex + 1);
    PageDamage damage = damageOf(fault);
    std::string body =
        regionalDetailPage(regionalServed(ref->company(), damage), options_.pageBytes, damage);
    answer(res, std::move(body), fault, context(id));
}

void RequestRouter::alibabaListing(std::string_view path, httplib::Response& res) {
    std::string keyword, provinceName;
    int page = 1;
    if (!parseAlibabaListingPath(path, keyword, provinceName, page)) return answerError(res, 404);
    std::string code = provinceName.empty() ? "000000" : provinces::codeOf(provinceName);
    auto set = catalog_.set(keyword, normalizedProvinceCode(code));
    const Fault* fault = findFault(options_.faults, 2, Fault::Listing, page);
    std::string body = alibabaListingPage(*set, provinceName, page, options_.pageSize, address_,
                                          options_.pageBytes, damageOf(fault));
    answer(res, std::move(body), fault, context(static_cast<std::uint64_t>(page) + 77));
}

void RequestRouter::alibabaDetail(std::string_view path, httplib::Response& res) {
    std::uint64_t id = 0;
    if (!parseAlibabaContactPath(path, id)) return answerError(res, 404);
    std::optional<CompanyRef> ref = catalog_.byAlibabaId(id);
    if (!ref) return answerError(res, 404);
    int index = ref->poolIndex - ref->set->alibabaShift + 1;
    const Fault* fault = findFault(options_.faults, 2, Fault::Detail, index);
    PageDamage damage = damageOf(fault);
    std::string body = alibabaDetailPage(alibabaServed(ref->company(), damage), id, address_,
                                         options_.pageBytes, damage);
    answer(res, std::move(body), fault, context(id));
}

void RequestRouter::webSearch(const std::string& target, httplib::Response& res) {
    RawQuery query = splitQuery(target);
    auto raw =
        std::find_if(query.begin(), query.end(), [](const auto& p) { return p.first == "word"; });
    if (raw != query.end() && !isMailQuery(raw->second)) return keywordSearch(query, res);
    std::string word, name;
    queryValue(query, "word", word);
    // A query of another form is a search for nothing the sites know.
    if (!searchedName(word, name)) name.clear();
    int index = name.empty() ? 0 : catalog_.regionalIndexOfName(name);
    const Fault* fault = findFault(options_.faults, 0, Fault::Search, index);
    std::string body = searchResultPage(name, address_, catalog_.seed(), damageOf(fault));
    answer(res, std::move(body), fault, context(fnv1a(name)));
}

void RequestRouter::keywordSearch(const RawQuery& query, httplib::Response& res) {
    std::string word, pn;
    queryValue(query, "word", word);
    queryValue(query, "pn", pn);
    int page = resultPageOf(pn, options_.pageSize);
    std::vector<int> found = foundHomepages(word, catalog_.seed(), options_.companies,
                                            static_cast<int>(demoHomepages().size()));
    const Fault* fault = findFault(options_.faults, 1, Fault::Listing, page);
    std::string body = keywordResultPage(word, found, page, options_.pageSize, address_,
                                         options_.pageBytes, damageOf(fault));
    answer(res, std::move(body), fault, context(fnv1a(word) + static_cast<std::uint64_t>(page)));
}

void RequestRouter::homepage(std::string_view path, httplib::Response& res) {
    std::string page;
    if (!homepageForPath(path, page)) return answerError(res, 404);
    int n = homepageNumber(path);
    const Fault* fault = findFault(options_.faults, 1, Fault::Detail, n);
    damageFooter(page, damageOf(fault));
    answer(res, std::move(page), fault, context(static_cast<std::uint64_t>(n) + 991));
}

void RequestRouter::hit(std::string_view path, httplib::Response& res) {
    std::string name;
    int n = 0;
    if (!parseHitPath(path, name, n)) return answerError(res, 404);
    int index = catalog_.regionalIndexOfName(name);
    const Fault* fault = findFault(options_.faults, 0, Fault::Hit, index);
    std::string body = hitPage(name, n, catalog_.seed(), damageOf(fault));
    answer(res, std::move(body), fault, context(fnv1a(name) + static_cast<std::uint64_t>(n)));
}

void RequestRouter::index(httplib::Response& res) {
    static const std::string kPage = gbk::fromUtf8(
        "<html><head><title>Velmora 演示站点</title></head><body>\r\n<h2>Velmora 演示站点</h2>\r\n"
        "<ul>\r\n<li>地区企业名录：/main/corp/queryr.asp?&amp;area2=000000&amp;corpname=关键词"
        "&amp;page=1</li>\r\n<li>公司库：/company/k-关键词_n-y.html</li>\r\n"
        "<li>网页搜索：/baidu?word=\"公司名称\"+mail</li>\r\n"
        "<li>网页搜索（关键词）：/baidu?word=关键词+省份</li>\r\n</ul>\r\n</body></html>\r\n");
    res.set_content(kPage, kGbkHtml);
}

}  // namespace velmora::demo

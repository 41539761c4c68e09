#include "demo/demo_sites.h"

#include <httplib.h>

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "demo/alibaba/page_layout_alibaba.h"
#include "demo/company_catalog.h"
#include "demo/detaildirectory/expected_detaildirectory.h"
#include "demo/detaildirectory/page_layout_detaildirectory.h"
#include "demo/expected_records.h"
#include "demo/fault_response.h"
#include "demo/portal/page_layout_portal.h"
#include "demo/regional/page_layout_regional.h"
#include "demo/request_router.h"
#include "demo/scriptdirectory/script_directory_look.h"
#include "demo/site_switches.h"
#include "demo/spawning_task_queue.h"
#include "demo/stop_signal.h"
#include "demo/stoppable_server.h"
#include "demo/websearch/web_search_records.h"
#include "demo/yellowpages/page_layout_yellowpages.h"

namespace velmora::demo {
namespace {

constexpr std::size_t kKeepAliveRequests = 1000;
constexpr time_t kKeepAliveSeconds = 5;

}  // namespace

class DemoSites::Impl {
  public:
    explicit Impl(DemoOptions options)
        : options_(std::move(options)), catalog_(options_.companies, options_.seed) {
        if (options_.pageSize < 1) options_.pageSize = 1;
        server_.new_task_queue = [] { return new SpawningTaskQueue; };
        // Connections are kept alive as real servers keep them, with a short
        // idle time-out; a stop ends the idle ones at once (stop()).
        server_.set_keep_alive_max_count(kKeepAliveRequests);
        server_.set_keep_alive_timeout(kKeepAliveSeconds);
        // Every request goes to the router; a POST only once its body has
        // been read, which the server does after the pre-routing handler.
        server_.set_pre_routing_handler(
            [this](const httplib::Request& req, httplib::Response& res) {
                if (req.method == "POST") return httplib::Server::HandlerResponse::Unhandled;
                serve(req, res);
                return httplib::Server::HandlerResponse::Handled;
            });
        server_.Post(
            ".*", [this](const httplib::Request& req, httplib::Response& res) { serve(req, res); });

        if (options_.port == 0) {
            port_ = server_.bind_to_any_port("127.0.0.1");
        } else if (server_.bind_to_port("127.0.0.1", options_.port)) {
            port_ = options_.port;
        }
        if (port_ <= 0)
            throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(options_.port));
        address_ = "http://127.0.0.1:" + std::to_string(port_);
        router_ = std::make_unique<RequestRouter>(options_, catalog_, stop_, address_);

        thread_ = std::thread([this] {
            server_.listen_after_bind();
            listenEnded_.store(true);
        });
        // stop() only reaches a server that is already running.
        while (!server_.is_running() && !listenEnded_.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (listenEnded_.load()) {
            thread_.join();
            throw std::runtime_error("the demo server did not start on " + address_);
        }
    }

    ~Impl() { stop(); }

    void serve(const httplib::Request& req, httplib::Response& res) {
        requests_.fetch_add(1);
        {
            std::lock_guard lock(logMutex_);
            // Bounded, for a program that serves for days.
            if (log_.size() < kMaxLogged)
                log_.push_back(
                    {std::chrono::steady_clock::now(), req.method, req.target, req.body});
            mostAtOnce_ = std::max(mostAtOnce_, ++atOnce_);
        }
        // The stand-in for the network's latency: every answer waits first.
        if (options_.latencyMs > 0 &&
            !stop_.waitFor(std::chrono::milliseconds(options_.latencyMs))) {
            answerError(res, 503);
        } else if (!failTransiently(options_.flaky, options_.seed, req, answers_, stop_, res)) {
            router_->handle(req, res);
            std::string_view path(req.target);
            serveAsUtf8IfChosen(options_.utf8Sites, path.substr(0, path.find('?')), res);
        }
        if (!options_.gzip) keepUncompressed(res);
        std::lock_guard lock(logMutex_);
        --atOnce_;
    }

    void stop() {
        std::lock_guard lock(stopMutex_);
        if (stopped_) return;
        stopped_ = true;
        stop_.stop();  // first: ends the waits of delayed and hanging answers
        server_.stop();
        // Connection threads waiting on idle kept-alive connections end at
        // once, and any accepted just before the stop close unserved.
        server_.endConnections();
        if (thread_.joinable()) thread_.join();
    }

    std::vector<DemoCompany> expected(int source, const std::string& keyword,
                                      const std::string& provinceCode) {
        std::vector<DemoCompany> out;
        if (source == 1) {
            for (auto& r : webSearchRecords(keyword, provinceCode, options_, address_))
                out.push_back(std::move(r.record));
            return out;
        }
        std::string code = normalizedProvinceCode(provinceCode.empty() ? "000000" : provinceCode);
        if (source == 5)
            return portalRecords(*catalog_.set(keyword, code), options_.pageSize, address_,
                                 options_.seed);
        if (source == 6)
            return yellowPagesRecords(*catalog_.set(keyword, code), address_, options_.seed);
        if (source < 2 || source > 7) return out;
        auto set = catalog_.set(keyword, code);
        for (int i = 0; i < set->perSource; ++i) {
            if (source == 3) {
                const Company& c = set->pool[static_cast<std::size_t>(scriptPoolIndex(*set, i))];
                PageDamage damage = damageOf(findFault(options_.faults, 3, Fault::Detail, i + 1));
                out.push_back(scriptRecord(scriptServed(c, damage), damage));
                continue;
            }
            const Company& c = set->pool[static_cast<std::size_t>(set->poolIndex(source, i))];
            const Fault* fault = findFault(options_.faults, source, Fault::Detail, i + 1);
            PageDamage damage = damageOf(fault);
            if (source == 4)
                out.push_back(detailDirectoryRecord(detailDirectoryServed(c, damage), damage,
                                                    address_, options_.seed));
            else if (source == 7)
                out.push_back(regionalRecord(regionalServed(c, damage), address_, options_.seed));
            else
                out.push_back(alibabaRecord(alibabaServed(c, damage), damage));
        }
        return out;
    }

    DemoOptions options_;
    CompanyCatalog catalog_;
    StopSignal stop_;
    StoppableServer server_;
    std::unique_ptr<RequestRouter> router_;
    std::thread thread_;
    std::atomic<bool> listenEnded_{false};
    std::atomic<long long> requests_{0};
    int port_ = -1;
    std::string address_;
    std::mutex stopMutex_;
    bool stopped_ = false;
    AnswerCounter answers_;
    static constexpr std::size_t kMaxLogged = 1000000;
    mutable std::mutex logMutex_;
    std::vector<RequestRecord> log_;
    int atOnce_ = 0;
    int mostAtOnce_ = 0;
};

DemoSites::DemoSites(DemoOptions options) : impl_(std::make_unique<Impl>(std::move(options))) {}

DemoSites::~DemoSites() = default;

int DemoSites::port() const {
    return impl_->port_;
}

std::string DemoSites::address() const {
    return impl_->address_;
}

SiteConfig DemoSites::siteConfig() const {
    SiteConfig config;
    config.regional = address();
    config.alibaba = address();
    config.portal = address();
    config.yellowPages = address() + "/yp/search.aspx";
    config.yellowPagesBase = address() + "/yp";
    config.websearch = address();
    config.scriptDirectory = address() + std::string(kScriptSearchPath);
    config.detailDirectory = address() + "/qiye/search.php";
    config.publisherHome.clear();
    config.probe.clear();
    return config;
}

std::vector<DemoCompany> DemoSites::expected(int source, const std::string& gbkKeyword,
                                             const std::string& provinceCode) const {
    return impl_->expected(source, gbkKeyword, provinceCode);
}

int DemoSites::pageCount(int source, const std::string& gbkKeyword,
                         const std::string& provinceCode) const {
    if (source == 1) return webSearchPageCount(gbkKeyword, provinceCode, impl_->options_);
    std::string code = normalizedProvinceCode(provinceCode.empty() ? "000000" : provinceCode);
    if (source == 5)
        return portalPageCount(*impl_->catalog_.set(gbkKeyword, code), impl_->options_.pageSize);
    if (source == 6)
        return yellowPagesPageCount(*impl_->catalog_.set(gbkKeyword, code),
                                    impl_->options_.pageSize);
    if (source != 2 && source != 3 && source != 4 && source != 7) return 0;
    return velmora::demo::pageCount(impl_->options_.companies, impl_->options_.pageSize);
}

std::vector<int> DemoSites::webSearchResultPages(const std::string& gbkKeyword,
                                                 const std::string& provinceCode) const {
    std::vector<int> pages;
    for (const auto& r : webSearchRecords(gbkKeyword, provinceCode, impl_->options_, address()))
        pages.push_back(r.resultPage);
    return pages;
}

long long DemoSites::requestCount() const {
    return impl_->requests_.load();
}

std::vector<RequestRecord> DemoSites::requestLog() const {
    std::lock_guard lock(impl_->logMutex_);
    return impl_->log_;
}

int DemoSites::mostAtOnce() const {
    std::lock_guard lock(impl_->logMutex_);
    return impl_->mostAtOnce_;
}

void DemoSites::stop() {
    impl_->stop();
}

const DemoOptions& DemoSites::options() const {
    return impl_->options_;
}

}  // namespace velmora::demo

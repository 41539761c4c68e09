// How pages travel: compressed answers, and requests through a proxy (set in
// sites.ini or by the environment), for the harvest and the network check.
#include <gtest/gtest.h>
#include <httplib.h>
#include <zlib.h>

#include <cstdlib>
#include <optional>
#include <thread>

#include "app/engine/run_control.h"
#include "demo/demo_sites.h"
#include "platform/gbk.h"
#include "platform/http_client.h"
#include "platform/proxy_route.h"
#include "platform/queue_executor.h"
#include "sources/registry.h"
#include "support/forwarding_proxy.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using testing::ForwardingProxy;

// gzip (windowBits 31) or zlib-wrapped deflate (15), as HTTP names them.
std::string compressed(const std::string& data, int windowBits) {
    z_stream z{};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, data.size()) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

class Transport : public ::testing::Test {
  protected:
    void SetUp() override {
        server.Get("/encoded", [this](const httplib::Request& req, httplib::Response& res) {
            acceptEncoding = req.get_header_value("Accept-Encoding");
            std::string kind = req.get_param_value("as");
            res.set_header("Content-Encoding", kind);
            res.set_content(compressed(plain, kind == "gzip" ? 31 : 15), "text/html");
        });
        server.Get("/bomb", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Content-Encoding", "gzip");
            res.set_content(compressed(std::string(4 << 20, 'a'), 31), "text/html");
        });
        port = server.bind_to_any_port("127.0.0.1");
        thread = std::thread([this] { server.listen_after_bind(); });
        while (!server.is_running()) std::this_thread::sleep_for(1ms);
    }
    void TearDown() override {
        server.stop();
        thread.join();
    }
    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port) + path;
    }

    const std::string plain = std::string(3000, 'x') + "\xC1\xAA\xCF\xB5";
    std::string acceptEncoding;
    httplib::Server server;
    std::thread thread;
    int port = 0;
};

TEST_F(Transport, GzipAndDeflateAnswersArriveDecodedWithinTheCap) {
    HttpOptions options;
    options.maxBodyBytes = 1 << 20;
    auto client = makeCurlHttpClient(options);
    EXPECT_EQ(client->get(url("/encoded?as=gzip")), plain);
    EXPECT_EQ(acceptEncoding, "gzip, deflate");
    EXPECT_EQ(client->get(url("/encoded?as=deflate")), plain);
    // A few kilobytes on the wire, four megabytes decoded: over the cap.
    try {
        client->get(url("/bomb"));
        ADD_FAILURE() << "an oversized decoded page was accepted";
    } catch (const HttpError& e) {
        EXPECT_EQ(e.kind(), HttpFailure::Permanent) << e.what();
    }
}

// What the demo sites answer a client that accepts gzip.
std::string encodingOf(const demo::DemoSites& sites) {
    httplib::Client client("127.0.0.1", sites.port());
    client.set_decompress(false);
    auto answer = client.Get("/main/corp/queryr.asp?&area2=000000&corpname=%CA%D6&page=1",
                             {{"Accept-Encoding", "gzip, deflate"}});
    return answer ? answer->get_header_value("Content-Encoding") : "no answer";
}

TEST(CompressedSites, AHarvestOfCompressingSitesGivesTheSameList) {
    demo::DemoOptions options;
    options.companies = 20;
    demo::DemoSites plain(options);
    EXPECT_EQ(encodingOf(plain), "");
    options.gzip = true;
    demo::DemoSites compressing(options);
    EXPECT_EQ(encodingOf(compressing), "gzip");
    for (int source : {7, 2}) {
        QueueExecutor main;
        CompanyList list;
        SiteConfig config = compressing.siteConfig();
        RunControl run(main, list, config, makeSources(config));
        std::string keyword = gbk::fromUtf8("手机");
        ASSERT_TRUE(run.searchStart(keyword, "", {source}));
        ASSERT_TRUE(main.runUntil([&] { return !run.searching(); }, 30s));
        auto expected = compressing.expected(source, keyword, "");
        ASSERT_EQ(list.size(), expected.size());
        for (size_t i = 0; i < list.size(); ++i)
            EXPECT_EQ(std::string(list.field(i, Column::Name)), expected[i][Field::Name]);
    }
}

// A harvest of one source through the proxy, with its list.
size_t harvestThrough(const demo::DemoSites& sites, const std::string& proxy) {
    SiteConfig config = sites.siteConfig();
    config.http.proxy = proxy;
    config.http.retries = 0;
    QueueExecutor main;
    CompanyList list;
    RunControl run(main, list, config, makeSources(config));
    EXPECT_TRUE(run.searchStart(gbk::fromUtf8("手机"), "", {7}));
    EXPECT_TRUE(main.runUntil([&] { return !run.searching(); }, 30s));
    return list.size();
}

// Clears the proxy variables for a test and restores them afterwards.
class ProxyEnvironment {
  public:
    ProxyEnvironment() {
        for (const char* name : kNames) {
            const char* v = std::getenv(name);
            saved_.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
            ::unsetenv(name);
        }
    }
    ~ProxyEnvironment() {
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name, value->c_str(), 1);
            else
                ::unsetenv(name);
        }
    }

  private:
    static constexpr const char* kNames[] = {"http_proxy", "https_proxy", "HTTPS_PROXY",
                                             "all_proxy",  "ALL_PROXY",   "no_proxy",
                                             "NO_PROXY"};
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST(Proxy, EverySourceRequestGoesThroughTheConfiguredProxy) {
    ProxyEnvironment clean;
    demo::DemoOptions options;
    options.companies = 10;
    demo::DemoSites sites(options);
    ForwardingProxy proxy("velmora", "s3cret");
    EXPECT_EQ(harvestThrough(sites, proxy.address()), 10u);
    EXPECT_EQ(static_cast<long long>(proxy.forwarded().size()), sites.requestCount());
    EXPECT_TRUE(proxy.forwarded().front().starts_with("GET " + sites.address() + "/main/corp/"));
    // Without the password the proxy refuses, and nothing reaches the sites.
    long long before = sites.requestCount();
    EXPECT_EQ(harvestThrough(sites, proxy.address(false)), 0u);
    EXPECT_GT(proxy.refused(), 0);
    EXPECT_EQ(sites.requestCount(), before);
}

TEST(Proxy, WithoutAProxyOfItsOwnTheEnvironmentApplies) {
    ProxyEnvironment clean;
    demo::DemoOptions options;
    options.companies = 5;
    demo::DemoSites sites(options);
    ForwardingProxy proxy;
    ::setenv("http_proxy", proxy.address().c_str(), 1);
    EXPECT_EQ(proxyFor(sites.address() + "/x", ""), proxy.address());
    EXPECT_EQ(harvestThrough(sites, ""), 5u);
    EXPECT_EQ(static_cast<long long>(proxy.forwarded().size()), sites.requestCount());
    // no_proxy names the host: straight to the site.
    ::setenv("no_proxy", "example.org, 127.0.0.1", 1);
    EXPECT_EQ(proxyFor(sites.address() + "/x", ""), "");
    EXPECT_EQ(proxyFor("http://www.example.org/", "http://configured:1"), "");
    EXPECT_EQ(proxyFor("http://www.example.com/", "http://configured:1"), "http://configured:1");
    ::setenv("no_proxy", "*", 1);
    EXPECT_EQ(proxyFor("http://www.example.com/", ""), "");
}

TEST(Proxy, TheNetworkCheckAsksThroughTheProxy) {
    ProxyEnvironment clean;
    demo::DemoSites sites;
    ForwardingProxy proxy;
    std::atomic<bool> cancel{false};
    HttpOptions http;
    EXPECT_TRUE(probeThroughProxy(sites.address() + "/", proxy.address(), http, 5s, cancel));
    ASSERT_EQ(proxy.forwarded().size(), 1u);
    EXPECT_EQ(proxy.forwarded()[0], "HEAD " + sites.address() + "/");
    // The proxy answers, the site behind it does not: not connected.
    std::string gone = sites.address();
    sites.stop();
    EXPECT_FALSE(probeThroughProxy(gone + "/", proxy.address(), http, 5s, cancel));
    // No proxy listening at all.
    EXPECT_FALSE(probeThroughProxy(gone + "/", gone, http, 5s, cancel));
}

}  // namespace
}  // namespace velmora

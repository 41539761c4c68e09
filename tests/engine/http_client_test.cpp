#include "platform/http_client.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <future>
#include <thread>

namespace velmora {
namespace {

using namespace std::chrono_literals;

// A loopback server whose handlers each test sets up.
class HttpFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        server.set_tcp_nodelay(true);
        server.Get("/hang", [this](const httplib::Request&, httplib::Response& res) {
            std::unique_lock lock(mutex);
            released.wait(lock, [this] { return closing; });
            res.set_content("late", "text/html");
        });
    }
    void start() {
        port = server.bind_to_any_port("127.0.0.1");
        thread = std::thread([this] { server.listen_after_bind(); });
        while (!server.is_running()) std::this_thread::sleep_for(1ms);
    }
    void TearDown() override {
        {
            std::lock_guard lock(mutex);
            closing = true;
        }
        released.notify_all();
        server.stop();
        if (thread.joinable()) thread.join();
    }
    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port) + path;
    }

    httplib::Server server;
    std::thread thread;
    int port = 0;
    std::mutex mutex;
    std::condition_variable released;
    bool closing = false;
};

TEST_F(HttpFixture, GetReturnsRawBytesAndSendsTheClientsHeaders) {
    httplib::Headers seen;
    server.Get("/p", [&](const httplib::Request& req, httplib::Response& res) {
        seen = req.headers;
        res.set_content(std::string("\xB1\xB1\x00\xFF", 4), "text/html; charset=gbk");
    });
    start();
    auto client = makeCurlHttpClient(HttpOptions{});
    EXPECT_EQ(client->get(url("/p")), std::string("\xB1\xB1\x00\xFF", 4));
    EXPECT_EQ(seen.find("User-Agent")->second, "Mozilla/4.0 (compatible; Indy Library)");
    EXPECT_EQ(seen.find("Accept")->second, "text/html, */*");
    EXPECT_EQ(seen.find("Content-Type")->second, "text/html");
}

TEST_F(HttpFixture, PostSendsEncodedFormFieldsInOrder) {
    std::string body, type;
    server.Post("/f", [&](const httplib::Request& req, httplib::Response& res) {
        body = req.body;
        type = req.get_header_value("Content-Type");
        res.set_content("ok", "text/html");
    });
    start();
    auto client = makeCurlHttpClient(HttpOptions{});
    EXPECT_EQ(client->post(url("/f"), {{"keyWord", "\xCA\xD6 a"}, {"page", "0"}}), "ok");
    EXPECT_EQ(body, "keyWord=%CA%D6+a&page=0");
    EXPECT_EQ(type, "application/x-www-form-urlencoded");
}

TEST_F(HttpFixture, ErrorStatusesAndRedirectsAreErrors) {
    server.Get("/500", [](const httplib::Request&, httplib::Response& res) { res.status = 500; });
    server.Get("/302", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/elsewhere");
    });
    server.Get("/elsewhere", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("followed", "text/html");
    });
    start();
    auto client = makeCurlHttpClient(HttpOptions{});
    EXPECT_THROW(client->get(url("/500")), HttpError);
    EXPECT_THROW(client->get(url("/302")), HttpError);
    EXPECT_THROW(client->get(url("/missing")), HttpError);
    EXPECT_EQ(client->get(url("/elsewhere")), "followed");  // the client still works after errors
}

TEST_F(HttpFixture, APageLargerThanTheCapIsAnError) {
    server.Get("/big", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string(200000, 'x'), "text/html");
    });
    server.Get("/chunked", [](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("text/html", [](size_t offset, httplib::DataSink& sink) {
            if (offset >= 300000) {
                sink.done();
                return true;
            }
            std::string chunk(10000, 'y');
            sink.write(chunk.data(), chunk.size());
            return true;
        });
    });
    start();
    HttpOptions options;
    options.maxBodyBytes = 100000;
    auto client = makeCurlHttpClient(options);
    EXPECT_THROW(client->get(url("/big")), HttpError);
    EXPECT_THROW(client->get(url("/chunked")), HttpError);
}

TEST_F(HttpFixture, CookiesAreKeptPerClient) {
    server.Get("/set", [](const httplib::Request&, httplib::Response& res) {
        res.set_header("Set-Cookie", "session=abc; Path=/");
        res.set_content("set", "text/html");
    });
    server.Get("/echo", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content(req.get_header_value("Cookie"), "text/html");
    });
    start();
    auto one = makeCurlHttpClient(HttpOptions{});
    auto two = makeCurlHttpClient(HttpOptions{});
    one->get(url("/set"));
    EXPECT_EQ(one->get(url("/echo")), "session=abc");
    EXPECT_EQ(two->get(url("/echo")), "");
}

TEST_F(HttpFixture, UnsafeAddressBytesArePercentEscaped) {
    std::string target;
    server.Get("/q", [&](const httplib::Request& req, httplib::Response& res) {
        target = req.get_param_value("word");
        res.set_content("ok", "text/html");
    });
    start();
    auto client = makeCurlHttpClient(HttpOptions{});
    client->get(url("/q?word=\"\xB1\xB1 x\"+mail"));
    // The server decodes what the raw-byte address meant ("+" stays a plus
    // sign in the raw address; httplib reads it as a space in a query).
    EXPECT_EQ(target, "\"\xB1\xB1 x\" mail");
    EXPECT_EQ(escapeUnsafeUrlBytes("http://h/a b\x01\xFF\"|"), "http://h/a%20b%01%FF%22|");
}

TEST_F(HttpFixture, AbortEndsATransferThatNeverAnswers) {
    // Routes go in before the server runs: its threads read them unguarded.
    server.Get("/ok", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("ok", "text/html");
    });
    start();
    auto client = makeCurlHttpClient(HttpOptions{});
    auto result = std::async(std::launch::async, [&] {
        try {
            client->get(url("/hang"));
            return false;
        } catch (const HttpError&) {
            return true;
        }
    });
    std::this_thread::sleep_for(100ms);
    client->abort();
    ASSERT_EQ(result.wait_for(2s), std::future_status::ready);
    EXPECT_TRUE(result.get());
    // Aborted clients refuse until resumed.
    EXPECT_THROW(client->get(url("/hang")), HttpError);
    client->resume();
    EXPECT_EQ(client->get(url("/ok")), "ok");
}

TEST_F(HttpFixture, AStalledTransferIsAbandoned) {
    start();
    HttpOptions options;
    options.stallTimeout = 1s;
    auto client = makeCurlHttpClient(options);
    auto begin = std::chrono::steady_clock::now();
    EXPECT_THROW(client->get(url("/hang")), HttpError);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 10s);
}

TEST(HttpClient, ConnectionFailureIsAnError) {
    auto client = makeCurlHttpClient(HttpOptions{});
    // Port 1 on loopback: nothing listens there.
    EXPECT_THROW(client->get("http://127.0.0.1:1/"), HttpError);
    EXPECT_THROW(client->get("file:///etc/passwd"), HttpError);
}

}  // namespace
}  // namespace velmora

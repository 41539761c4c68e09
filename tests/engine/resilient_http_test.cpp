// Transient failures tried again inside the request, permanent ones not; the
// pause before each try; a stop ending a pause at once; and how the curl
// client tells the two kinds apart on real connections.
#include "platform/resilient_http_client.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <deque>
#include <future>
#include <thread>

namespace velmora {
namespace {

using namespace std::chrono_literals;

// Answers from a script: each entry a page or the failure to raise.
class ScriptedClient : public HttpClient {
  public:
    struct Answer {
        HttpFailure failure = HttpFailure::Permanent;
        bool fails = false;
        std::optional<std::chrono::seconds> retryAfter;
    };
    explicit ScriptedClient(std::deque<Answer> script, int* calls)
        : script_(std::move(script)), calls_(calls) {}
    std::string get(const std::string& url) override { return answer(url); }
    std::string post(const std::string& url, const text::FormFields&) override {
        return answer(url);
    }
    void abort() override {}
    void resume() override {}

  private:
    std::string answer(const std::string& url) {
        ++*calls_;
        Answer a = script_.empty() ? Answer{} : script_.front();
        if (!script_.empty()) script_.pop_front();
        if (a.fails) throw HttpError("scripted", a.failure, a.retryAfter);
        return "page of " + url;
    }
    std::deque<Answer> script_;
    int* calls_;
};

ScriptedClient::Answer fail(HttpFailure kind, std::optional<std::chrono::seconds> after = {}) {
    return {kind, true, after};
}

std::unique_ptr<HttpClient> resilient(std::deque<ScriptedClient::Answer> script, int* calls,
                                      int retries = 2, std::chrono::milliseconds pause = 1ms) {
    HttpOptions options;
    options.retries = retries;
    options.retryPause = pause;
    return makeResilientHttpClient(std::make_unique<ScriptedClient>(std::move(script), calls),
                                   options, std::make_shared<HostPacer>(0ms, 0));
}

TEST(ResilientHttp, TransientFailuresAreTriedAgainUpToTheBound) {
    const auto t = fail(HttpFailure::Transient);
    struct Case {
        std::deque<ScriptedClient::Answer> script;
        int retries;
        bool succeeds;
        int calls;
    };
    const Case cases[] = {
        {{}, 2, true, 1},
        {{t}, 2, true, 2},
        {{t, t}, 2, true, 3},
        {{t, t, t}, 2, false, 3},
        {{t}, 0, false, 1},
        {{fail(HttpFailure::Permanent)}, 2, false, 1},  // a 404, a redirect, a bad address
        {{t, fail(HttpFailure::Permanent)}, 5, false, 2},
    };
    for (const Case& c : cases) {
        int calls = 0;
        auto client = resilient(c.script, &calls, c.retries);
        if (c.succeeds) {
            // Exactly what a first-time success gives.
            EXPECT_EQ(client->get("http://h/p"), "page of http://h/p");
        } else {
            EXPECT_THROW(client->get("http://h/p"), HttpError);
        }
        EXPECT_EQ(calls, c.calls) << "retries " << c.retries;
    }
}

TEST(ResilientHttp, PauseDoublesWithJitterAndRetryAfterIsHonouredUpToAMinute) {
    EXPECT_EQ(retryPause(1, 500ms, std::nullopt, 1.0), 500ms);
    EXPECT_EQ(retryPause(2, 500ms, std::nullopt, 1.0), 1000ms);
    EXPECT_EQ(retryPause(3, 500ms, std::nullopt, 1.0), 2000ms);
    EXPECT_EQ(retryPause(2, 500ms, std::nullopt, 0.8), 800ms);
    EXPECT_EQ(retryPause(2, 500ms, std::nullopt, 1.2), 1200ms);
    EXPECT_EQ(retryPause(2, 500ms, std::nullopt, 9.0), 1200ms);  // jitter is bounded
    EXPECT_EQ(retryPause(40, 500ms, std::nullopt, 1.0), 60s);
    EXPECT_EQ(retryPause(1, 500ms, std::chrono::seconds(3), 1.2), 3s);
    EXPECT_EQ(retryPause(1, 500ms, std::chrono::seconds(0), 1.0), 0ms);
    EXPECT_EQ(retryPause(1, 500ms, std::chrono::seconds(3600), 1.0), 60s);
}

TEST(ResilientHttp, AStopEndsAPauseAtOnce) {
    int calls = 0;
    auto client = resilient({fail(HttpFailure::Transient, std::chrono::seconds(50))}, &calls, 2);
    auto begin = std::chrono::steady_clock::now();
    auto result = std::async(std::launch::async, [&] {
        try {
            client->get("http://h/p");
        } catch (const HttpError& e) {
            return e.kind();
        }
        return HttpFailure::Permanent;
    });
    std::this_thread::sleep_for(100ms);
    client->abort();
    ASSERT_EQ(result.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(result.get(), HttpFailure::Aborted);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 5s);
    EXPECT_EQ(calls, 1);
    client->resume();
    EXPECT_EQ(client->get("http://h/q"), "page of http://h/q");
}

TEST(ResilientHttp, HostsAndTheirDefaultBounds) {
    EXPECT_EQ(hostOf("http://User:pw@WWW.Example.com:8080/a?b"), "www.example.com");
    EXPECT_EQ(hostOf("https://[::1]:8443/x"), "::1");
    EXPECT_EQ(hostOf("http://127.0.0.1"), "127.0.0.1");
    HostPacer defaults(0ms, 0);
    EXPECT_EQ(defaults.boundFor("www.example.com"), kDefaultMaxPerHost);
    EXPECT_EQ(defaults.boundFor("127.0.0.1"), 0);  // unbounded
    EXPECT_EQ(defaults.boundFor("localhost"), 0);
    HostPacer given(0ms, 2);
    EXPECT_EQ(given.boundFor("127.0.0.1"), 2);
}

// A server for the failure kinds the curl client reports.
class Failures : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int status : {408, 429, 500, 502, 503, 504, 404, 403, 302}) {
            server.Get("/" + std::to_string(status),
                       [status](const httplib::Request&, httplib::Response& res) {
                           res.status = status;
                           if (status == 429 || status == 503) res.set_header("Retry-After", "7");
                           if (status == 302) res.set_header("Location", "/elsewhere");
                           res.set_content("x", "text/html");
                       });
        }
        server.Get("/drop", [](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(1000, "text/html", [](size_t, size_t, httplib::DataSink& s) {
                s.write("half", 4);
                return false;
            });
        });
        server.Get("/stall", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(1000, "text/html",
                                     [this](size_t, size_t, httplib::DataSink& s) {
                                         s.write("half", 4);
                                         std::unique_lock lock(mutex);
                                         released.wait(lock, [this] { return closing; });
                                         return false;
                                     });
        });
        server.Get("/stall-once", [this](const httplib::Request&, httplib::Response& res) {
            if (stalled.fetch_add(1) > 0) return res.set_content("late but whole", "text/html");
            res.set_content_provider(1000, "text/html",
                                     [this](size_t, size_t, httplib::DataSink& s) {
                                         s.write("half", 4);
                                         std::unique_lock lock(mutex);
                                         released.wait(lock, [this] { return closing; });
                                         return false;
                                     });
        });
        server.Get("/big", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(std::string(5000, 'x'), "text/html");
        });
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
        thread.join();
    }
    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port) + path;
    }
    HttpError failureOf(const std::string& address) {
        HttpOptions options;
        options.stallTimeout = 1s;
        options.maxBodyBytes = 1000;
        auto client = makeCurlHttpClient(options);
        try {
            client->get(address);
        } catch (const HttpError& e) {
            return e;
        }
        ADD_FAILURE() << address << " did not fail";
        return HttpError("none");
    }

    httplib::Server server;
    std::thread thread;
    int port = 0;
    std::mutex mutex;
    std::condition_variable released;
    bool closing = false;
    std::atomic<int> stalled{0};
};

// A port where a connection is refused, and one whose listener resets it.
int closedPort() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

TEST_F(Failures, TheCurlClientTellsTransientFromPermanent) {
    for (const char* path : {"/408", "/429", "/500", "/502", "/503", "/504", "/drop"})
        EXPECT_EQ(failureOf(url(path)).kind(), HttpFailure::Transient) << path;
    for (const char* path : {"/404", "/403", "/302", "/big"})
        EXPECT_EQ(failureOf(url(path)).kind(), HttpFailure::Permanent) << path;
    EXPECT_EQ(failureOf("http://127.0.0.1:" + std::to_string(closedPort()) + "/").kind(),
              HttpFailure::Transient);  // refused
    EXPECT_EQ(failureOf("http://bad host/").kind(), HttpFailure::Permanent);
    EXPECT_EQ(failureOf(url("/429")).retryAfter(), std::chrono::seconds(7));
    EXPECT_EQ(failureOf(url("/503")).retryAfter(), std::chrono::seconds(7));
    EXPECT_EQ(failureOf(url("/500")).retryAfter(), std::nullopt);
}

// A stall (nothing more of the body for the stall time-out) and a refused
// connection, each followed by a good answer.
TEST_F(Failures, AStallAndARefusedConnectionAreRecoveredByARetry) {
    HttpOptions options;
    options.stallTimeout = 1s;
    options.retries = 1;
    options.retryPause = 1ms;
    auto pacer = std::make_shared<HostPacer>(0ms, 0);
    auto client = makeResilientHttpClient(makeCurlHttpClient(options), options, pacer);
    EXPECT_EQ(client->get(url("/stall-once")), "late but whole");
    EXPECT_EQ(stalled.load(), 2);

    // Nothing listens on the port until a moment after the first try.
    int port = closedPort();
    httplib::Server late;
    late.Get("/", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("now open", "text/html");
    });
    std::thread opener([&] {
        std::this_thread::sleep_for(150ms);
        if (late.bind_to_port("127.0.0.1", port)) late.listen_after_bind();
    });
    options.retries = 5;
    options.retryPause = 100ms;
    auto patient = makeResilientHttpClient(makeCurlHttpClient(options), options, pacer);
    std::string page;
    EXPECT_NO_THROW(page = patient->get("http://127.0.0.1:" + std::to_string(port) + "/"));
    EXPECT_EQ(page, "now open");
    while (!late.is_running() && opener.joinable()) std::this_thread::sleep_for(1ms);
    late.stop();
    opener.join();
}

TEST_F(Failures, AConnectionResetIsTransient) {
    // A listener that resets every connection it accepts.
    int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    socklen_t len = sizeof a;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&a), &len);
    ::listen(listener, 4);
    std::thread resetter([listener] {
        int fd = ::accept(listener, nullptr, nullptr);
        if (fd < 0) return;
        char buffer[512];
        (void)::recv(fd, buffer, sizeof buffer, 0);
        linger hard{1, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
        ::close(fd);
    });
    HttpError e = failureOf("http://127.0.0.1:" + std::to_string(ntohs(a.sin_port)) + "/");
    resetter.join();
    ::close(listener);
    EXPECT_EQ(e.kind(), HttpFailure::Transient) << e.what();
}

}  // namespace
}  // namespace velmora

#pragma once
// What makes a harvest of real sites as complete as one of the demo sites
// without hammering them: a client around another that tries a transiently
// failed request again after a growing pause, and a pacer, shared by all
// clients of a run, that spaces the requests to one host and bounds how many
// are in flight to it. A stop (abort) ends a pause or a wait for a turn at once.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/http_client.h"

namespace velmora {

// The bound of a pause that a server's Retry-After asks for.
inline constexpr std::chrono::seconds kMaxRetryAfter{60};
// Requests in flight to one host when sites.ini names no bound.
inline constexpr int kDefaultMaxPerHost = 4;

class HostPacer {
  public:
    // `maxPerHost` 0: kDefaultMaxPerHost, and loopback hosts unbounded.
    HostPacer(std::chrono::milliseconds minInterval, int maxPerHost);

    // Waits for a turn at `host`: fewer than the bound in flight there, and
    // the interval since the last start over. False, without a turn, once
    // `cancel` is true (checked whenever wake() is called).
    bool acquire(const std::string& host, const std::atomic<bool>& cancel);
    void release(const std::string& host);
    // Makes every waiter look at its cancel flag again.
    void wake();

    int boundFor(const std::string& host) const;

  private:
    using Clock = std::chrono::steady_clock;
    struct Host {
        int inFlight = 0;
        Clock::time_point nextStart{};
    };
    std::chrono::milliseconds minInterval_;
    int maxPerHost_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::unordered_map<std::string, Host> hosts_;
};

// The host name of an address, lower-cased, without user, port or path.
std::string hostOf(std::string_view url);
bool isLoopbackHost(std::string_view host);

// The pause before the n-th further try (n >= 1): `base` doubled n - 1 times,
// times `jitter` (0.8 to 1.2), at most kMaxRetryAfter; or the Retry-After
// the server asked for, at most kMaxRetryAfter.
std::chrono::milliseconds retryPause(int n, std::chrono::milliseconds base,
                                     std::optional<std::chrono::seconds> retryAfter, double jitter);

// Wraps `inner`: retries and pacing as `options` say (retries, retryPause,
// minInterval and maxPerHost are read; the rest is the inner client's).
std::unique_ptr<HttpClient> makeResilientHttpClient(std::unique_ptr<HttpClient> inner,
                                                    const HttpOptions& options,
                                                    std::shared_ptr<HostPacer> pacer);

}  // namespace velmora

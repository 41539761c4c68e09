#include "platform/resilient_http_client.h"

#include <algorithm>
#include <atomic>
#include <random>

namespace velmora {
namespace {

using Clock = std::chrono::steady_clock;

double drawJitter() {
    thread_local std::mt19937 random{std::random_device{}()};
    return std::uniform_real_distribution<double>(0.8, 1.2)(random);
}

class ResilientHttpClient : public HttpClient {
  public:
    ResilientHttpClient(std::unique_ptr<HttpClient> inner, const HttpOptions& options,
                        std::shared_ptr<HostPacer> pacer)
        : inner_(std::move(inner)),
          retries_(std::max(options.retries, 0)),
          pauseBase_(options.retryPause),
          pacer_(std::move(pacer)) {}

    std::string get(const std::string& url) override { return getPage(url).body; }
    std::string post(const std::string& url, const text::FormFields& fields) override {
        return postPage(url, fields).body;
    }
    HttpPage getPage(const std::string& url) override {
        return withRetries(url, [&] { return inner_->getPage(url); });
    }
    HttpPage postPage(const std::string& url, const text::FormFields& fields) override {
        // The same body goes out again: a page number counted when the
        // request was built is not counted twice.
        return withRetries(url, [&] { return inner_->postPage(url, fields); });
    }

    void abort() override {
        {
            std::lock_guard lock(mutex_);
            aborted_.store(true);
        }
        inner_->abort();
        woken_.notify_all();
        if (pacer_) pacer_->wake();
    }

    void resume() override {
        aborted_.store(false);
        inner_->resume();
    }

  private:
    // Holds a turn at a host for the length of one try.
    class Turn {
      public:
        Turn(HostPacer* pacer, const std::string& host, const std::atomic<bool>& cancel)
            : pacer_(pacer), host_(host) {
            if (pacer_ && !pacer_->acquire(host_, cancel))
                throw HttpError("aborted", HttpFailure::Aborted);
        }
        ~Turn() {
            if (pacer_) pacer_->release(host_);
        }
        Turn(const Turn&) = delete;
        Turn& operator=(const Turn&) = delete;

      private:
        HostPacer* pacer_;
        const std::string& host_;
    };

    template <typename Fetch>
    HttpPage withRetries(const std::string& url, Fetch fetch) {
        const std::string host = hostOf(url);
        for (int tried = 0;; ++tried) {
            if (aborted_.load()) throw HttpError("aborted", HttpFailure::Aborted);
            try {
                Turn turn(pacer_.get(), host, aborted_);
                return fetch();
            } catch (const HttpError& e) {
                if (!e.transient() || tried >= retries_ || aborted_.load()) throw;
                pause(retryPause(tried + 1, pauseBase_, e.retryAfter(), drawJitter()));
            }
        }
    }

    void pause(std::chrono::milliseconds wait) {
        std::unique_lock lock(mutex_);
        if (woken_.wait_for(lock, wait, [this] { return aborted_.load(); }))
            throw HttpError("aborted", HttpFailure::Aborted);
    }

    std::unique_ptr<HttpClient> inner_;
    int retries_;
    std::chrono::milliseconds pauseBase_;
    std::shared_ptr<HostPacer> pacer_;
    std::atomic<bool> aborted_{false};
    std::mutex mutex_;
    std::condition_variable woken_;
};

}  // namespace

HostPacer::HostPacer(std::chrono::milliseconds minInterval, int maxPerHost)
    : minInterval_(std::max(minInterval, std::chrono::milliseconds(0))),
      maxPerHost_(std::max(maxPerHost, 0)) {}

int HostPacer::boundFor(const std::string& host) const {
    if (maxPerHost_ > 0) return maxPerHost_;
    // The demo sites and other local stand-ins serve every source from one
    // address; bounding them by default would only slow a harvest down.
    return isLoopbackHost(host) ? 0 : kDefaultMaxPerHost;
}

bool HostPacer::acquire(const std::string& host, const std::atomic<bool>& cancel) {
    int bound = boundFor(host);
    if (bound == 0 && minInterval_.count() == 0) return !cancel.load();
    std::unique_lock lock(mutex_);
    Host& h = hosts_[host];
    for (;;) {
        if (cancel.load()) return false;
        bool slot = bound == 0 || h.inFlight < bound;
        auto now = Clock::now();
        if (slot && now >= h.nextStart) {
            ++h.inFlight;
            h.nextStart = now + minInterval_;
            return true;
        }
        if (slot) {
            Clock::time_point until = h.nextStart;
            changed_.wait_until(lock, until);
        } else {
            changed_.wait(lock);
        }
    }
}

void HostPacer::release(const std::string& host) {
    if (boundFor(host) == 0 && minInterval_.count() == 0) return;
    {
        std::lock_guard lock(mutex_);
        auto it = hosts_.find(host);
        if (it != hosts_.end() && it->second.inFlight > 0) --it->second.inFlight;
    }
    changed_.notify_all();
}

void HostPacer::wake() {
    { std::lock_guard lock(mutex_); }
    changed_.notify_all();
}

std::string hostOf(std::string_view url) {
    if (auto scheme = url.find("://"); scheme != std::string_view::npos)
        url.remove_prefix(scheme + 3);
    url = url.substr(0, url.find_first_of("/?#"));
    if (auto at = url.rfind('@'); at != std::string_view::npos) url.remove_prefix(at + 1);
    std::string_view host = url;
    if (url.starts_with('[')) {  // [::1]:8080
        host = url.substr(1, url.find(']') - 1);
    } else if (auto colon = url.rfind(':'); colon != std::string_view::npos) {
        host = url.substr(0, colon);
    }
    std::string out(host);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool isLoopbackHost(std::string_view host) {
    return host == "localhost" || host == "::1" || host.starts_with("127.");
}

std::chrono::milliseconds retryPause(int n, std::chrono::milliseconds base,
                                     std::optional<std::chrono::seconds> retryAfter,
                                     double jitter) {
    using std::chrono::milliseconds;
    const milliseconds cap = kMaxRetryAfter;
    if (retryAfter) return std::min<milliseconds>(std::max(*retryAfter, {}), cap);
    double nominal = static_cast<double>(std::max(base.count(), milliseconds::rep{0})) *
                     static_cast<double>(1LL << std::clamp(n - 1, 0, 20)) *
                     std::clamp(jitter, 0.8, 1.2);
    if (nominal >= static_cast<double>(cap.count())) return cap;
    return milliseconds(static_cast<milliseconds::rep>(nominal));
}

std::unique_ptr<HttpClient> makeResilientHttpClient(std::unique_ptr<HttpClient> inner,
                                                    const HttpOptions& options,
                                                    std::shared_ptr<HostPacer> pacer) {
    return std::make_unique<ResilientHttpClient>(std::move(inner), options, std::move(pacer));
}

}  // namespace velmora

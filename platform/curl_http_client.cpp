// libcurl client: one easy handle driven through a multi handle, so that an
// abort from another thread wakes the wait at once (curl_multi_wakeup) and a
// stop never waits for a server that does not answer. The multi handle keeps
// the connection alive between requests; a source runs one client per step
// in flight, all with the cookies of one jar.
#include <curl/curl.h>

#include <array>
#include <atomic>
#include <memory>
#include <mutex>

#include "platform/http_client.h"

namespace velmora {
namespace {

struct EasyDeleter {
    void operator()(CURL* h) const { curl_easy_cleanup(h); }
};
struct MultiDeleter {
    void operator()(CURLM* h) const { curl_multi_cleanup(h); }
};
struct SlistDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

// Failures that another try may well not meet: the connection refused,
// reset or dropped in the middle of the body, a connect or stall time-out.
HttpFailure failureOf(CURLcode result) {
    switch (result) {
        case CURLE_COULDNT_CONNECT:
        case CURLE_OPERATION_TIMEDOUT:
        case CURLE_SEND_ERROR:
        case CURLE_RECV_ERROR:
        case CURLE_PARTIAL_FILE:
        case CURLE_GOT_NOTHING:
        case CURLE_HTTP2:
        case CURLE_HTTP2_STREAM:
            return HttpFailure::Transient;
        case CURLE_ABORTED_BY_CALLBACK:
            return HttpFailure::Aborted;
        default:
            return HttpFailure::Permanent;
    }
}

HttpFailure failureOfStatus(long status) {
    switch (status) {
        case 408:
        case 429:
        case 500:
        case 502:
        case 503:
        case 504:
            return HttpFailure::Transient;
        default:
            return HttpFailure::Permanent;
    }
}

void globalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// A curl share object holding the cookies, locked per data kind.
class CurlCookieJar : public CookieJar {
  public:
    CurlCookieJar() {
        globalInit();
        share_ = curl_share_init();
        if (share_ == nullptr) throw HttpError("cannot initialise libcurl");
        curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, &CurlCookieJar::lock);
        curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &CurlCookieJar::unlock);
        curl_share_setopt(share_, CURLSHOPT_USERDATA, this);
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    }
    ~CurlCookieJar() override { curl_share_cleanup(share_); }
    CURLSH* share() const { return share_; }

  private:
    static void lock(CURL*, curl_lock_data data, curl_lock_access, void* self) {
        static_cast<CurlCookieJar*>(self)->mutexes_[index(data)].lock();
    }
    static void unlock(CURL*, curl_lock_data data, void* self) {
        static_cast<CurlCookieJar*>(self)->mutexes_[index(data)].unlock();
    }
    static size_t index(curl_lock_data data) {
        auto i = static_cast<size_t>(data);
        return i < kKinds ? i : kKinds - 1;
    }

    static constexpr size_t kKinds = CURL_LOCK_DATA_LAST + 1;
    CURLSH* share_ = nullptr;
    std::array<std::mutex, kKinds> mutexes_;
};

class CurlHttpClient : public HttpClient {
  public:
    CurlHttpClient(const HttpOptions& options, std::shared_ptr<CookieJar> jar)
        : options_(options), jar_(std::move(jar)) {
        globalInit();
        easy_.reset(curl_easy_init());
        multi_.reset(curl_multi_init());
        if (!easy_ || !multi_) throw HttpError("cannot initialise libcurl");
        CURL* h = easy_.get();
        curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
        curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(h, CURLOPT_COOKIEFILE, "");  // cookie engine on, kept per client
        if (auto* jar = dynamic_cast<CurlCookieJar*>(jar_.get()))
            curl_easy_setopt(h, CURLOPT_SHARE, jar->share());
        curl_easy_setopt(h, CURLOPT_USERAGENT, options_.userAgent.c_str());
        curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS,
                         static_cast<long>(options_.connectTimeout.count()));
        long stallSeconds = static_cast<long>((options_.stallTimeout.count() + 999) / 1000);
        curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, stallSeconds < 1 ? 1L : stallSeconds);
        curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE,
                         static_cast<curl_off_t>(options_.maxBodyBytes));
        curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &CurlHttpClient::onBody);
        curl_easy_setopt(h, CURLOPT_WRITEDATA, this);
        // curl decodes; the body cap counts the decoded bytes (onBody).
        curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, "gzip, deflate");
        // Without a proxy of our own curl reads the proxy environment variables.
        if (!options_.proxy.empty()) curl_easy_setopt(h, CURLOPT_PROXY, options_.proxy.c_str());
    }

    std::string get(const std::string& url) override { return getPage(url).body; }
    std::string post(const std::string& url, const text::FormFields& fields) override {
        return postPage(url, fields).body;
    }

    HttpPage getPage(const std::string& url) override {
        CURL* h = easy_.get();
        curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
        return perform(url);
    }

    HttpPage postPage(const std::string& url, const text::FormFields& fields) override {
        CURL* h = easy_.get();
        std::string body = text::formBody(fields);
        curl_easy_setopt(h, CURLOPT_POST, 1L);
        curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        curl_easy_setopt(h, CURLOPT_COPYPOSTFIELDS, body.c_str());
        // Like the client it stands for, it keeps this content type afterwards.
        formContentType_ = true;
        return perform(url);
    }

    void abort() override {
        aborted_.store(true);
        curl_multi_wakeup(multi_.get());
    }

    void resume() override { aborted_.store(false); }

  private:
    static size_t onBody(char* data, size_t size, size_t count, void* self) {
        auto* client = static_cast<CurlHttpClient*>(self);
        size_t bytes = size * count;
        if (client->body_.size() + bytes > client->options_.maxBodyBytes) {
            client->tooLarge_ = true;
            return 0;  // makes curl fail the transfer
        }
        client->body_.append(data, bytes);
        return bytes;
    }

    HttpPage perform(const std::string& rawUrl) {
        if (aborted_.load()) throw HttpError("aborted", HttpFailure::Aborted);
        CURL* h = easy_.get();
        std::string url = escapeUnsafeUrlBytes(rawUrl);
        curl_easy_setopt(h, CURLOPT_URL, url.c_str());

        std::unique_ptr<curl_slist, SlistDeleter> headers;
        auto add = [&](const char* line) {
            headers.reset(curl_slist_append(headers.release(), line));
        };
        add("Accept: text/html, */*");
        add(formContentType_ ? "Content-Type: application/x-www-form-urlencoded"
                             : "Content-Type: text/html");
        add("Expect:");
        curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());

        body_.clear();
        tooLarge_ = false;
        CURLcode result = run();
        curl_easy_setopt(h, CURLOPT_HTTPHEADER, nullptr);

        if (tooLarge_ || result == CURLE_FILESIZE_EXCEEDED)
            throw HttpError("page larger than " + std::to_string(options_.maxBodyBytes) +
                            " bytes: " + rawUrl);
        if (result != CURLE_OK)
            throw HttpError(std::string(curl_easy_strerror(result)) + ": " + rawUrl,
                            failureOf(result));
        long status = 0;
        curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
        if (status >= 300) {
            std::optional<std::chrono::seconds> retryAfter;
            curl_off_t seconds = -1;
            if ((status == 429 || status == 503) &&
                curl_easy_getinfo(h, CURLINFO_RETRY_AFTER, &seconds) == CURLE_OK && seconds >= 0)
                retryAfter = std::chrono::seconds(seconds);
            throw HttpError("HTTP status " + std::to_string(status) + ": " + rawUrl,
                            failureOfStatus(status), retryAfter);
        }
        HttpPage page;
        page.body.swap(body_);
        char* type = nullptr;
        if (curl_easy_getinfo(h, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type != nullptr)
            page.contentType = type;
        return page;
    }

    // Drives the transfer; returns its result, or CURLE_ABORTED_BY_CALLBACK
    // when abort() was called meanwhile.
    CURLcode run() {
        CURLM* m = multi_.get();
        CURL* h = easy_.get();
        curl_multi_add_handle(m, h);
        CURLcode result = CURLE_ABORTED_BY_CALLBACK;
        for (;;) {
            if (aborted_.load()) break;
            int stillRunning = 0;
            if (curl_multi_perform(m, &stillRunning) != CURLM_OK) {
                result = CURLE_FAILED_INIT;
                break;
            }
            int queued = 0;
            bool finished = false;
            while (CURLMsg* msg = curl_multi_info_read(m, &queued)) {
                if (msg->msg == CURLMSG_DONE && msg->easy_handle == h) {
                    result = msg->data.result;
                    finished = true;
                }
            }
            if (finished) break;
            if (aborted_.load()) break;
            curl_multi_poll(m, nullptr, 0, 1000, nullptr);
        }
        curl_multi_remove_handle(m, h);
        return result;
    }

    HttpOptions options_;
    // Declared before the handle: the handle must go first.
    std::shared_ptr<CookieJar> jar_;
    std::unique_ptr<CURL, EasyDeleter> easy_;
    std::unique_ptr<CURLM, MultiDeleter> multi_;
    std::atomic<bool> aborted_{false};
    bool formContentType_ = false;
    bool tooLarge_ = false;
    std::string body_;
};

}  // namespace

std::shared_ptr<CookieJar> makeCookieJar() {
    return std::make_shared<CurlCookieJar>();
}

std::unique_ptr<HttpClient> makeCurlHttpClient(const HttpOptions& options,
                                               std::shared_ptr<CookieJar> jar) {
    return std::make_unique<CurlHttpClient>(options, std::move(jar));
}

std::string escapeUnsafeUrlBytes(const std::string& url) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(url.size());
    for (char c : url) {
        auto b = static_cast<unsigned char>(c);
        if (b <= 0x20 || b >= 0x7F || c == '"') {
            out.push_back('%');
            out.push_back(kHex[b >> 4]);
            out.push_back(kHex[b & 15]);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace velmora

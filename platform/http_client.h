#pragma once
// The HTTP client one source uses for all its requests. Bodies are raw bytes
// (no character-set conversion; compressed answers are decoded). Every
// failure raises HttpError, which tells a passing failure from a lasting one.
#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/form_encoding.h"

namespace velmora {

enum class HttpFailure {
    Permanent,  // another answer would be the same: 4xx, redirect, oversized, bad address
    Transient,  // worth another try: refused, reset, dropped, timed out, 408/429/5xx gateway
    Aborted,    // abort() was called
};

class HttpError : public std::runtime_error {
  public:
    explicit HttpError(const std::string& what, HttpFailure kind = HttpFailure::Permanent,
                       std::optional<std::chrono::seconds> retryAfter = std::nullopt)
        : std::runtime_error(what), kind_(kind), retryAfter_(retryAfter) {}
    HttpFailure kind() const { return kind_; }
    bool transient() const { return kind_ == HttpFailure::Transient; }
    // What a 429 or 503 answer's Retry-After asked for.
    std::optional<std::chrono::seconds> retryAfter() const { return retryAfter_; }

  private:
    HttpFailure kind_;
    std::optional<std::chrono::seconds> retryAfter_;
};

struct HttpOptions {
    std::string userAgent = "Mozilla/4.0 (compatible; Indy Library)";
    std::chrono::milliseconds connectTimeout{15000};
    // A transfer that receives nothing for this long is abandoned.
    std::chrono::milliseconds stallTimeout{30000};
    // Applies to the decoded body of a compressed answer too.
    std::size_t maxBodyBytes = 16u << 20;
    // http://, https:// or socks5:// address, user and password in it if
    // needed; empty: the proxy environment variables, as curl reads them.
    std::string proxy;

    // Read by the retrying and pacing client (resilient_http_client.h).
    int retries = 2;                            // further tries of a transient failure
    std::chrono::milliseconds retryPause{500};  // before the first; doubles, with jitter
    std::chrono::milliseconds minInterval{0};   // between request starts to one host
    int maxPerHost = 0;  // requests in flight to one host; 0: 4, loopback unbounded

    // Pages that declare another charset than GBK are converted to GBK
    // (page_charset.h).
    bool transcodePages = true;
};

// A fetched page with the answer's Content-Type header (empty when none).
struct HttpPage {
    std::string body;
    std::string contentType;
};

class HttpClient {
  public:
    virtual ~HttpClient() = default;

    // GET of `url`. Redirects are not followed: a 3xx answer is an error, as
    // is any HTTP error status, a connection failure, a time-out, a body
    // larger than the cap, or an abort.
    virtual std::string get(const std::string& url) = 0;

    // POST of the form fields as application/x-www-form-urlencoded.
    virtual std::string post(const std::string& url, const text::FormFields& fields) = 0;

    // The same requests, with the Content-Type the answer declared. A client
    // that cannot tell answers without it.
    virtual HttpPage getPage(const std::string& url) { return {get(url), {}}; }
    virtual HttpPage postPage(const std::string& url, const text::FormFields& fields) {
        return {post(url, fields), {}};
    }

    // Thread-safe. Aborts the transfer in flight at once and makes every
    // further request fail until resume().
    virtual void abort() = 0;
    virtual void resume() = 0;
};

// The cookies of one source, shared by all its connections (one client per
// step in flight), so that several connections act as one client towards the
// site. Thread-safe.
class CookieJar {
  public:
    virtual ~CookieJar() = default;
};
std::shared_ptr<CookieJar> makeCookieJar();

// libcurl-backed client; keeps its connection alive and its cookies between
// requests. With a jar, the cookies are those of the jar.
std::unique_ptr<HttpClient> makeCurlHttpClient(const HttpOptions& options,
                                               std::shared_ptr<CookieJar> jar = nullptr);

// Escapes the bytes that an address cannot carry raw (space, control bytes,
// '"', bytes >= 0x80) as %XX; everything else goes to the server unchanged.
std::string escapeUnsafeUrlBytes(const std::string& url);

}  // namespace velmora

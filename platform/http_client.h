#pragma once
// The HTTP client one source uses for all its requests. Bodies are raw bytes
// (no character-set conversion). Every failure raises HttpError.
#include <chrono>
#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/form_encoding.h"

namespace velmora {

class HttpError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct HttpOptions {
    std::string userAgent = "Mozilla/4.0 (compatible; Indy Library)";
    std::chrono::milliseconds connectTimeout{15000};
    // A transfer that receives nothing for this long is abandoned.
    std::chrono::milliseconds stallTimeout{30000};
    std::size_t maxBodyBytes = 16u << 20;
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

#include "platform/proxy_route.h"

#include <curl/curl.h>

#include <cstdlib>
#include <memory>

#include "platform/resilient_http_client.h"

namespace velmora {
namespace {

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool noProxyNames(const std::string& host) {
    std::string list = env("no_proxy");
    if (list.empty()) list = env("NO_PROXY");
    std::size_t from = 0;
    while (from <= list.size()) {
        std::size_t comma = list.find(',', from);
        if (comma == std::string::npos) comma = list.size();
        std::string entry = lowered(list.substr(from, comma - from));
        from = comma + 1;
        while (!entry.empty() && entry.front() == ' ') entry.erase(0, 1);
        while (!entry.empty() && entry.back() == ' ') entry.pop_back();
        if (entry == "*") return true;
        if (!entry.empty() && entry.front() == '.') entry.erase(0, 1);
        if (entry.empty()) continue;
        if (host == entry) return true;
        if (host.size() > entry.size() && host.ends_with(entry) &&
            host[host.size() - entry.size() - 1] == '.')
            return true;
    }
    return false;
}

}  // namespace

std::string proxyFor(std::string_view url, const std::string& configured) {
    std::string host = hostOf(url);
    if (noProxyNames(host)) return {};
    if (!configured.empty()) return configured;
    std::string scheme = lowered(url.substr(0, url.find("://")));
    std::string proxy;
    if (scheme == "https") {
        proxy = env("https_proxy");
        if (proxy.empty()) proxy = env("HTTPS_PROXY");
    } else if (scheme == "http") {
        proxy = env("http_proxy");  // curl ignores the upper-case name for plain http
    }
    if (proxy.empty()) proxy = env("all_proxy");
    if (proxy.empty()) proxy = env("ALL_PROXY");
    return proxy;
}

bool probeThroughProxy(const std::string& address, const std::string& proxy,
                       const HttpOptions& http, std::chrono::milliseconds timeout,
                       const std::atomic<bool>& cancel) {
    std::unique_ptr<CURL, void (*)(CURL*)> easy(curl_easy_init(), curl_easy_cleanup);
    if (!easy) return false;
    CURL* h = easy.get();
    curl_easy_setopt(h, CURLOPT_URL, address.c_str());
    curl_easy_setopt(h, CURLOPT_PROXY, proxy.c_str());
    curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(h, CURLOPT_USERAGENT, http.userAgent.c_str());
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(timeout.count()));
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &cancel);
    curl_easy_setopt(
        h, CURLOPT_XFERINFOFUNCTION,
        +[](void* flag, curl_off_t, curl_off_t, curl_off_t, curl_off_t) -> int {
            return static_cast<const std::atomic<bool>*>(flag)->load() ? 1 : 0;
        });
    if (curl_easy_perform(h) != CURLE_OK) return false;
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    return status > 0 && status != 407 && status != 502 && status != 503 && status != 504;
}

}  // namespace velmora

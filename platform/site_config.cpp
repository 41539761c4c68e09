#include "platform/site_config.h"

#include <fstream>
#include <sstream>

#include "platform/ini_file.h"

namespace velmora {
namespace {

struct AddressKey {
    const char* key;
    std::string SiteConfig::*field;
};

constexpr AddressKey kAddressKeys[] = {
    {"regional", &SiteConfig::regional},
    {"alibaba", &SiteConfig::alibaba},
    {"websearch", &SiteConfig::websearch},
    {"portal", &SiteConfig::portal},
    {"scriptdirectory", &SiteConfig::scriptDirectory},
    {"detaildirectory", &SiteConfig::detailDirectory},
    {"yellowpages", &SiteConfig::yellowPages},
    {"yellowpagesbase", &SiteConfig::yellowPagesBase},
    {"publisher", &SiteConfig::publisher},
    {"publisherhome", &SiteConfig::publisherHome},
    {"probe", &SiteConfig::probe},
};

std::string dropTrailingSlash(std::string s) {
    while (!s.empty() && s.back() == '/') s.pop_back();
    return s;
}

}  // namespace

SiteConfig SiteConfig::load(const std::string& path) {
    SiteConfig config;
    IniFile ini(path);
    for (const auto& [key, field] : kAddressKeys) {
        std::string value = ini.read("sites", key, config.*field);
        // The home page and the probe are opened as given; the others get paths appended.
        bool appendsPaths = field != &SiteConfig::publisherHome && field != &SiteConfig::probe;
        config.*field = appendsPaths ? dropTrailingSlash(value) : value;
    }
    long connect = ini.readInt("http", "connect_timeout_s", 15);
    long stall = ini.readInt("http", "stall_timeout_s", 30);
    long maxMb = ini.readInt("http", "max_page_mb", 16);
    long parallel = ini.readInt("http", "parallel_steps", 1);
    // Out-of-range values keep the defaults (a day is the most anyone waits).
    constexpr long kMaxSeconds = 24 * 3600;
    if (connect > 0 && connect <= kMaxSeconds)
        config.http.connectTimeout = std::chrono::seconds(connect);
    if (stall > 0 && stall <= kMaxSeconds) config.http.stallTimeout = std::chrono::seconds(stall);
    if (maxMb > 0 && maxMb <= 4096) config.http.maxBodyBytes = static_cast<size_t>(maxMb) << 20;

    long retries = ini.readInt("http", "retries", config.http.retries);
    long pauseMs = ini.readInt("http", "retry_pause_ms", config.http.retryPause.count());
    long intervalMs = ini.readInt("http", "min_interval_ms", config.http.minInterval.count());
    long perHost = ini.readInt("http", "max_per_host", 0);
    long transcode = ini.readInt("http", "transcode_pages", 1);
    constexpr long kMaxMs = 60 * 1000;
    if (retries >= 0 && retries <= 10) config.http.retries = static_cast<int>(retries);
    if (pauseMs >= 0 && pauseMs <= kMaxMs)
        config.http.retryPause = std::chrono::milliseconds(pauseMs);
    if (intervalMs >= 0 && intervalMs <= kMaxMs)
        config.http.minInterval = std::chrono::milliseconds(intervalMs);
    if (perHost > 0 && perHost <= 64) config.http.maxPerHost = static_cast<int>(perHost);
    if (transcode == 0 || transcode == 1) config.http.transcodePages = transcode == 1;
    config.http.proxy = ini.read("http", "proxy", "");
    if (parallel >= 1 && parallel <= kMaxParallelSteps)
        config.parallelSteps = static_cast<int>(parallel);
    return config;
}

bool SiteConfig::save(const std::string& path) const {
    std::ostringstream out;
    out << "; Addresses of the sites Velmora harvests.\r\n[sites]\r\n";
    for (const auto& [key, field] : kAddressKeys) out << key << "=" << this->*field << "\r\n";
    out << "\r\n[http]\r\n";
    out << "connect_timeout_s="
        << std::chrono::duration_cast<std::chrono::seconds>(http.connectTimeout).count() << "\r\n";
    out << "stall_timeout_s="
        << std::chrono::duration_cast<std::chrono::seconds>(http.stallTimeout).count() << "\r\n";
    out << "max_page_mb=" << (http.maxBodyBytes >> 20) << "\r\n";
    out << "retries=" << http.retries << "\r\n";
    out << "retry_pause_ms=" << http.retryPause.count() << "\r\n";
    out << "min_interval_ms=" << http.minInterval.count() << "\r\n";
    // Not written when not set: its absence leaves loopback hosts unbounded.
    if (http.maxPerHost > 0) out << "max_per_host=" << http.maxPerHost << "\r\n";
    out << "proxy=" << http.proxy << "\r\n";
    out << "transcode_pages=" << (http.transcodePages ? 1 : 0) << "\r\n";
    out << "parallel_steps=" << parallelSteps << "\r\n";
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << out.str();
    return static_cast<bool>(file.flush());
}

}  // namespace velmora

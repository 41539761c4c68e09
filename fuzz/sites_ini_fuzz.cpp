// sites.ini as the CLI and the window read it at start-up: any bytes give a
// configuration, and a configuration written back reads the same.
//
// Input: the file.
#include <chrono>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/site_config.h"

namespace velmora {
namespace {

bool sameConfig(const SiteConfig& a, const SiteConfig& b) {
    return a.regional == b.regional && a.alibaba == b.alibaba && a.websearch == b.websearch &&
           a.portal == b.portal && a.scriptDirectory == b.scriptDirectory &&
           a.detailDirectory == b.detailDirectory && a.yellowPages == b.yellowPages &&
           a.yellowPagesBase == b.yellowPagesBase && a.publisher == b.publisher &&
           a.publisherHome == b.publisherHome && a.probe == b.probe &&
           a.http.connectTimeout == b.http.connectTimeout &&
           a.http.stallTimeout == b.http.stallTimeout &&
           a.http.maxBodyBytes == b.http.maxBodyBytes && a.http.retries == b.http.retries &&
           a.http.retryPause == b.http.retryPause && a.http.minInterval == b.http.minInterval &&
           a.http.maxPerHost == b.http.maxPerHost && a.http.proxy == b.http.proxy &&
           a.http.transcodePages == b.http.transcodePages;
}

bool noTrailingSlash(const std::string& s) {
    return s.empty() || s.back() != '/';
}

}  // namespace
}  // namespace velmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace velmora;
    static fuzz::ScratchDir dir;
    static const std::string path = dir.file("sites.ini");
    static const std::string copy = dir.file("sites-again.ini");
    fuzz::writeFile(path, std::string_view(reinterpret_cast<const char*>(data), size));

    SiteConfig config = SiteConfig::load(path);
    // Paths are appended to these addresses with their own "/".
    for (const std::string* s : {&config.regional, &config.alibaba, &config.websearch,
                                 &config.portal, &config.scriptDirectory, &config.detailDirectory,
                                 &config.yellowPages, &config.yellowPagesBase, &config.publisher})
        FUZZ_CHECK(noTrailingSlash(*s));
    // Whatever the file says, the bounds stay usable.
    FUZZ_CHECK(config.http.connectTimeout > std::chrono::milliseconds::zero());
    FUZZ_CHECK(config.http.stallTimeout > std::chrono::milliseconds::zero());
    FUZZ_CHECK(config.http.maxBodyBytes > 0 &&
               config.http.maxBodyBytes <= (std::size_t{4096} << 20));

    FUZZ_CHECK(config.save(copy));
    FUZZ_CHECK(sameConfig(SiteConfig::load(copy), config));
    return 0;
}

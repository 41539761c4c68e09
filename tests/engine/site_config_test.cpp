#include "platform/site_config.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace velmora {
namespace {

using testing::TempDir;
using testing::writeFile;

TEST(SiteConfig, ReadsAddressesAndBoundsDroppingTrailingSlashes) {
    TempDir dir;
    writeFile(dir.file("sites.ini"),
              "[sites]\r\nregional=http://r.example/\r\nalibaba=http://a.example\r\n"
              "probe=http://p.example/\r\n[http]\r\nconnect_timeout_s=5\r\nstall_timeout_s=7\r\n"
              "max_page_mb=2\r\n");
    SiteConfig c = SiteConfig::load(dir.file("sites.ini"));
    EXPECT_EQ(c.regional, "http://r.example");
    EXPECT_EQ(c.alibaba, "http://a.example");
    EXPECT_EQ(c.websearch, "");
    EXPECT_EQ(c.probe, "http://p.example/");  // opened as given
    EXPECT_EQ(c.http.connectTimeout, std::chrono::seconds(5));
    EXPECT_EQ(c.http.stallTimeout, std::chrono::seconds(7));
    EXPECT_EQ(c.http.maxBodyBytes, 2u << 20);
}

TEST(SiteConfig, MissingFileAndNonsenseValuesKeepDefaults) {
    TempDir dir;
    SiteConfig missing = SiteConfig::load(dir.file("none.ini"));
    EXPECT_EQ(missing.regional, "");
    EXPECT_EQ(missing.http.connectTimeout, std::chrono::seconds(15));
    writeFile(dir.file("bad.ini"),
              "[http]\nconnect_timeout_s=99999999999999\nstall_timeout_s=-3\nmax_page_mb=x\n");
    SiteConfig bad = SiteConfig::load(dir.file("bad.ini"));
    EXPECT_EQ(bad.http.connectTimeout, std::chrono::seconds(15));
    EXPECT_EQ(bad.http.stallTimeout, std::chrono::seconds(30));
    EXPECT_EQ(bad.http.maxBodyBytes, 16u << 20);
}

TEST(SiteConfig, RetriesPacingProxyAndConversionAndTheirSaving) {
    TempDir dir;
    SiteConfig defaults = SiteConfig::load(dir.file("none.ini"));
    EXPECT_EQ(defaults.http.retries, 2);
    EXPECT_EQ(defaults.http.retryPause, std::chrono::milliseconds(500));
    EXPECT_EQ(defaults.http.minInterval, std::chrono::milliseconds(0));
    EXPECT_EQ(defaults.http.maxPerHost, 0);  // 4, loopback unbounded
    EXPECT_EQ(defaults.http.proxy, "");
    EXPECT_TRUE(defaults.http.transcodePages);
    writeFile(dir.file("s.ini"),
              "[http]\nretries=5\nretry_pause_ms=20\nmin_interval_ms=250\nmax_per_host=2\n"
              "proxy=socks5://u:p@10.0.0.1:1080\ntranscode_pages=0\n");
    SiteConfig c = SiteConfig::load(dir.file("s.ini"));
    EXPECT_EQ(c.http.retries, 5);
    EXPECT_EQ(c.http.retryPause, std::chrono::milliseconds(20));
    EXPECT_EQ(c.http.minInterval, std::chrono::milliseconds(250));
    EXPECT_EQ(c.http.maxPerHost, 2);
    EXPECT_EQ(c.http.proxy, "socks5://u:p@10.0.0.1:1080");
    EXPECT_FALSE(c.http.transcodePages);
    c.regional = "http://127.0.0.1:1";
    c.websearch = "http://127.0.0.1:2";
    ASSERT_TRUE(c.save(dir.file("back.ini")));
    SiteConfig back = SiteConfig::load(dir.file("back.ini"));
    EXPECT_EQ(back.regional, c.regional);
    EXPECT_EQ(back.websearch, c.websearch);
    EXPECT_EQ(back.publisherHome, c.publisherHome);
    EXPECT_EQ(back.http.retries, 5);
    EXPECT_EQ(back.http.maxPerHost, 2);
    EXPECT_EQ(back.http.proxy, c.http.proxy);
    EXPECT_FALSE(back.http.transcodePages);
    writeFile(dir.file("bad.ini"),
              "[http]\nretries=99\nretry_pause_ms=-1\nmax_per_host=0\ntranscode_pages=7\n");
    SiteConfig bad = SiteConfig::load(dir.file("bad.ini"));
    EXPECT_EQ(bad.http.retries, 2);
    EXPECT_EQ(bad.http.retryPause, std::chrono::milliseconds(500));
    EXPECT_EQ(bad.http.maxPerHost, 0);
    EXPECT_TRUE(bad.http.transcodePages);
}

}  // namespace
}  // namespace velmora

// The command-line front end as other tools use it: arguments, exit statuses,
// output formats.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "demo/demo_sites.h"
#include "support/process.h"
#include "support/test_support.h"

#ifndef VELMORA_CLI
#error "the CLI tests need the velmora-cli program"
#endif

namespace velmora {
namespace {

using namespace std::chrono_literals;
using testing::g;
using testing::readFile;
using testing::runProcess;
using testing::TempDir;
using testing::writeFile;

class CliFixture : public ::testing::Test {
  protected:
    void SetUp() override { sites.siteConfig().save(sitesIni()); }
    std::string sitesIni() const { return dir.file("sites.ini"); }
    testing::ProcessResult cli(std::vector<std::string> args) {
        args.insert(args.begin(), VELMORA_CLI);
        return runProcess(args);
    }
    std::vector<nlohmann::json> jsonLines(const std::string& path) {
        std::vector<nlohmann::json> v;
        std::istringstream in(readFile(path));
        std::string line;
        while (std::getline(in, line)) v.push_back(nlohmann::json::parse(line));
        return v;
    }

    TempDir dir;
    demo::DemoSites sites;
};

TEST_F(CliFixture, HarvestWritesJsonLinesInListOrder) {
    std::string out = dir.file("list.jsonl");
    auto r = cli({"harvest", "--keyword", "手机", "--province", "浙江", "--sites", sitesIni(),
                  "--sources", "7", "--out", out});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto expected = sites.expected(7, g("手机"), "330000");
    auto lines = jsonLines(out);
    ASSERT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i]["id"], std::to_string(i + 1));
        EXPECT_EQ(lines[i]["name"], gbk::toUtf8(expected[i][Field::Name]));
        EXPECT_EQ(lines[i]["email"], gbk::toUtf8(expected[i][Field::Email]));
        EXPECT_EQ(lines[i]["profile"], gbk::toUtf8(expected[i][Field::Profile]));
        EXPECT_EQ(lines[i].size(), 11u);
    }
}

TEST_F(CliFixture, HarvestTextFormatHasTheProfileOnlyWhenAskedAndConvertsBack) {
    std::string plain = dir.file("plain.txt"), full = dir.file("full.txt");
    ASSERT_EQ(cli({"harvest", "--keyword", "手机", "--sites", sitesIni(), "--sources", "7", "--out",
                   plain})
                  .exitCode,
              0);
    ASSERT_EQ(cli({"harvest", "--keyword", "手机", "--sites", sitesIni(), "--sources", "7",
                   "--with-profile", "--out", full})
                  .exitCode,
              0);
    std::string a = readFile(plain), b = readFile(full);
    EXPECT_EQ(a.rfind("\xA1\xA4[1]\r\n", 0), 0u);
    auto profile = sites.expected(7, g("手机"), "")[0][Field::Profile];
    ASSERT_FALSE(profile.empty());
    EXPECT_EQ(a.find(profile), std::string::npos);
    EXPECT_NE(b.find(profile), std::string::npos);

    // Converted to a workbook and back, the text is the same.
    std::string xlsx = dir.file("b.xlsx"), back = dir.file("c.txt");
    ASSERT_EQ(cli({"convert", full, xlsx, "--with-profile"}).exitCode, 0);
    ASSERT_EQ(cli({"convert", xlsx, back, "--with-profile"}).exitCode, 0);
    EXPECT_EQ(readFile(back), b);
    EXPECT_EQ(cli({"convert", plain, dir.file("d.txt"), "--same-name-filter"}).exitCode, 0);
}

TEST_F(CliFixture, CsvHasABomHeaderAndQuoting) {
    std::string out = dir.file("list.csv");
    auto r = cli(
        {"harvest", "--keyword", "手机", "--sites", sitesIni(), "--sources", "2", "--out", out});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string csv = readFile(out);
    EXPECT_EQ(
        csv.rfind(
            "\xEF\xBB\xBFID,企业名称,电话,联系人,主管,企业地址,邮编,E-mail,网址,传真,简介\r\n", 0),
        0u);
}

// Arguments, the exit status they give and what stderr then says.
TEST_F(CliFixture, ArgumentsInputChecksAndFileErrors) {
    const std::string out = dir.file("x.txt"), sites = sitesIni();
    const struct {
        std::vector<std::string> args;
        int exitCode;
        const char* says;
    } cases[] = {
        // The search command's input checks.
        {{"harvest", "--keyword", "", "--sites", sites, "--out", out}, 2, "请输入关鍵词或选择省份"},
        {{"harvest", "--keyword", "", "--province", "", "--sites", sites, "--out", out},
         2,
         "请输入关鍵词"},
        {{"harvest", "--keyword", "", "--province", "北京", "--sites", sites, "--out", out}, 0, ""},
        {{"harvest", "--keyword", "k", "--province", "火星", "--out", out}, 2, ""},
        {{"harvest", "--keyword", "k", "--sources", "8", "--out", out}, 2, ""},
        {{"harvest", "--keyword", "k", "--sources", "7,x", "--out", out}, 2, ""},
        {{"harvest", "--keyword", "k", "--out", dir.file("x.pdf")}, 2, ""},
        {{"harvest", "--keyword", "k"}, 2, ""},
        {{"harvest", "--keyword", "k", "--sites", dir.file("none.ini"), "--out", out}, 2, ""},
        {{"frobnicate"}, 2, ""},
        {{"harvest", "--keyword", "k", "--sites", sites, "--out", dir.file("missing-folder/x.txt")},
         1,
         ""},
        {{"convert", dir.file("absent.txt"), out}, 1, ""},
        {{"--help"}, 0, ""},
        {{"harvest", "--help"}, 0, ""},
    };
    for (const auto& c : cases) {
        auto r = cli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args[0] << " " << c.args[1] << "\n" << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    }
    EXPECT_NE(cli({"harvest", "--help"}).out.find("--same-name-filter"), std::string::npos);
}

TEST_F(CliFixture, TheSummaryCountsPagesThatCouldNotBeFetched) {
    demo::DemoOptions options;
    options.companies = 10;
    options.faults.push_back({7, demo::Fault::Detail, 3, demo::Fault::Status500, 0});
    options.flaky = {1, 100};  // every other page fails once and then comes
    demo::DemoSites failing(options);
    SiteConfig config = failing.siteConfig();
    config.http.retryPause = std::chrono::milliseconds(1);
    config.save(dir.file("failing.ini"));
    std::string out = dir.file("list.jsonl");
    auto r = cli({"harvest", "--keyword", "手机", "--sites", dir.file("failing.ini"), "--sources",
                  "7", "--out", out});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(jsonLines(out).size(), 9u);
    EXPECT_NE(r.err.find("1 page could not be fetched, even after retries"), std::string::npos)
        << r.err;
}

TEST_F(CliFixture, InterruptStopsTheRunAndStillWritesTheList) {
    demo::DemoOptions options;
    options.faults.push_back({7, demo::Fault::Detail, 3, demo::Fault::Hang, 0});
    demo::DemoSites slow(options);
    slow.siteConfig().save(dir.file("slow.ini"));
    std::string out = dir.file("partial.jsonl");
    auto begin = std::chrono::steady_clock::now();
    auto r = testing::runProcessInterrupted({VELMORA_CLI, "harvest", "--keyword", "手机", "--sites",
                                             dir.file("slow.ini"), "--sources", "7", "--out", out},
                                            1500ms);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 10s);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(jsonLines(out).size(), 2u);  // the two companies before the hanging one
}

TEST_F(CliFixture, ParsePrintsTheWorkFormAsJson) {
    std::string page =
        "<a href=\"detail.asp?corpid=1\">x</a><a href=\"detail.asp?corpid=2\">y</a>" +
        g(">下一页<");
    writeFile(dir.file("listing.html"), page);
    auto r = cli({"parse", "--source", "7", "--step", "listing", "--known-pages", "3", "--sites",
                  sitesIni(), dir.file("listing.html")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["known_pages"], 4);
    EXPECT_EQ(j["next_page"], 1);
    EXPECT_EQ(j["detail_count"], 2);
    ASSERT_EQ(j["detail"].size(), 2u);
    EXPECT_EQ(j["detail"][1][0], "N");
    EXPECT_EQ(j["detail"][1][1], sites.address() + "/main/corp/detail.asp?corpid=2");
    EXPECT_EQ(j["detail"][1][2], "7[0]2{0}");
    EXPECT_EQ(j["slot"].size(), 10u);

    writeFile(dir.file("detail.html"), "<tr><td>" + g("单位名称：") + "</td><td>ABC</td></tr>");
    r = cli({"parse", "--source", "7", "--step", "detail", "--next-detail-row", "3",
             "--result-page", "2", "--website", "http://网址", dir.file("detail.html")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["slot"]["name"], "abc");
    EXPECT_EQ(j["slot"]["website"], "http://网址");  // preset, as the web search's dispatcher does
    EXPECT_EQ(j["next_detail_row"], 3);
    EXPECT_EQ(j["result_page"], 2);
    EXPECT_EQ(j["entries"], nlohmann::json::array());

    // A not-found page leaves the work form as it was.
    writeFile(dir.file("nf.html"), g("未找到") + "<a href=\"detail.asp?corpid=1\">");
    r = cli(
        {"parse", "--source", "7", "--step", "listing", "--known-pages", "2", dir.file("nf.html")});
    j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["known_pages"], 2);
    EXPECT_EQ(j["detail_count"], 0);

    EXPECT_EQ(cli({"parse", "--source", "8", "--step", "listing", dir.file("nf.html")}).exitCode,
              2);
    EXPECT_EQ(cli({"parse", "--source", "7", "--step", "detail", "--key", "7[0]0{0}",
                   dir.file("nf.html")})
                  .exitCode,
              2);
    // The listing table grows to the known pages: an absurd counter is refused.
    EXPECT_EQ(cli({"parse", "--source", "1", "--step", "listing", "--known-pages", "2000000000",
                   dir.file("nf.html")})
                  .exitCode,
              2);
}

TEST_F(CliFixture, ParseShowsTheCompaniesThatPortalAndYellowPagesStepsTakeIn) {
    std::string table = "<table cellspacing=0 cellpadding=0 width=168 border=0 align=center>";
    writeFile(dir.file("answer.html"),
              table + "<tr><td>&#183;<b>ABC</b>&#183;&#183;0571-1</td></tr>" + table +
                  "<tr><td>&#183;&#183;x&#183;2</td></tr>" + g("<a>下一页</a>"));
    auto r = cli({"parse", "--source", "5", "--step", "listing", "--known-pages", "0",
                  dir.file("answer.html")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["known_pages"], 1);
    ASSERT_EQ(j["entries"].size(), 1u);  // the company without a name is not taken in
    EXPECT_EQ(j["entries"][0]["name"], "abc");
    EXPECT_EQ(j["entries"][0]["address"], "");
    EXPECT_EQ(j["entries"][0]["phone"], "0571-1");

    writeFile(dir.file("result.html"),
              g("<a class=\"m_funitname\">甲</a><i class=\"m_ftelphone\">1</i>"
                "<i class=\"m_faddress\">杭州</i><p>邮编：310012</p><script>'下一页'</script>"));
    r = cli({"parse", "--source", "6", "--step", "listing", "--key", "6[3]0{0}",
             "--next-detail-row", "4", "--result-page", "1", dir.file("result.html")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["result_page"], 2);
    EXPECT_EQ(j["next_detail_row"], 3);  // the same category again
    ASSERT_EQ(j["entries"].size(), 1u);
    EXPECT_EQ(j["entries"][0]["name"], "甲");
    EXPECT_EQ(j["entries"][0]["postcode"], "310012");
    EXPECT_EQ(j["entries"][0]["email"], "");  // parse makes no lookup
}

}  // namespace
}  // namespace velmora

// The small services: network check, about box, help, and the platform
// adapters behind them.
#include <QLabel>
#include <QTcpServer>

#include <filesystem>

#include "app/gui/about_box.h"
#include "app/gui/network_check.h"
#include "app/gui/network_probe.h"
#include "app/gui/status_fields.h"
#include "gui_fixture.h"
#include "platform/help_viewer.h"
#include "platform/system_info.h"

namespace velmora::testing {
namespace {

using gui::StatusFields;

class ServicesTest : public WindowTest {
  protected:
    gui::MainWindow& windowProbing(const std::string& probe) {
        SiteConfig sites;
        sites.probe = probe;
        return openWindow(sites);
    }
};

// A port on which nothing listens (bound, then released).
int closedPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    int port = server.serverPort();
    server.close();
    return port;
}

TEST_F(ServicesTest, NetworkCheckReportsWhetherThereIsAConnection) {
    QTcpServer listening;
    ASSERT_TRUE(listening.listen(QHostAddress::LocalHost));
    const struct {
        int port;
        QString status, message;
    } cases[] = {
        {listening.serverPort(), QStringLiteral("已经是联网状态。"), QStringLiteral("已经联网")},
        {closedPort(), QStringLiteral("目前是未联网状态。"), QStringLiteral("没有联网")},
    };
    for (const auto& c : cases) {
        dialogs_.messages.clear();
        auto& w = windowProbing("http://127.0.0.1:" + std::to_string(c.port) + "/");
        w.findChild<QAction*>(QStringLiteral("ActionNetworkTest"))->trigger();
        EXPECT_EQ(statusText(StatusFields::Text), QStringLiteral("目前未联网。测试中，稍候..."));
        ASSERT_TRUE(waitUntil([&] { return !dialogs_.messages.empty(); }));
        EXPECT_EQ(statusText(StatusFields::Text), c.status);
        EXPECT_EQ(dialogs_.messages[0].caption, QString());
        EXPECT_EQ(dialogs_.messages[0].text, c.message);
    }
}

TEST(NetworkProbe, ReadsHostAndPortOfTheProbeAddress) {
    EXPECT_EQ(gui::probeTarget("http://www.baidu.com/").host, "www.baidu.com");
    EXPECT_EQ(gui::probeTarget("http://www.baidu.com/").port, "80");
    EXPECT_EQ(gui::probeTarget("https://a.cn/x?y").port, "443");
    EXPECT_EQ(gui::probeTarget("http://127.0.0.1:8080").port, "8080");
    EXPECT_EQ(gui::probeTarget("http://[::1]:81/").host, "::1");
    EXPECT_EQ(gui::probeTarget("http://[::1]:81/").port, "81");
    EXPECT_EQ(gui::probeTarget("www.qq.com").host, "www.qq.com");
    EXPECT_TRUE(gui::probeTarget("http:///x").host.empty());
}

TEST(NetworkProbe, ACancelEndsTheAttempt) {
    std::atomic<bool> cancel{true};
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    EXPECT_FALSE(gui::probeConnection("http://127.0.0.1:" + std::to_string(server.serverPort()),
                                      std::chrono::seconds(5), cancel));
}

TEST_F(ServicesTest, AboutBoxShowsNameVersionMemoryAndLinks) {
    auto& w = openWindow();
    gui::AboutBox* about = w.aboutBox();
    ASSERT_NE(about, nullptr);
    about->refresh();
    EXPECT_EQ(about->windowTitle(), QStringLiteral("关于"));
    EXPECT_TRUE(about->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(about->findChild<QLabel*>(QStringLiteral("AboutName"))->text(),
              QStringLiteral("软件名称：Velmora"));
    EXPECT_EQ(about->versionLabel()->text(),
              QStringLiteral("文件版本：") + QStringLiteral(VELMORA_VERSION));
    EXPECT_EQ(about->memoryLabel()->text(),
              QStringLiteral("可用内存：") + QString::fromStdString(sysinfo::memoryKilobytesText(
                                                 sysinfo::totalPhysicalMemoryBytes())));
    EXPECT_EQ(about->findChild<QLabel*>(QStringLiteral("AboutProductTag"))->text(),
              QStringLiteral("(Velmora)"));
    EXPECT_TRUE(about->mailLinkTarget().startsWith(
        QStringLiteral("mailto:support@velmora.example?subject=Velmora%20%28")));
    auto* mail = about->findChild<QLabel*>(QStringLiteral("AboutMailLink"));
    EXPECT_TRUE(mail->text().contains(QStringLiteral("E-mail:support@velmora.example")));
    emit mail->linkActivated(QStringLiteral("link"));
    ASSERT_EQ(shell_.opened.size(), 1u);
    EXPECT_EQ(QString::fromStdString(shell_.opened[0]), about->mailLinkTarget());
}

TEST(SystemInfo, GroupsThousandsAsTheAboutBoxShowsThem) {
    const std::pair<unsigned long long, std::string> cases[] = {
        {0, "0"},        {12, "12"},        {999, "999"},
        {1000, "1,000"}, {12345, "12,345"}, {16318412, "16,318,412"}};
    for (const auto& [number, text] : cases) EXPECT_EQ(sysinfo::groupThousands(number), text);
    EXPECT_EQ(sysinfo::memoryKilobytesText(16710053888ull), "16,318,412 KB");
    EXPECT_EQ(sysinfo::memoryKilobytesText(2047), "1 KB");
    EXPECT_GT(sysinfo::totalPhysicalMemoryBytes(), 64ull << 20);
    EXPECT_FALSE(sysinfo::executableDir().empty());
}

TEST_F(ServicesTest, HelpOpensTheHtmlHelpBesideTheExecutableOrIsReportedMissing) {
    auto& w = openWindow();
    w.helpCommand();
    EXPECT_TRUE(shell_.opened.empty());
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_TRUE(dialogs_.messages[0].text.contains(QStringLiteral("Velmorahelp.chm")));

    std::filesystem::create_directories(dir_.path() / "Velmorahelp");
    writeFile(dir_.file("Velmorahelp/index.html"), "<html></html>");
    w.helpCommand();
    ASSERT_EQ(shell_.opened.size(), 1u);
    EXPECT_EQ(shell_.opened[0],
              help::fileUrl((dir_.path() / "Velmorahelp" / "index.html").string()));
    EXPECT_EQ(dialogs_.messages.size(), 1u);
}

TEST(HelpViewer, PrefersTheCompiledHelpWhenAViewerExists) {
    TempDir dir;
    writeFile(dir.file("Velmorahelp.chm"), "ITSF");
    std::filesystem::create_directories(dir.path() / "Velmorahelp");
    writeFile(dir.file("Velmorahelp/index.html"), "<html></html>");
    auto viewer = [](const std::string& name) { return name == "xchm" ? "/opt/xchm" : ""; };
    help::Document doc = help::locate(dir.path().string(), viewer);
    EXPECT_EQ(doc.kind, help::Kind::Chm);
    EXPECT_EQ(doc.viewer, "/opt/xchm");
    RecordingShell shell;
    EXPECT_TRUE(help::open(dir.path().string(), shell, viewer));
    ASSERT_EQ(shell.started.size(), 1u);
    EXPECT_EQ(shell.started[0],
              (std::vector<std::string>{"/opt/xchm", dir.file("Velmorahelp.chm")}));

    auto none = [](const std::string&) { return std::string(); };
    EXPECT_EQ(help::locate(dir.path().string(), none).kind, help::Kind::Html);
    EXPECT_EQ(help::locate(dir.file("nowhere"), none).kind, help::Kind::None);
    EXPECT_EQ(help::fileUrl("/a b/帮助.html").substr(0, 14), "file:///a%20b/");
}

TEST(DesktopShell, StartsAProgramDetachedAndFindsProgramsOnThePath) {
    TempDir dir;
    std::string marker = dir.file("ran");
    auto shell = makeDesktopShell();
    EXPECT_FALSE(findProgram("sh").empty());
    EXPECT_TRUE(findProgram("no-such-program-velmora").empty());
    EXPECT_FALSE(shell->start({"no-such-program-velmora"}));
    ASSERT_TRUE(shell->start({"sh", "-c", "echo ok > \"$0\"", marker}));
    ASSERT_TRUE(waitUntil([&] { return readFile(marker) == "ok\n"; }));
}

}  // namespace
}  // namespace velmora::testing

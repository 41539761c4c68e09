// The banner: the step after each search start fetches ad.ini (and ad.gif
// while its show time lies ahead) off the main thread; the display shows the
// picture and takes the link from ad.ini.
#include <QAction>
#include <QDateTime>
#include <QLabel>
#include <QTest>

#include <filesystem>

#include "app/gui/banner.h"
#include "app/gui/input_boxes.h"
#include "app/gui/status_fields.h"
#include "gui_fixture.h"
#include "loopback_server.h"

namespace velmora::testing {
namespace {

// A GIF picture of the given size in one colour. Qt reads GIF but does not
// write it, so the test codes it: 3-bit LZW codes, with a clear code before
// every two pixels so that the code width never grows.
std::string gifPicture(int width, int height) {
    std::string gif = "GIF89a";
    auto le16 = [&](int v) {
        gif += static_cast<char>(v & 0xFF);
        gif += static_cast<char>((v >> 8) & 0xFF);
    };
    le16(width);
    le16(height);
    gif += std::string("\x80\x00\x00", 3);              // a global table of 2 colours
    gif += std::string("\xC8\x20\x20\x00\x00\x00", 6);  // red, black
    gif += ',';
    le16(0);
    le16(0);
    le16(width);
    le16(height);
    gif += '\0';
    gif += '\x02';  // minimum code size: clear = 4, end = 5, width 3 bits

    std::string data;
    unsigned bits = 0;
    int used = 0;
    auto put = [&](unsigned code) {
        bits |= code << used;
        used += 3;
        while (used >= 8) {
            data += static_cast<char>(bits & 0xFF);
            bits >>= 8;
            used -= 8;
        }
    };
    long pixels = static_cast<long>(width) * height;
    for (long i = 0; i < pixels; i += 2) {
        put(4);
        put(0);
        if (i + 1 < pixels) put(0);
    }
    put(5);
    if (used > 0) data += static_cast<char>(bits & 0xFF);
    for (size_t at = 0; at < data.size(); at += 255) {
        std::string block = data.substr(at, 255);
        gif += static_cast<char>(block.size());
        gif += block;
    }
    gif += '\0';
    gif += ';';
    return gif;
}

std::string showTime(int secondsFromNow) {
    return QDateTime::currentDateTime()
        .addSecs(secondsFromNow)
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
        .toStdString();
}

class BannerTest : public WindowTest {
  protected:
    gui::MainWindow& windowWithPublisher() {
        SiteConfig sites;
        sites.publisher = server_.address();
        sites.publisherHome = "http://home.velmora.example/";
        return openWindow(sites);
    }
    void search() {
        setKeyword(QStringLiteral("手机"));
        window().commands().search->trigger();
    }
    bool stepDone() { return !window().banner()->fetching(); }
    // Waits until the step after the search start has fetched ad.txt once
    // and ended.
    bool controlFileFetched() {
        return waitUntil([&] { return server_.count("/Velmora/ad.txt") == 1 && stepDone(); });
    }
    QLabel* bannerView() { return window().findChild<QLabel*>(QStringLiteral("BannerImage")); }

    LoopbackServer server_;
};

TEST_F(BannerTest, FetchesControlFileAndPictureWhileTheShowTimeLiesAhead) {
    server_.page("/Velmora/ad.txt", "[outtime]\r\nshowtime=" + showTime(3600) +
                                        "\r\n[adurl]\r\nurl=http://ad.velmora.example/x\r\n");
    server_.page("/Velmora/ad.gif", gifPicture(120, 30));
    auto& w = windowWithPublisher();
    EXPECT_TRUE(bannerView()->pixmap().isNull());
    EXPECT_EQ(w.banner()->link(), QStringLiteral("http://home.velmora.example/"));
    search();
    ASSERT_TRUE(waitUntil([&] { return server_.count("/Velmora/ad.gif") == 1 && stepDone(); }));
    EXPECT_TRUE(std::filesystem::exists(dir_.file("ad.ini")));
    EXPECT_EQ(readFile(dir_.file("ad.gif")), gifPicture(120, 30));
    EXPECT_EQ(bannerView()->pixmap().size(), QSize(120, 30));
    EXPECT_EQ(w.banner()->link(), QStringLiteral("http://ad.velmora.example/x"));

    QTest::mouseClick(bannerView(), Qt::LeftButton);
    ASSERT_EQ(shell_.opened.size(), 1u);
    EXPECT_EQ(shell_.opened[0], "http://ad.velmora.example/x");
}

TEST_F(BannerTest, PastShowTimeKeepsTheOldPicture) {
    writeFile(dir_.file("ad.gif"), gifPicture(40, 20));
    server_.page("/Velmora/ad.txt", "[outtime]\r\nshowtime=" + showTime(-3600) + "\r\n");
    server_.page("/Velmora/ad.gif", gifPicture(120, 30));
    auto& w = windowWithPublisher();
    EXPECT_EQ(bannerView()->pixmap().size(), QSize(40, 20));
    search();
    ASSERT_TRUE(controlFileFetched());
    EXPECT_EQ(server_.count("/Velmora/ad.gif"), 0);
    EXPECT_EQ(readFile(dir_.file("ad.gif")), gifPicture(40, 20));
    // No link in ad.ini: the publisher's home page.
    EXPECT_EQ(w.banner()->link(), QStringLiteral("http://home.velmora.example/"));
}

TEST_F(BannerTest, MissingControlFileLeavesEverythingInPlace) {
    writeFile(dir_.file("ad.ini"), "[adurl]\r\nurl=http://old.example/\r\n");
    auto& w = windowWithPublisher();
    search();
    ASSERT_TRUE(controlFileFetched());
    EXPECT_EQ(readFile(dir_.file("ad.ini")), "[adurl]\r\nurl=http://old.example/\r\n");
    EXPECT_EQ(w.banner()->link(), QStringLiteral("http://old.example/"));
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(BannerTest, ASlowPublisherNeverHoldsUpTheWindow) {
    server_.hold("/Velmora/ad.txt");
    server_.page("/Velmora/ad.txt", "[outtime]\r\nshowtime=\r\n");
    auto& w = windowWithPublisher();
    search();
    ASSERT_TRUE(waitUntil([&] { return server_.holding("/Velmora/ad.txt"); }));
    // While the server sits on the request the window goes on working.
    EXPECT_TRUE(w.banner()->fetching());
    w.findChild<QAction*>(QStringLiteral("ActionSameNameFilter"))->trigger();
    settle();
    EXPECT_EQ(statusText(gui::StatusFields::Text), QStringLiteral("筛除同名称企业"));
    // A second search start while the first step runs starts no second fetch.
    search();
    settle();
    EXPECT_EQ(server_.count("/Velmora/ad.txt"), 1);
    server_.release();
    ASSERT_TRUE(waitUntil([&] { return stepDone(); }));
}

TEST_F(BannerTest, ABannerLinkToAnythingButTheWebIsNotOpened) {
    server_.page("/Velmora/ad.txt", "[adurl]\r\nurl=file:///etc/passwd\r\n");
    windowWithPublisher();
    search();
    ASSERT_TRUE(controlFileFetched());
    QTest::mouseClick(bannerView(), Qt::LeftButton);
    EXPECT_TRUE(shell_.opened.empty());
}

TEST(BannerShowTime, ReadsTheUsualForms) {
    using gui::Banner;
    for (const char* form : {"2030-5-1 8:30:00", "2030/05/01 08:30"})
        EXPECT_EQ(Banner::parseShowTime(QString::fromLatin1(form)),
                  QDateTime(QDate(2030, 5, 1), QTime(8, 30)))
            << form;
    EXPECT_EQ(Banner::parseShowTime(QStringLiteral("2030-5-1")).date(), QDate(2030, 5, 1));
    for (const char* form : {"", "never"})
        EXPECT_FALSE(Banner::parseShowTime(QString::fromLatin1(form)).isValid()) << form;
}

}  // namespace
}  // namespace velmora::testing

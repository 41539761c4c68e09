// What the website and e-mail boxes may open.
#include "app/gui/link_rules.h"
#include "gui_fixture.h"

namespace velmora::testing {
namespace {

using namespace gui::links;

TEST(LinkRules, TrimsOnlyControlCharactersAndBlanks) {
    EXPECT_EQ(trimBlanks(QStringLiteral(" \t a b \r\n")), QStringLiteral("a b"));
    EXPECT_EQ(trimBlanks(QStringLiteral("\u3000a\u3000")), QStringLiteral("\u3000a\u3000"));
}

TEST(LinkRules, WebsiteOpensWebAddressesOnly) {
    const QString opened[][2] = {
        {QStringLiteral("www.a.cn"), QStringLiteral("http://www.a.cn")},
        {QStringLiteral("  www.jia.cn/about  "), QStringLiteral("http://www.jia.cn/about")},
        {QStringLiteral(" http://a.cn/x?y=1 "), QStringLiteral("http://a.cn/x?y=1")},
        {QStringLiteral("HTTPS://a.cn"), QStringLiteral("https://a.cn")},
        {QStringLiteral("HTTPS://shop.jia.cn/"), QStringLiteral("https://shop.jia.cn/")},
        {QStringLiteral("www.a.cn:8080/shop"), QStringLiteral("http://www.a.cn:8080/shop")},
    };
    for (const auto& [box, target] : opened)
        EXPECT_EQ(websiteTarget(box), target) << box.toStdString();
    EXPECT_EQ(websiteTarget(QStringLiteral("www.中国.cn")).value_or(QString()).left(11),
              QStringLiteral("http://www."));
    for (const char* refused : {"", "   ", "javascript:alert(1)", "JavaScript:alert(1)",
                                "file:///etc/passwd", "mailto:a@b.cn", "ftp://a.cn", "http://"})
        EXPECT_FALSE(websiteTarget(QString::fromUtf8(refused))) << refused;
}

TEST(LinkRules, MailOnlyForPlainAddresses) {
    const QString opened[][2] = {
        {QStringLiteral(" a.b@c.cn "), QStringLiteral("mailto:a.b@c.cn")},
        {QStringLiteral("x+y@c.cn"), QStringLiteral("mailto:x+y@c.cn")},
    };
    for (const auto& [box, target] : opened)
        EXPECT_EQ(mailtoTarget(box), target) << box.toStdString();
    for (const char* refused :
         {"a@c.cn?subject=x", "a@b.cn?subject=x&body=y", "a@c.cn?attach=/etc/passwd",
          "a@c.cn&cc=b@d.cn", "a@c.cn,b@d.cn", "a@b.cn,c@d.cn", "a b@c.cn", "mailto:a@c.cn",
          "no-address", "a@@c.cn", ""})
        EXPECT_FALSE(mailtoTarget(QString::fromUtf8(refused))) << refused;
}

}  // namespace
}  // namespace velmora::testing

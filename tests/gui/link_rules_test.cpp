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
    EXPECT_EQ(websiteTarget(QStringLiteral("www.a.cn")), QStringLiteral("http://www.a.cn"));
    EXPECT_EQ(websiteTarget(QStringLiteral(" http://a.cn/x?y=1 ")),
              QStringLiteral("http://a.cn/x?y=1"));
    EXPECT_EQ(websiteTarget(QStringLiteral("HTTPS://a.cn")), QStringLiteral("https://a.cn"));
    EXPECT_EQ(websiteTarget(QStringLiteral("www.a.cn:8080/shop")),
              QStringLiteral("http://www.a.cn:8080/shop"));
    EXPECT_EQ(websiteTarget(QStringLiteral("www.中国.cn")).value_or(QString()).left(11),
              QStringLiteral("http://www."));
    EXPECT_FALSE(websiteTarget(QString()));
    EXPECT_FALSE(websiteTarget(QStringLiteral("   ")));
    EXPECT_FALSE(websiteTarget(QStringLiteral("javascript:alert(1)")));
    EXPECT_FALSE(websiteTarget(QStringLiteral("JavaScript:alert(1)")));
    EXPECT_FALSE(websiteTarget(QStringLiteral("file:///etc/passwd")));
    EXPECT_FALSE(websiteTarget(QStringLiteral("mailto:a@b.cn")));
    EXPECT_FALSE(websiteTarget(QStringLiteral("ftp://a.cn")));
    EXPECT_FALSE(websiteTarget(QStringLiteral("http://")));
}

TEST(LinkRules, MailOnlyForPlainAddresses) {
    EXPECT_EQ(mailtoTarget(QStringLiteral(" a.b@c.cn ")), QStringLiteral("mailto:a.b@c.cn"));
    EXPECT_EQ(mailtoTarget(QStringLiteral("x+y@c.cn")), QStringLiteral("mailto:x+y@c.cn"));
    EXPECT_FALSE(mailtoTarget(QStringLiteral("a@c.cn?subject=x")));
    EXPECT_FALSE(mailtoTarget(QStringLiteral("a@c.cn?attach=/etc/passwd")));
    EXPECT_FALSE(mailtoTarget(QStringLiteral("a@c.cn&cc=b@d.cn")));
    EXPECT_FALSE(mailtoTarget(QStringLiteral("a@c.cn,b@d.cn")));
    EXPECT_FALSE(mailtoTarget(QStringLiteral("a b@c.cn")));
    EXPECT_FALSE(mailtoTarget(QStringLiteral("mailto:a@c.cn")));
    EXPECT_FALSE(mailtoTarget(QStringLiteral("no-address")));
    EXPECT_FALSE(mailtoTarget(QStringLiteral("a@@c.cn")));
    EXPECT_FALSE(mailtoTarget(QString()));
}

}  // namespace
}  // namespace velmora::testing

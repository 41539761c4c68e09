// The detail panel and profile area: the boxes of the selected entry, their
// tooltips, the profile's line breaks, and the website and e-mail clicks.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTableView>
#include <QTest>

#include <iterator>

#include "app/engine/profile_breaks.h"
#include "app/gui/detail_panel.h"
#include "app/gui/status_fields.h"
#include "gui_fixture.h"

namespace velmora::testing {
namespace {

class DetailPanelTest : public WindowTest {
  protected:
    QLineEdit* box(const char* name) {
        return window().findChild<QLineEdit*>(QString::fromLatin1(name));
    }
    QString memo() {
        return window().findChild<QPlainTextEdit*>(QStringLiteral("MemoProfile"))->toPlainText();
    }
    void select(int row) {
        window().listView()->selectRow(row);
        settle();
    }
    void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(5, 5)); }
};

const std::vector<std::string> kFirst = {"杭州甲电子有限公司",
                                         "0571-88880000",
                                         "王先生",
                                         "李总",
                                         "杭州市西湖区文三路1号",
                                         "310000",
                                         "sales@jia.cn",
                                         "www.jia.cn",
                                         "0571-88880001",
                                         "本公司专业生产手机配件。"};
const std::vector<std::string> kSecond = {
    "宁波乙贸易公司", "0574-1234", "", "", "宁波市", "", "", "", "", ""};
// The boxes in the order of the entry's fields.
const char* const kBoxes[] = {"EditName",    "EditPhone",   "EditContact",
                              "EditManager", "EditAddress", "EditPostcode",
                              "EditEmail",   "EditWebsite", "EditFax"};

// Whether a box shows its whole text: the text's width fits the room the
// style leaves for text inside the frame.
bool showsWhole(QLineEdit* box) {
    QStyleOptionFrame option;
    option.initFrom(box);
    option.rect = box->rect();
    option.lineWidth =
        box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box) : 0;
    QRect room = box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box);
    QMargins margins = box->textMargins();
    int width = room.width() - margins.left() - margins.right() - 2 * 2;  // the edit's own margin
    return box->fontMetrics().horizontalAdvance(box->text()) <= width;
}

TEST_F(DetailPanelTest, TelephoneAndFaxShowATypicalNumberWholeAtStartUpSize) {
    auto& w = openWindow();
    ASSERT_EQ(w.size(), QSize(715, 506));
    addEntries({{"温州市瓯海区某某电器配件有限公司", "0577-57571586 / 26326848", "张先生", "张总",
                 "浙江省温州市瓯海区某某工业区某某路88号", "325000", "sales@example.cn",
                 "www.example.cn", "0577-57571587 / 26326849", ""}});
    select(0);
    EXPECT_TRUE(showsWhole(box("EditPhone"))) << box("EditPhone")->width();
    EXPECT_TRUE(showsWhole(box("EditFax"))) << box("EditFax")->width();
    // The name box gives way, but stays a usable width.
    EXPECT_GE(box("EditName")->width(), 150);
}

TEST_F(DetailPanelTest, StartsEmptyWithFixedTooltipsAndProfileHeading) {
    openWindow();
    EXPECT_EQ(memo(), QStringLiteral("公司简介："));
    EXPECT_EQ(box("EditPostcode")->toolTip(), QStringLiteral("邮政编码"));
    EXPECT_EQ(box("EditWebsite")->toolTip(), QStringLiteral("点击链接"));
    EXPECT_EQ(box("EditEmail")->toolTip(), QStringLiteral("点击发信"));
    for (const char* name : kBoxes) {
        EXPECT_TRUE(box(name)->isReadOnly()) << name;
        EXPECT_TRUE(box(name)->text().isEmpty()) << name;
    }
    EXPECT_EQ(box("EditWebsite")->palette().color(QPalette::Base), QColor(227, 225, 221));
    EXPECT_EQ(box("EditEmail")->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(window().detailPanel()->height(), 63);
}

TEST_F(DetailPanelTest, SelectionFillsBoxesIdAndTooltips) {
    openWindow();
    addEntries({kFirst, kSecond});
    select(0);
    EXPECT_EQ(statusText(gui::StatusFields::Id), QStringLiteral("1"));
    for (size_t i = 0; i < std::size(kBoxes); ++i)
        EXPECT_EQ(box(kBoxes[i])->text(), QString::fromStdString(kFirst[i])) << kBoxes[i];
    EXPECT_EQ(memo(), QStringLiteral("本公司专业生产手机配件。"));
    EXPECT_EQ(box("EditFax")->toolTip(), QStringLiteral("0571-88880001"));
    EXPECT_EQ(box("EditName")->toolTip(), QStringLiteral("杭州甲电子有限公司"));
    EXPECT_EQ(box("EditPostcode")->toolTip(), QStringLiteral("邮政编码"));

    // An empty fax empties the box but keeps the old tooltip.
    select(1);
    EXPECT_EQ(statusText(gui::StatusFields::Id), QStringLiteral("2"));
    EXPECT_EQ(box("EditFax")->text(), QString());
    EXPECT_EQ(box("EditFax")->toolTip(), QStringLiteral("0571-88880001"));
    EXPECT_EQ(box("EditContact")->toolTip(), QStringLiteral("王先生"));
    EXPECT_EQ(box("EditName")->toolTip(), QStringLiteral("宁波乙贸易公司"));
    EXPECT_EQ(box("EditWebsite")->toolTip(), QStringLiteral("点击链接"));
    EXPECT_EQ(memo(), QString());
}

TEST_F(DetailPanelTest, LongProfileIsShownWithBreaksBetweenCharacters) {
    openWindow();
    std::string profile;
    for (int i = 0; i < 125; ++i) profile += "简";  // 250 bytes
    std::vector<std::string> row = kFirst;
    row[9] = profile;
    addEntries({row});
    select(0);
    QStringList lines = memo().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0].size(), 50);
    EXPECT_EQ(lines[1].size(), 50);
    EXPECT_EQ(lines[2].size(), 25);
}

// Which addresses may be opened is the link rules' business; here the
// clicks: one address opened, one refused with a reason, an empty box
// ignored.
TEST_F(DetailPanelTest, WebsiteClickOpensOnlyWebAddresses) {
    openWindow();
    auto row = [](const std::string& site) {
        std::vector<std::string> r = kFirst;
        r[7] = site;
        r[6] = "";
        return r;
    };
    addEntries({row("  www.jia.cn/about  "), row("javascript:alert(1)"), row("")});
    select(0);
    click(box("EditWebsite"));
    ASSERT_EQ(shell_.opened.size(), 1u);
    EXPECT_EQ(shell_.opened[0], "http://www.jia.cn/about");
    select(1);
    click(box("EditWebsite"));
    EXPECT_EQ(statusText(gui::StatusFields::Text), QStringLiteral("只能打开http或https网址"));
    select(2);
    click(box("EditWebsite"));
    EXPECT_EQ(shell_.opened.size(), 1u);
}

TEST_F(DetailPanelTest, EmailClickStartsAMailOnlyForPlainAddressesAndSelectsTheText) {
    openWindow();
    auto row = [](const std::string& mail) {
        std::vector<std::string> r = kFirst;
        r[6] = mail;
        return r;
    };
    addEntries({row("  sales@jia.cn  "), row("a@b.cn,c@d.cn"), row("")});
    select(0);
    click(box("EditEmail"));
    ASSERT_EQ(shell_.opened.size(), 1u);
    EXPECT_EQ(shell_.opened[0], "mailto:sales@jia.cn");
    EXPECT_EQ(box("EditEmail")->selectedText(), QStringLiteral("  sales@jia.cn  "));
    select(1);
    click(box("EditEmail"));
    EXPECT_EQ(statusText(gui::StatusFields::Text), QStringLiteral("不是有效的E-mail地址"));
    select(2);
    click(box("EditEmail"));
    EXPECT_EQ(shell_.opened.size(), 1u);
}

// A CR LF before byte 102 of every line, never inside a double-byte
// character.
TEST(ProfileBreaks, BreakEvery102BytesBetweenCharacters) {
    auto chars = [](int n) {
        std::string text;
        for (int i = 0; i < n; ++i) text += gbk::fromUtf8("简");
        return text;
    };
    const std::string a = std::string(101, 'a'), dbcs = chars(125), odd = "x" + chars(60);
    const std::pair<std::string, std::string> cases[] = {
        {gbk::fromUtf8("短简介"), gbk::fromUtf8("短简介")},
        {a, a},
        // Position 204 of the changed text comes 100 bytes behind the first break.
        {std::string(204, 'a'), a + "\r\n" + std::string(100, 'a') + "\r\n" + "aaa"},
        {dbcs, dbcs.substr(0, 100) + "\r\n" + dbcs.substr(100, 100) + "\r\n" + dbcs.substr(200)},
        // An odd start shifts the characters: 1 + 2k + 1 = 102 is a lead byte.
        {odd, odd.substr(0, 101) + "\r\n" + odd.substr(101)},
    };
    for (const auto& [text, broken] : cases)
        EXPECT_EQ(insertProfileBreaks(text), broken) << text.size();
}

TEST(ProfileBreaks, LargeProfileIsBrokenInLinearTime) {
    std::string text;
    for (int i = 0; i < 500000; ++i) text += gbk::fromUtf8("简");  // 1 MB
    std::string out = insertProfileBreaks(text);
    EXPECT_EQ(out.size(), text.size() + 2 * (text.size() / 102));
    std::string joined = out;
    std::erase(joined, '\r');
    std::erase(joined, '\n');
    EXPECT_EQ(joined, text);
}

}  // namespace
}  // namespace velmora::testing

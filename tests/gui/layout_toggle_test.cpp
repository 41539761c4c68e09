// The layout toggle's three layouts and the resize rule.
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "app/gui/detail_panel.h"
#include "app/gui/layout_toggle.h"
#include "gui_fixture.h"

namespace velmora::testing {
namespace {

using Layout = gui::LayoutSwitcher::Layout;

class LayoutToggleTest : public WindowTest {
  protected:
    void toggle() {
        QTest::mouseClick(window().findChild<QPushButton*>(QStringLiteral("LayoutToggleButton")),
                          Qt::LeftButton);
        settle();
    }
    bool detailShown() { return window().detailPanel()->isVisible(); }
    bool profileShown() { return window().profilePanel()->isVisible(); }
};

TEST_F(LayoutToggleTest, StripIsThinWithAHandCursorAndFollowsTheWindowWidth) {
    auto& w = openWindow();
    auto* strip = w.findChild<QFrame*>(QStringLiteral("LayoutToggle"));
    auto* button = w.findChild<QPushButton*>(QStringLiteral("LayoutToggleButton"));
    EXPECT_EQ(strip->height(), 11);
    EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(button->width(), 715 - 20);
    w.resize(900, 600);
    settle();
    EXPECT_EQ(button->width(), 880);
    EXPECT_EQ(w.layoutSwitcher()->listHeight(), 600 - 285);
}

TEST_F(LayoutToggleTest, ClicksCycleThroughTheThreeLayouts) {
    auto& w = openWindow();
    QWidget* list = w.listView();
    QWidget* strip = w.toggleStrip();
    // A: list, strip, detail panel at the bottom; no profile.
    EXPECT_EQ(w.layoutSwitcher()->layout(), Layout::A);
    EXPECT_TRUE(detailShown());
    EXPECT_FALSE(profileShown());
    EXPECT_LT(list->geometry().bottom(), strip->geometry().top());
    EXPECT_LT(strip->geometry().bottom(), w.detailPanel()->geometry().top());
    int listHeightA = list->height();

    toggle();  // B: no panels, the strip at the bottom.
    EXPECT_EQ(w.layoutSwitcher()->layout(), Layout::B);
    EXPECT_FALSE(detailShown());
    EXPECT_FALSE(profileShown());
    EXPECT_GT(list->height(), listHeightA);
    EXPECT_EQ(strip->geometry().bottom(), strip->parentWidget()->height() - 1);

    toggle();  // C: list with its own height, strip, detail panel, profile filling the rest.
    EXPECT_EQ(w.layoutSwitcher()->layout(), Layout::C);
    EXPECT_TRUE(detailShown());
    EXPECT_TRUE(profileShown());
    EXPECT_EQ(list->height(), w.height() - 285);
    EXPECT_LT(strip->geometry().bottom(), w.detailPanel()->geometry().top());
    EXPECT_LT(w.detailPanel()->geometry().bottom(), w.profilePanel()->geometry().top());
    EXPECT_EQ(w.profilePanel()->geometry().bottom(), strip->parentWidget()->height() - 1);

    w.resize(715, 606);  // the list's own height follows the window
    settle();
    EXPECT_EQ(list->height(), 606 - 285);

    toggle();  // back to A
    EXPECT_EQ(w.layoutSwitcher()->layout(), Layout::A);
    EXPECT_TRUE(detailShown());
    EXPECT_FALSE(profileShown());
    EXPECT_GT(list->height(), 606 - 285);
}

// The resize rule must not hold the window at its largest size: neither the
// strip's button nor the list's own height of layout C may become a minimum.
TEST_F(LayoutToggleTest, WindowShrinksBackAfterGrowingInEveryLayout) {
    auto& w = openWindow();
    auto* button = w.findChild<QPushButton*>(QStringLiteral("LayoutToggleButton"));
    for (int layout = 0; layout < 3; ++layout) {
        w.resize(1280, 960);  // as maximised
        settle();
        EXPECT_EQ(button->width(), 1260);
        EXPECT_LT(w.minimumSizeHint().width(), 715);
        w.resize(715, 506);  // restored
        settle();
        EXPECT_EQ(w.size(), QSize(715, 506)) << layout;
        EXPECT_EQ(button->width(), 695);
        // A drag in small steps ends where the user let go.
        for (int width = 1000; width >= 700; width -= 60) w.resize(width, 500);
        w.resize(640, 480);
        settle();
        EXPECT_EQ(w.size(), QSize(640, 480)) << layout;
        w.resize(715, 506);
        settle();
        toggle();
    }
}

}  // namespace
}  // namespace velmora::testing

// The main window as it starts: caption, size, menus, tool bar, status bar,
// initial states, tool-button hints and the option switches.
#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>

#include "app/gui/banner.h"
#include "app/gui/input_boxes.h"
#include "app/gui/status_fields.h"
#include "gui_fixture.h"

namespace velmora::testing {
namespace {

using gui::StatusFields;

class MainWindowTest : public WindowTest {};

// The tool buttons with their tooltips and the hints they write while the
// mouse moves over them.
const char* const kToolButtons[][3] = {{"ToolButtonSearch", "搜索", " 开始搜索 (F8)"},
                                       {"ToolButtonStop", "停止", " 停止搜索 (F9)"},
                                       {"ToolButtonOpen", "打开", " 打开文件 (Ctrl+O)"},
                                       {"ToolButtonSave", "保存", " 保存文件 (Ctrl+S)"},
                                       {"ToolButtonHelp", "帮助", " 帮助 (F1)"}};

QStringList menuTexts(QMenu* menu) {
    QStringList texts;
    for (QAction* a : menu->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

TEST_F(MainWindowTest, StartsWithCaptionSizeAndStatusFields) {
    auto& w = openWindow();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Velmora"));
    EXPECT_EQ(w.size(), QSize(715, 506));
    auto* bar = w.findChild<QStatusBar*>(QStringLiteral("StatusBar1"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(statusText(StatusFields::Text), QString());
    EXPECT_EQ(statusText(StatusFields::IdLabel), QStringLiteral("当前企业的ID:"));
    EXPECT_EQ(statusText(StatusFields::Id), QStringLiteral("0"));
    EXPECT_EQ(statusText(StatusFields::CountLabel), QStringLiteral("企业数量:"));
    EXPECT_EQ(statusText(StatusFields::Count), QStringLiteral("0"));
    EXPECT_EQ(statusText(StatusFields::RunStatus), QString::fromUtf8("\u3000－Velmora－"));
    const int widths[] = {180, 85, 70, 62, 70};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("StatusField%1").arg(i))->width(), widths[i]);
    EXPECT_GE(w.findChild<QLabel*>(QStringLiteral("StatusField5"))->width(), 50);
}

TEST_F(MainWindowTest, MenusCarryTheCommandsInOrder) {
    auto& w = openWindow();
    const std::pair<QString, QStringList> menus[] = {
        {QStringLiteral("文件 (&F)"), {"打开 (&O)", "保存 (&S)", "-", "退出 (&Q)"}},
        {QStringLiteral("操作 (&O)"), {"搜索 (&S)", "停止 (&T)"}},
        {QStringLiteral("设置 (&S)"),
         {"清空关键词 (&C)", "筛除同名企业 (&Z)", "再搜索设定", "搜索来源", "-", "测试网络 (&T)"}},
        {QStringLiteral("帮助 (&H)"), {"帮助 (&H)", "关于 (&A)"}},
    };
    QList<QAction*> top = w.menuBar()->actions();
    ASSERT_EQ(top.size(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(top[i]->text(), menus[i].first);
        EXPECT_EQ(menuTexts(top[i]->menu()), menus[i].second);
    }
}

TEST_F(MainWindowTest, ShortcutsAndInitialStates) {
    auto& w = openWindow();
    auto action = [&](const char* name) {
        return w.findChild<QAction*>(QString::fromLatin1(name));
    };
    const std::pair<const char*, const char*> shortcuts[] = {
        {"ActionSearch", "F8"},   {"ActionStop", "F9"},      {"ActionOpen", "Ctrl+O"},
        {"ActionSave", "Ctrl+S"}, {"ActionExit", "Ctrl+F4"}, {"ActionNetworkTest", "F3"},
        {"ActionHelp", "F1"}};
    for (const auto& [name, keys] : shortcuts)
        EXPECT_EQ(action(name)->shortcut(), QKeySequence(QString::fromLatin1(keys))) << name;

    EXPECT_TRUE(action("ActionSearch")->isEnabled());
    EXPECT_FALSE(action("ActionStop")->isEnabled());
    EXPECT_FALSE(action("ActionSave")->isEnabled());
    EXPECT_TRUE(action("ActionOpen")->isEnabled());
    EXPECT_TRUE(action("N10")->isCheckable());
    EXPECT_TRUE(action("N10")->isChecked());
    EXPECT_FALSE(action("ActionSameNameFilter")->isChecked());
    EXPECT_TRUE(w.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->isEnabled());
    EXPECT_TRUE(w.findChild<QComboBox*>(QStringLiteral("ComboBox2"))->isEnabled());
    EXPECT_EQ(w.findChild<QComboBox*>(QStringLiteral("ComboBox2"))->currentText(),
              QStringLiteral("(省份)"));
}

TEST_F(MainWindowTest, ToolBarHoldsBoxesButtonsAndBannerInOrder) {
    auto& w = openWindow();
    auto* bar = w.findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    ASSERT_NE(bar, nullptr);
    QStringList order;
    for (QAction* a : bar->actions()) {
        if (a->isSeparator()) {
            order << QStringLiteral("|");
            continue;
        }
        QWidget* widget = bar->widgetForAction(a);
        order << (widget ? widget->objectName() : QString());
    }
    EXPECT_EQ(order, (QStringList{"KeywordLabel", "ComboBox1", "ComboBox2", "|", "ToolButtonSearch",
                                  "ToolButtonStop", "|", "ToolButtonOpen", "ToolButtonSave", "|",
                                  "ToolButtonHelp", "|", "BannerSpacer", "BannerImage"}));
    EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("KeywordLabel"))->text(),
              QStringLiteral("关键词"));
    for (const auto& [name, tip, hint] : kToolButtons)
        EXPECT_EQ(w.findChild<QToolButton*>(QString::fromLatin1(name))->toolTip(),
                  QString::fromUtf8(tip));
    auto* banner = w.findChild<QLabel*>(QStringLiteral("BannerImage"));
    EXPECT_EQ(banner->size(), QSize(162, 38));
    EXPECT_EQ(banner->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(MainWindowTest, BannerSitsAtTheRightEndOfTheToolBarAtAnyWidth) {
    auto& w = openWindow();
    auto* bar = w.findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    auto* banner = w.findChild<QLabel*>(QStringLiteral("BannerImage"));
    auto* help = w.findChild<QToolButton*>(QStringLiteral("ToolButtonHelp"));
    int gap = -1;
    for (int width : {715, 1000, 1400, 715}) {
        w.resize(width, 506);
        settle();
        ASSERT_TRUE(banner->isVisible()) << width;
        int right = bar->width() - banner->mapTo(bar, QPoint(banner->width(), 0)).x();
        EXPECT_GE(right, 0) << width;
        EXPECT_LE(right, 12) << width;  // the bar's own margin, nothing more
        if (gap >= 0) {
            EXPECT_EQ(right, gap) << width;
        }
        gap = right;
        EXPECT_GT(banner->mapTo(bar, QPoint(0, 0)).x(),
                  help->mapTo(bar, QPoint(help->width(), 0)).x());
    }
}

TEST_F(MainWindowTest, MovingOverAToolButtonShowsItsHintUntilSomethingElseWrites) {
    auto& w = openWindow();
    for (const auto& [name, tip, hint] : kToolButtons) {
        auto* button = w.findChild<QToolButton*>(QString::fromLatin1(name));
        QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), button->mapToGlobal(QPointF(3, 3)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(button, &move);
        EXPECT_EQ(statusText(StatusFields::Text), QString::fromUtf8(hint));
    }
    // Leaving the button keeps the text.
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(w.findChild<QToolButton*>(QStringLiteral("ToolButtonHelp")),
                                &leave);
    EXPECT_EQ(statusText(StatusFields::Text), QStringLiteral(" 帮助 (F1)"));
}

TEST_F(MainWindowTest, SameNameFilterAndResearchSwitchesReportTheirState) {
    auto& w = openWindow();
    auto* filter = w.findChild<QAction*>(QStringLiteral("ActionSameNameFilter"));
    filter->trigger();
    EXPECT_TRUE(w.list().sameNameFilter());
    EXPECT_EQ(statusText(StatusFields::Text), QStringLiteral("筛除同名称企业"));
    filter->trigger();
    EXPECT_FALSE(w.list().sameNameFilter());
    EXPECT_EQ(statusText(StatusFields::Text), QStringLiteral("不筛除同名称企业"));

    auto* research = w.findChild<QAction*>(QStringLiteral("N10"));
    research->trigger();
    EXPECT_FALSE(w.run().research());
    EXPECT_EQ(statusText(StatusFields::Text), QStringLiteral("再搜索功能已取消"));
    research->trigger();
    EXPECT_TRUE(w.run().research());
    EXPECT_EQ(statusText(StatusFields::Text), QStringLiteral("已经选中再搜索功能"));
}

TEST_F(MainWindowTest, ChineseTextUsesACjkFont) {
    auto& w = openWindow();
    QStringList families = w.findChild<QTableView*>(QStringLiteral("ListView1"))->font().families();
    ASSERT_FALSE(families.isEmpty());
    EXPECT_TRUE(families.contains(QStringLiteral("SimSun")));
    EXPECT_TRUE(families.contains(QStringLiteral("WenQuanYi Micro Hei")));
    EXPECT_EQ(w.findChild<QTableView*>(QStringLiteral("ListView1"))->font().pixelSize(), 15);
    // The font actually picked can draw Chinese.
    QFontInfo info(w.font());
    QFontMetrics metrics(w.font());
    EXPECT_TRUE(metrics.inFont(QChar(0x4F01))) << info.family().toStdString();
}

}  // namespace
}  // namespace velmora::testing

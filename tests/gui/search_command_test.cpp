// The search command from the window: the input checks, the search start's
// settings step, the keys that start a search, and note.ini's contents.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QWheelEvent>

#include <array>
#include <filesystem>
#include <utility>

#include "app/gui/input_boxes.h"
#include "app/gui/status_fields.h"
#include "gui_fixture.h"

namespace velmora::testing {
namespace {

using gui::StatusFields;

class SearchCommandTest : public WindowTest {
  protected:
    // note.ini with its line ends as "\n" and one blank line between
    // sections, however the INI writer spaces them.
    std::string ini() const {
        std::string text = noteIni();
        std::erase(text, '\r');
        for (size_t at; (at = text.find("\n\n\n")) != std::string::npos;) text.erase(at, 1);
        return text;
    }
    void search() { window().commands().search->trigger(); }
};

// An empty keyword with an emptied province box, or with the box's "(省份)"
// as it starts, asks for input and starts nothing.
TEST_F(SearchCommandTest, EmptyKeywordWithoutAProvinceAsksForInput) {
    const struct {
        bool emptyProvince;
        QString message;
    } cases[] = {{true, QStringLiteral("请输入关鍵词")},
                 {false, QStringLiteral("请输入关鍵词或选择省份")}};
    for (const auto& c : cases) {
        dialogs_.messages.clear();
        openWindow();
        setKeyword({});
        if (c.emptyProvince) setProvince({});
        search();
        ASSERT_EQ(dialogs_.messages.size(), 1u);
        EXPECT_EQ(dialogs_.messages[0].text, c.message);
        EXPECT_FALSE(std::filesystem::exists(notePath()));
        EXPECT_EQ(statusText(StatusFields::RunStatus), QString::fromUtf8("\u3000－Velmora－"));
    }
}

TEST_F(SearchCommandTest, AProvinceAloneStartsARunAndStoresOnlyTheProvince) {
    auto& w = openWindow();
    setKeyword({});
    pickProvince(1);  // 北京
    search();
    EXPECT_TRUE(dialogs_.messages.empty());
    // With no site addresses both sources finish at once.
    EXPECT_EQ(statusText(StatusFields::RunStatus), QStringLiteral("搜索完毕:"));
    EXPECT_EQ(w.run().inputs().provinceCode, "110000");
    EXPECT_EQ(ini(), "[province]\nnum=1\n");
}

TEST_F(SearchCommandTest, EnterInTheKeywordBoxAndF8StartTheSearch) {
    auto& w = openWindow();
    setKeyword(QStringLiteral("手机"));
    QTest::keyClick(w.commands().keywordBox, Qt::Key_Return);
    EXPECT_EQ(statusText(StatusFields::RunStatus), QStringLiteral("搜索完毕:手机"));
    setKeyword(QStringLiteral("配件"));
    QTest::keyClick(w.commands().provinceBox, Qt::Key_Enter);
    EXPECT_EQ(statusText(StatusFields::RunStatus), QStringLiteral("搜索完毕:配件"));
    setKeyword(QStringLiteral("电池"));
    QTest::keyClick(&w, Qt::Key_F8);
    EXPECT_EQ(statusText(StatusFields::RunStatus), QStringLiteral("搜索完毕:电池"));
}

// The run status texts in order, and the boxes and commands switched off
// while the run is under way and back on when it ends.
TEST_F(SearchCommandTest, ASearchStartShowsItsTextsAndSwitchesBoxesAndCommands) {
    auto& w = openWindow();
    QStringList shown;
    QObject::connect(&w, &gui::MainWindow::runStatusShown,
                     [&](const QString& text) { shown << text; });
    std::vector<std::pair<bool, std::array<bool, 4>>> states;
    QObject::connect(&w, &gui::MainWindow::searchStateChanged, [&](bool on) {
        const auto& c = w.commands();
        states.push_back({on,
                          {c.search->isEnabled(), c.stop->isEnabled(), c.keywordBox->isEnabled(),
                           c.provinceBox->isEnabled()}});
    });
    setKeyword(QStringLiteral(" 手机 配件 "));
    search();
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown.first(), QStringLiteral("开始线程>>>>>>>>>>>>"));
    EXPECT_EQ(shown.last(), QStringLiteral("搜索完毕: 手机 配件 "));
    EXPECT_EQ(w.run().inputs().keyword, gbk::fromUtf8("手机+配件"));
    ASSERT_EQ(states.size(), 2u);
    EXPECT_EQ(states[0], std::make_pair(true, std::array<bool, 4>{false, true, false, false}));
    EXPECT_EQ(states[1], std::make_pair(false, std::array<bool, 4>{true, false, true, true}));
}

TEST_F(SearchCommandTest, NoteIniAfterFirstStartSearchesRepeatAndClear) {
    auto& w = openWindow();
    // First start without a file: an empty box whose list holds one empty entry.
    EXPECT_EQ(w.commands().keywordBox->currentText(), QString());
    EXPECT_EQ(w.commands().keywordBox->count(), 1);

    setKeyword(QStringLiteral("手机"));
    search();
    EXPECT_EQ(ini(),
              "[province]\nnum=0\n\n[noterecord]\nnum=1\n0=" + gbk::fromUtf8("手机") + "\n1=\n");
    setKeyword(QStringLiteral("配件"));
    search();
    setKeyword(QStringLiteral("电池"));
    search();
    setKeyword(QStringLiteral("充电器"));
    search();
    // History now: 充电器 电池 配件 手机 "" (num 4). 手机 is at position 3.
    setKeyword(QStringLiteral("手机"));
    search();
    SettingsStore check(notePath());
    LoadedSettings loaded = check.load();
    std::vector<std::string> expected = {gbk::fromUtf8("手机"), gbk::fromUtf8("充电器"),
                                         gbk::fromUtf8("电池"), gbk::fromUtf8("配件"), ""};
    EXPECT_EQ(loaded.history, expected);
    EXPECT_NE(ini().find("num=4"), std::string::npos);
    QStringList items;
    for (int i = 0; i < w.commands().keywordBox->count(); ++i)
        items << w.commands().keywordBox->itemText(i);
    EXPECT_EQ(items, (QStringList{"手机", "充电器", "电池", "配件", ""}));
    EXPECT_EQ(w.commands().keywordBox->currentText(), QStringLiteral("手机"));

    // The clear command asks first; No keeps everything.
    dialogs_.answers = {false};
    w.commands().clearKeywords->trigger();
    ASSERT_EQ(dialogs_.questions.size(), 1u);
    EXPECT_EQ(dialogs_.questions[0].text, QStringLiteral("确认清除关键词记录吗？"));
    EXPECT_EQ(w.commands().keywordBox->count(), 5);

    dialogs_.answers = {true};
    w.commands().clearKeywords->trigger();
    EXPECT_EQ(w.commands().keywordBox->count(), 0);
    EXPECT_EQ(w.commands().keywordBox->currentText(), QString());
    EXPECT_EQ(ini(), "[province]\nnum=0\n\n[noterecord]\nnum=-1\n");

    // After a restart the box and its list are empty; the next search writes num=0.
    closeWindow();
    auto& again = openWindow();
    EXPECT_EQ(again.commands().keywordBox->count(), 0);
    setKeyword(QStringLiteral("手机"));
    again.commands().search->trigger();
    EXPECT_EQ(ini(), "[province]\nnum=0\n\n[noterecord]\nnum=0\n0=" + gbk::fromUtf8("手机") + "\n");
}

TEST_F(SearchCommandTest, ProvinceIndexIsStoredAndRestored) {
    openWindow();
    pickProvince(9);  // 浙江
    setKeyword(QStringLiteral("手机"));
    search();
    EXPECT_NE(ini().find("[province]\nnum=9\n"), std::string::npos);
    closeWindow();
    auto& again = openWindow();
    EXPECT_EQ(again.commands().provinceBox->currentText(), QStringLiteral("浙江"));
    EXPECT_EQ(again.commands().keywordBox->currentText(), QStringLiteral("手机"));

    // Emptied with Backspace: stored as 0, searched as all of China.
    QTest::keyClick(again.commands().provinceBox, Qt::Key_Backspace);
    EXPECT_EQ(again.commands().provinceBox->currentText(), QString());
    again.commands().search->trigger();
    EXPECT_NE(ini().find("[province]\nnum=0\n"), std::string::npos);
    EXPECT_EQ(again.run().inputs().provinceCode, "000000");
}

TEST_F(SearchCommandTest, AnIndexThatNamesNoProvinceGivesAnEmptyBox) {
    writeFile(notePath(), "[province]\r\nnum=77\r\n");
    auto& w = openWindow();
    EXPECT_EQ(w.commands().provinceBox->currentText(), QString());
}

// Every way of putting text into the province box is refused: the text
// stays and the refusal shows. Only a pick from the list chooses; Enter and
// Backspace keep their meaning.
TEST_F(SearchCommandTest, ProvinceBoxRefusesTypingPastingAndTheArrowKeys) {
    auto& w = openWindow();
    auto* box = w.commands().provinceBox;
    QApplication::clipboard()->setText(QStringLiteral("广东"));
    size_t refusals = 0;
    QString keptText = box->currentText();
    int keptIndex = box->provinceIndex();
    // One more refusal shown, and the box as it was.
    auto expectRefused = [&](const std::string& what) {
        ASSERT_EQ(dialogs_.messages.size(), refusals + 1) << what;
        refusals = dialogs_.messages.size();
        EXPECT_EQ(dialogs_.messages.back().text,
                  QStringLiteral("不能输入！空和“(省份)”字样时为所有省份。"))
            << what;
        EXPECT_EQ(box->currentText(), keptText) << what;
        EXPECT_EQ(box->provinceIndex(), keptIndex) << what;
    };

    // Typed keys, in the box as it starts.
    EXPECT_EQ(keptText, QStringLiteral("(省份)"));
    QTest::keyClick(box, Qt::Key_A);
    expectRefused("A");
    QTest::keyClicks(box, QStringLiteral("x"));
    expectRefused("x");

    pickProvince(9);
    keptText = QStringLiteral("浙江");
    keptIndex = 9;
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    expectRefused("Ctrl+V");
    QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
    expectRefused("Shift+Insert");
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_Home,
                        Qt::Key_End, Qt::Key_Left, Qt::Key_Right}) {
        QTest::keyClick(box, key);
        expectRefused("key " + std::to_string(key));
    }

    // Paste from the edit box's context menu.
    QPoint at = box->lineEdit()->rect().center();
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, box->lineEdit()->mapToGlobal(at));
    QApplication::sendEvent(box->lineEdit(), &menuEvent);
    settle();
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    bool pasted = false;
    for (QAction* action : menu->actions())
        if (action->objectName() == QStringLiteral("edit-paste") && action->isEnabled()) {
            EXPECT_TRUE(action->text().startsWith(QStringLiteral("粘贴")))
                << action->text().toStdString();
            action->trigger();
            pasted = true;
        }
    menu->close();
    settle();
    EXPECT_TRUE(pasted);
    expectRefused("context menu paste");

    // The mouse wheel does not choose either.
    QWheelEvent wheel(QPointF(5, 5), box->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(box, &wheel);
    EXPECT_EQ(box->currentText(), keptText);
    EXPECT_EQ(box->provinceIndex(), keptIndex);

    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->currentText(), QString());
}

// X11 pastes the selection with the middle button; the off-screen platform
// has no selection, so this runs under an X server (ctest runs it in Xvfb).
TEST_F(SearchCommandTest, ProvinceBoxRefusesMiddleButtonPasteUnderX11) {
    if (!QApplication::clipboard()->supportsSelection()) GTEST_SKIP() << "no X selection here";
    auto& w = openWindow();
    auto* box = w.commands().provinceBox;
    pickProvince(9);  // 浙江
    QApplication::clipboard()->setText(QStringLiteral("广东"), QClipboard::Selection);
    QTest::mouseClick(box->lineEdit(), Qt::MiddleButton, {}, box->lineEdit()->rect().center());
    settle();
    EXPECT_EQ(box->currentText(), QStringLiteral("浙江"));
    EXPECT_EQ(box->provinceIndex(), 9);
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text,
              QStringLiteral("不能输入！空和“(省份)”字样时为所有省份。"));
}

}  // namespace
}  // namespace velmora::testing

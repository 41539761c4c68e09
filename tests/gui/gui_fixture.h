#pragma once
// What the GUI tests share: dialogs answered in advance, a shell that only
// records, a window over a temporary settings folder, and a wait that keeps
// the event loop turning.
#include <gtest/gtest.h>

#include <QDialog>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/gui/dialog_service.h"
#include "app/gui/main_window.h"
#include "platform/shell.h"
#include "support/test_support.h"

namespace velmora::testing {

class ScriptedDialogs : public gui::DialogService {
  public:
    struct Shown {
        QString caption;
        QString text;
        Icon icon = Icon::Question;
    };
    struct SaveRequest {
        QStringList filters;
        QString suffix;
        QString proposed;
    };
    struct OpenRequest {
        QStringList filters;
        int selected = -1;
    };

    void message(QWidget*, const QString& caption, const QString& text) override;
    bool ask(QWidget*, const QString& caption, const QString& text, Icon icon) override;
    QString saveFileName(QWidget*, const QStringList& filters, const QString& suffix,
                         const QString& proposed) override;
    FileChoice openFileName(QWidget*, const QStringList& filters, int selected) override;

    // Answers given in order; an unexpected question is answered No, an
    // unexpected file dialog is cancelled.
    std::deque<bool> answers;
    std::deque<QString> saveNames;
    std::deque<FileChoice> openChoices;

    std::vector<Shown> messages;
    std::vector<Shown> questions;
    std::vector<SaveRequest> saveRequests;
    std::vector<OpenRequest> openRequests;
};

class RecordingShell : public Shell {
  public:
    bool open(const std::string& target) override;
    bool start(const std::vector<std::string>& argv) override;

    bool succeed = true;
    std::vector<std::string> opened;
    std::vector<std::vector<std::string>> started;
};

// Turns the event loop until `done` holds; false when the safety limit ran
// out first (a hang, not a timing assumption: the limit is generous).
bool waitUntil(const std::function<bool()>& done, int limitMs = 120000);
// Turns the event loop until nothing is left to do right now.
void settle();

class WindowTest : public ::testing::Test {
  protected:
    ~WindowTest() override;

    // A window over the temporary folder; sites with no addresses make every
    // source finish at once, so searches need no network.
    gui::MainWindow& openWindow(SiteConfig sites = {});
    void closeWindow() { window_.reset(); }

    std::string notePath() const { return dir_.file("note.ini"); }
    std::string noteIni() const { return readFile(notePath()); }
    QString statusText(int field) const;
    void setKeyword(const QString& text);
    void setProvince(const QString& text);
    // Picks a province from the box's list, as a click on the item would.
    void pickProvince(int index);
    // The save command: pick a format in the format dialog and confirm it.
    void saveAs(bool spreadsheet, bool withProfile);
    QDialog* formatDialog();
    bool ioRunsEnded();
    // Appends entries straight to the list (ID = count) and publishes them.
    void addEntries(const std::vector<std::vector<std::string>>& utf8Rows);
    gui::MainWindow& window() { return *window_; }

    TempDir dir_;
    ScriptedDialogs dialogs_;
    RecordingShell shell_;
    std::unique_ptr<gui::MainWindow> window_;
};

}  // namespace velmora::testing

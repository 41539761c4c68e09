#include "gui_fixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QThread>

#include "app/gui/company_list_model.h"
#include "app/gui/input_boxes.h"
#include "app/gui/io_commands.h"
#include "app/gui/status_fields.h"

namespace velmora::testing {

void ScriptedDialogs::message(QWidget*, const QString& caption, const QString& text) {
    messages.push_back({caption, text});
}

bool ScriptedDialogs::ask(QWidget*, const QString& caption, const QString& text, Icon icon) {
    questions.push_back({caption, text, icon});
    if (answers.empty()) return false;
    bool answer = answers.front();
    answers.pop_front();
    return answer;
}

QString ScriptedDialogs::saveFileName(QWidget*, const QStringList& filters, const QString& suffix,
                                      const QString& proposed) {
    saveRequests.push_back({filters, suffix, proposed});
    if (saveNames.empty()) return {};
    QString name = saveNames.front();
    saveNames.pop_front();
    return name;
}

gui::DialogService::FileChoice ScriptedDialogs::openFileName(QWidget*, const QStringList& filters,
                                                             int selected) {
    openRequests.push_back({filters, selected});
    if (openChoices.empty()) return {};
    FileChoice choice = openChoices.front();
    openChoices.pop_front();
    return choice;
}

bool RecordingShell::open(const std::string& target) {
    opened.push_back(target);
    return succeed;
}

bool RecordingShell::start(const std::vector<std::string>& argv) {
    started.push_back(argv);
    return succeed;
}

bool waitUntil(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > limitMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(1);
    }
    return true;
}

void settle() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

WindowTest::~WindowTest() {
    window_.reset();
}

gui::MainWindow& WindowTest::openWindow(SiteConfig sites) {
    gui::WindowSetup setup;
    setup.settingsFolder = dir_.path().string();
    setup.helpFolder = dir_.path().string();
    if (sites.probe == SiteConfig{}.probe) sites.probe = "http://127.0.0.1:1/";
    setup.sites = std::move(sites);
    setup.dialogs = &dialogs_;
    setup.shell = &shell_;
    window_ = std::make_unique<gui::MainWindow>(std::move(setup));
    window_->show();
    settle();
    return *window_;
}

QString WindowTest::statusText(int field) const {
    return window_->statusFields()->text(field);
}

void WindowTest::setKeyword(const QString& text) {
    window_->commands().keywordBox->setEditText(text);
}

void WindowTest::setProvince(const QString& text) {
    window_->commands().provinceBox->setEditText(text);
}

void WindowTest::pickProvince(int index) {
    auto* box = window_->commands().provinceBox;
    box->setCurrentIndex(index);
    emit box->activated(index);
}

QDialog* WindowTest::formatDialog() {
    return window_->findChild<QDialog*>(QStringLiteral("TForm10"));
}

void WindowTest::saveAs(bool spreadsheet, bool withProfile) {
    window_->commands().save->trigger();
    QDialog* dialog = formatDialog();
    dialog
        ->findChild<QRadioButton*>(spreadsheet ? QStringLiteral("RadioSpreadsheet")
                                               : QStringLiteral("RadioText"))
        ->setChecked(true);
    dialog->findChild<QCheckBox*>(QStringLiteral("CheckSaveProfile"))->setChecked(withProfile);
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("ButtonConfirm")),
                      Qt::LeftButton);
}

bool WindowTest::ioRunsEnded() {
    return window_->ioCommands()->runsUnderWay() == 0;
}

void WindowTest::addEntries(const std::vector<std::vector<std::string>>& utf8Rows) {
    for (const auto& row : utf8Rows) {
        RecordSlot slot;
        for (size_t i = 0; i < row.size() && i < static_cast<size_t>(kSlotFields); ++i)
            slot.fields[i] = gbk::fromUtf8(row[i]);
        window_->list().addEntry(std::to_string(window_->list().size() + 1), slot);
    }
    window_->model()->flush();
    settle();
}

}  // namespace velmora::testing

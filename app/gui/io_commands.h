#pragma once
// The save and open commands: the save-format dialog, the file dialogs, the
// overwrite question and the export and import runs, each on a thread of its
// own that reports back through the executor. The busy notice shows while
// any run is under way.
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/engine/company_list.h"
#include "app/engine/settings_store.h"
#include "io/io_reporter.h"
#include "platform/executor.h"

class QWidget;

namespace velmora::gui {

class BusyNotice;
class DialogService;
class SaveFormatDialog;

class IoCommands : public QObject {
    Q_OBJECT
  public:
    struct Hooks {
        std::function<void(const QString& text)> setStatus;
        std::function<QString()> keywordBox;
        std::function<QString()> provinceBox;
        std::function<void()> clearKeywordBox;
        // A save of the first `count` entries has succeeded (main thread).
        std::function<void(size_t count)> saved;
    };

    IoCommands(QWidget* window, CompanyList& list, Executor& main, DialogService& dialogs,
               SettingsStore& settings, Hooks hooks);
    // Waits for the runs still under way.
    ~IoCommands() override;

    // The save command: pre-selects the remembered format and shows the
    // save-format dialog without waiting for it.
    void saveCommand();
    // The open command.
    void openCommand();

    SaveFormatDialog* formatDialog() const { return formatDialog_; }
    BusyNotice* busyNotice() const { return busy_; }
    const std::string& rememberedFormat() const { return rememberedFormat_; }
    void setRememberedFormat(std::string format) { rememberedFormat_ = std::move(format); }
    // Runs started and not yet ended.
    int runsUnderWay() const { return underWay_; }

  signals:
    // A run's thread has ended (after its last report).
    void runEnded();

  private:
    struct Run;
    void confirmFormat();
    void startRun(std::function<void(io::IoReporter&)> work);
    io::IoReporter makeReporter(const std::shared_ptr<Run>& run);
    void setBusy(Run& run, bool shown);
    void reapEndedThreads();

    QWidget* window_;
    CompanyList& list_;
    Executor& main_;
    DialogService& dialogs_;
    SettingsStore& settings_;
    Hooks hooks_;
    SaveFormatDialog* formatDialog_;
    BusyNotice* busy_;
    std::string rememberedFormat_;
    int underWay_ = 0;

    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> ended;
    };
    std::vector<Worker> workers_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace velmora::gui

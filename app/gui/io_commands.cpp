#include "app/gui/io_commands.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>

#include "app/gui/busy_notice.h"
#include "app/gui/dialog_service.h"
#include "app/gui/file_choices.h"
#include "app/gui/gbk_text.h"
#include "app/gui/save_format_dialog.h"
#include "io/text_format.h"
#include "io/workbook.h"

namespace velmora::gui {

struct IoCommands::Run {
    bool busyShown = false;
};

IoCommands::IoCommands(QWidget* window, CompanyList& list, Executor& main, DialogService& dialogs,
                       SettingsStore& settings, Hooks hooks)
    : QObject(window),
      window_(window),
      list_(list),
      main_(main),
      dialogs_(dialogs),
      settings_(settings),
      hooks_(std::move(hooks)),
      formatDialog_(new SaveFormatDialog(window)),
      busy_(new BusyNotice(window)) {
    connect(formatDialog_, &SaveFormatDialog::confirmed, this, &IoCommands::confirmFormat);
}

IoCommands::~IoCommands() {
    *alive_ = false;
    for (auto& worker : workers_)
        if (worker.thread.joinable()) worker.thread.join();
}

void IoCommands::saveCommand() {
    formatDialog_->showFor(rememberedFormat_);
}

void IoCommands::confirmFormat() {
    bool spreadsheet = formatDialog_->spreadsheetChosen();
    // Remembered before the file dialog, so a cancelled dialog keeps it too.
    rememberedFormat_.assign(1, spreadsheet ? '1' : '2');
    settings_.storeSaveFormat(rememberedFormat_);

    QString proposed =
        files::proposedFileName(hooks_.keywordBox(), hooks_.provinceBox(), QDate::currentDate());
    QString path = dialogs_.saveFileName(window_, files::saveFilters(spreadsheet),
                                         files::defaultSuffix(spreadsheet), proposed);
    if (path.isEmpty()) return;

    if (QFileInfo::exists(path)) {
        bool replace = dialogs_.ask(window_, QStringLiteral("Velmora"),
                                    path + QStringLiteral("已经存在，覆盖吗"),
                                    DialogService::Icon::Information);
        if (!replace) {
            // A declined replacement of a workbook ends as a cancelled save.
            if (spreadsheet) hooks_.setStatus(QStringLiteral("已经取消保存"));
            return;
        }
    }
    hooks_.setStatus(QStringLiteral("正在保存企业信息......"));
    std::string file = QFile::encodeName(path).toStdString();
    SaveFormatDialog* dialog = formatDialog_;
    auto withProfile = [dialog] { return dialog->saveProfile(); };
    // The export writes at least the entries there are now; once it is in
    // place, the journal learns that they are saved.
    auto savedUpTo = [this, count = list_.size(), alive = alive_] {
        main_.post([this, count, alive] {
            if (*alive && hooks_.saved) hooks_.saved(count);
        });
    };
    if (spreadsheet) {
        startRun([this, file, withProfile, savedUpTo](io::IoReporter& report) {
            if (io::exportWorkbook(list_, file, withProfile, report) == io::WorkbookSave::Saved)
                savedUpTo();
        });
    } else {
        startRun([this, file, withProfile, savedUpTo](io::IoReporter& report) {
            if (io::exportText(list_, file, withProfile, report)) savedUpTo();
        });
    }
}

void IoCommands::openCommand() {
    int preselect = rememberedFormat_ == "1" ? files::kSpreadsheetFilter : files::kTextFilter;
    DialogService::FileChoice choice =
        dialogs_.openFileName(window_, files::openFilters(), preselect);
    if (choice.path.isEmpty()) return;
    hooks_.setStatus(QStringLiteral("正在导入企业信息......"));
    std::string file = QFile::encodeName(choice.path).toStdString();
    // The import follows the filter the user chose, not the file's extension.
    switch (choice.filterIndex) {
        case files::kSpreadsheetFilter:
            startRun(
                [this, file](io::IoReporter& report) { io::importWorkbook(list_, file, report); });
            break;
        case files::kTextFilter:
            startRun([this, file](io::IoReporter& report) { io::importText(list_, file, report); });
            break;
        default:
            // "所有文件" names no format: say so instead of leaving the
            // import's progress text standing.
            hooks_.setStatus(QStringLiteral("未导入：请选择文件类型"));
            break;
    }
}

void IoCommands::setBusy(Run& run, bool shown) {
    // Each run counts once, however often it shows or hides the notice.
    if (run.busyShown == shown) return;
    run.busyShown = shown;
    busy_->setBusy(shown);
}

io::IoReporter IoCommands::makeReporter(const std::shared_ptr<Run>& run) {
    // Every report runs on the main thread, whichever thread makes it.
    auto onMain = [exec = &main_, alive = alive_](std::function<void()> task) {
        if (exec->onMainThread()) {
            if (*alive) task();
        } else {
            exec->post([alive, task = std::move(task)] {
                if (*alive) task();
            });
        }
    };
    return io::IoReporter{
        main_,
        [this, onMain](const std::string& text) {
            onMain([this, t = fromGbk(text)] { hooks_.setStatus(t); });
        },
        [this, onMain, run](bool shown) { onMain([this, run, shown] { setBusy(*run, shown); }); },
        [this, onMain](const std::string& caption, const std::string& text) {
            onMain([this, c = fromGbk(caption), t = fromGbk(text)] {
                dialogs_.message(window_, c, t);
            });
        },
        [this, onMain] { onMain([this] { hooks_.clearKeywordBox(); }); },
    };
}

void IoCommands::startRun(std::function<void(io::IoReporter&)> work) {
    reapEndedThreads();
    auto run = std::make_shared<Run>();
    auto ended = std::make_shared<std::atomic<bool>>(false);
    ++underWay_;
    std::thread thread([this, run, ended, work = std::move(work), reporter = makeReporter(run),
                        alive = alive_]() mutable {
        try {
            work(reporter);
        } catch (const std::exception& error) {
            // The io functions report their own failures; this is the last guard.
            reporter.message(gbk::fromUtf8("提示"), error.what());
        }
        main_.post([this, run, alive] {
            if (!*alive) return;
            // A run that ended without hiding the notice must not leave it up.
            setBusy(*run, false);
            --underWay_;
            emit runEnded();
        });
        ended->store(true);
    });
    workers_.push_back({std::move(thread), ended});
}

void IoCommands::reapEndedThreads() {
    for (auto it = workers_.begin(); it != workers_.end();) {
        if (it->ended->load()) {
            it->thread.join();
            it = workers_.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace velmora::gui

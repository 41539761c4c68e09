#include "app/gui/window_journal.h"

#include <QString>

#include <cstdio>
#include <filesystem>

#include "app/engine/journal_reader.h"
#include "app/gui/dialog_service.h"

namespace velmora::gui {

WindowJournal::WindowJournal(const std::string& settingsFolder, CompanyList& list)
    : list_(list), folder_(settingsFolder), path_(slotPath(settingsFolder, 1)), journal_(list) {}

std::string WindowJournal::slotPath(const std::string& settingsFolder, int slot) {
    std::string name = kFileName;
    if (slot > 1) name = "velmora." + std::to_string(slot) + ".journal";
    return (std::filesystem::path(settingsFolder) / name).string();
}

std::unique_ptr<JournalFile> WindowJournal::chooseSlot() {
    int firstFree = 0;
    std::unique_ptr<JournalFile> firstFreeFile;
    for (int slot = 1; slot <= kSlots; ++slot) {
        std::string path = slotPath(folder_, slot);
        if (ListJournal::inUse(path)) continue;
        auto file = std::make_unique<JournalFile>();
        std::string error;
        if (!readJournal(path, *file, error)) file->exists = false;
        if (file->exists && summarize(file->scan).unsaved() > 0) {
            path_ = path;
            return file;
        }
        if (firstFree == 0) {
            firstFree = slot;
            firstFreeFile = std::move(file);
        }
    }
    if (firstFree != 0) path_ = slotPath(folder_, firstFree);
    return firstFreeFile;
}

void WindowJournal::reportProblem(const std::string& why) {
    if (reported_ || !dialogs_) return;
    reported_ = true;
    dialogs_->message(parent_, QStringLiteral("Velmora"),
                      QStringLiteral("企业信息日志无法写入（%1），"
                                     "程序意外退出时本窗口未保存的企业信息将无法恢复。")
                          .arg(QString::fromStdString(why)));
}

void WindowJournal::runEnded() {
    journal_.sync();
    if (std::string error = journal_.error(); !error.empty()) reportProblem(error);
}

WindowJournal::~WindowJournal() {
    if (!journal_.isOpen()) return;
    if (saved_ >= list_.size())
        journal_.remove();
    else
        journal_.close();
}

void WindowJournal::start(DialogService& dialogs, QWidget* parent) {
    dialogs_ = &dialogs;
    parent_ = parent;
    // Other windows on the same settings folder keep their journals.
    std::unique_ptr<JournalFile> chosen = chooseSlot();
    if (!chosen) {
        reportProblem("已有 " + std::to_string(kSlots) + " 个窗口在使用企业信息日志");
        return;
    }
    const JournalFile& file = *chosen;
    std::string error;
    JournalSummary summary;
    if (file.exists) summary = summarize(file.scan);
    bool keepAside = file.exists && (!file.scan.headOk && !file.bytes.empty());
    if (summary.unsaved() > 0) {
        QString question = QStringLiteral("上次有 %1 条企业信息未保存，是否恢复？")
                               .arg(static_cast<qulonglong>(summary.unsaved()));
        if (dialogs.ask(parent, QStringLiteral("Velmora"), question,
                        DialogService::Icon::Question)) {
            size_t restored = restoreEntries(file.scan, list_);
            saved_ = summary.saved;
            // The journal goes on where it ended; a damaged tail is cut off.
            if (journal_.resume(path_, file.scan.validBytes, restored, error)) return;
            // It cannot be continued: a new one holds the restored list.
            if (!journal_.create(path_, true, error)) {
                reportProblem(error);
                return;
            }
            if (saved_ > 0) journal_.saved(saved_);
            if (!journal_.publish()) reportProblem(journal_.error());
            return;
        }
        keepAside = true;
    }
    if (keepAside) {
        std::string old = path_ + ".old";
        std::remove(old.c_str());
        std::rename(path_.c_str(), old.c_str());
    }
    if (!journal_.create(path_, false, error, list_.size())) reportProblem(error);
}

void WindowJournal::saved(size_t count) {
    if (count <= saved_) return;
    saved_ = count;
    journal_.saved(count);
}

}  // namespace velmora::gui

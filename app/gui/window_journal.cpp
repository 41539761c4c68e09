#include "app/gui/window_journal.h"

#include <QString>

#include <cstdio>
#include <filesystem>

#include "app/engine/journal_reader.h"
#include "app/gui/dialog_service.h"

namespace velmora::gui {

WindowJournal::WindowJournal(const std::string& settingsFolder, CompanyList& list)
    : list_(list),
      path_((std::filesystem::path(settingsFolder) / kFileName).string()),
      journal_(list) {}

WindowJournal::~WindowJournal() {
    if (!journal_.isOpen()) return;
    if (saved_ >= list_.size())
        journal_.remove();
    else
        journal_.close();
}

void WindowJournal::start(DialogService& dialogs, QWidget* parent) {
    // A second window on the same settings folder leaves the first one's
    // journal alone (and goes without one).
    if (ListJournal::inUse(path_)) return;
    std::string error;
    JournalFile file;
    if (!readJournal(path_, file, error)) file.exists = false;
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
            journal_.create(path_, true, error);
            if (saved_ > 0) journal_.saved(saved_);
            journal_.publish();
            return;
        }
        keepAside = true;
    }
    if (keepAside) {
        std::string old = path_ + ".old";
        std::remove(old.c_str());
        std::rename(path_.c_str(), old.c_str());
    }
    journal_.create(path_, false, error, list_.size());
}

void WindowJournal::saved(size_t count) {
    if (count <= saved_) return;
    saved_ = count;
    journal_.saved(count);
}

}  // namespace velmora::gui

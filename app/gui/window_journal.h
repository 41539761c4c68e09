#pragma once
// The window's journal of the company list (velmora.journal in the settings
// folder): at start-up it offers back the entries a crash or a close left
// unsaved; while the program runs it journals every entry; at the end it goes
// when everything was saved, and stays for the next start otherwise. A window
// opened while another one has velmora.journal takes velmora.2.journal, and
// so on; a user is told when the list cannot be journaled at all.
#include <cstddef>
#include <memory>
#include <string>

#include "app/engine/company_list.h"
#include "app/engine/journal_reader.h"
#include "app/engine/list_journal.h"

class QWidget;

namespace velmora::gui {

class DialogService;

class WindowJournal {
  public:
    static constexpr const char* kFileName = "velmora.journal";
    // Windows open at once that each get a journal of their own.
    static constexpr int kSlots = 9;
    // The journal file of slot 1..kSlots in `settingsFolder`.
    static std::string slotPath(const std::string& settingsFolder, int slot);

    WindowJournal(const std::string& settingsFolder, CompanyList& list);
    // Keeps the journal when entries are unsaved, removes it otherwise.
    ~WindowJournal();
    WindowJournal(const WindowJournal&) = delete;
    WindowJournal& operator=(const WindowJournal&) = delete;

    // Start-up: takes the first journal no other window holds, one with
    // unsaved entries first. When it holds entries that were never saved,
    // asks whether to restore them. Yes puts the list back as it stood (IDs
    // and count); No keeps the journal aside as <journal>.old. Then the list
    // (empty or restored) is journaled from here on. A journal that cannot be
    // written is reported once.
    void start(DialogService& dialogs, QWidget* parent);

    // The first `count` entries are saved in a file.
    void saved(size_t count);
    // A run has ended: everything is forced to the disk; a write that failed
    // on the way is reported once.
    void runEnded();

    const std::string& path() const { return path_; }

  private:
    // Picks the slot (sets path_) and gives its journal as read; null when
    // every slot is held.
    std::unique_ptr<JournalFile> chooseSlot();
    // Tells the user, once, that the list is not protected against a crash.
    void reportProblem(const std::string& why);

    CompanyList& list_;
    std::string folder_;
    std::string path_;
    DialogService* dialogs_ = nullptr;
    QWidget* parent_ = nullptr;
    bool reported_ = false;
    ListJournal journal_;
    size_t saved_ = 0;
};

}  // namespace velmora::gui

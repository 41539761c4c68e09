#pragma once
// The window's journal of the company list (velmora.journal in the settings
// folder): at start-up it offers back the entries a crash or a close left
// unsaved; while the program runs it journals every entry; at the end it goes
// when everything was saved, and stays for the next start otherwise.
#include <cstddef>
#include <memory>
#include <string>

#include "app/engine/company_list.h"
#include "app/engine/list_journal.h"

class QWidget;

namespace velmora::gui {

class DialogService;

class WindowJournal {
  public:
    static constexpr const char* kFileName = "velmora.journal";

    WindowJournal(const std::string& settingsFolder, CompanyList& list);
    // Keeps the journal when entries are unsaved, removes it otherwise.
    ~WindowJournal();
    WindowJournal(const WindowJournal&) = delete;
    WindowJournal& operator=(const WindowJournal&) = delete;

    // Start-up: when the journal holds entries that were never saved, asks
    // whether to restore them. Yes puts the list back as it stood (IDs and
    // count); No keeps the journal aside as velmora.journal.old. Then the
    // list (empty or restored) is journaled from here on.
    void start(DialogService& dialogs, QWidget* parent);

    // The first `count` entries are saved in a file.
    void saved(size_t count);
    // A run has ended: everything is forced to the disk.
    void runEnded() { journal_.sync(); }

    const std::string& path() const { return path_; }

  private:
    CompanyList& list_;
    std::string path_;
    ListJournal journal_;
    size_t saved_ = 0;
};

}  // namespace velmora::gui

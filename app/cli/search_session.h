#pragma once
// One list harvested by one or more searches, journaled beside the output
// (OUT.journal) so that a run killed at any moment can be resumed: what the
// sources had taken in is restored, and each source continues from its last
// checkpoint without fetching again any page it had taken in.
#include <memory>
#include <string>
#include <vector>

#include "app/cli/cli_output.h"
#include "app/engine/company_list.h"
#include "app/engine/list_journal.h"
#include "app/engine/run_control.h"
#include "app/engine/run_journal.h"
#include "platform/queue_executor.h"

namespace velmora::cli {

class SearchSession {
  public:
    SearchSession(const SiteConfig& sites, SourceSet sources, bool sameNameFilter, bool research,
                  std::string out);
    ~SearchSession();
    SearchSession(const SearchSession&) = delete;
    SearchSession& operator=(const SearchSession&) = delete;

    std::string journalPath() const { return out_ + ".journal"; }

    // With `resume` and a journal in place: restores the list and `state`
    // from it (`resumed` set). Otherwise starts a new journal; an old one is
    // kept aside as OUT.journal.old. False with a message on a file error or
    // a journal that cannot be resumed.
    bool openJournal(bool resume, ResumeState& state, bool& resumed, std::string& error);

    // Runs one search to its end, or until Ctrl-C stops it: continued from
    // `checkpoints` when given, else from its start. Returns false when Ctrl-C
    // stopped it.
    bool runSearch(const SearchRecord& search, const std::vector<SourceCheckpoint>* checkpoints,
                   RunObserver* observer);

    // Records that a search of a batch has ended (synced to the disk).
    void searchDone(const SearchDone& done) { recorder_.searchDone(done); }

    // Writes the list to OUT; with `removeJournal` the journal goes once the
    // file is in place (a failed write keeps it, so nothing is lost).
    bool writeOutput(OutputFormat format, bool withProfile, bool removeJournal);
    void removeJournal() { journal_.remove(); }

    CompanyList& list() { return list_; }
    RunControl& run() { return *run_; }
    bool interrupted() const;
    // A journal write error, if any (UTF-8).
    std::string journalError() const { return journal_.error(); }

  private:
    std::string out_;
    QueueExecutor main_;
    CompanyList list_;
    ListJournal journal_{list_};
    RunJournal recorder_{journal_};
    std::unique_ptr<RunControl> run_;
    bool staged_ = false;
};

}  // namespace velmora::cli

#pragma once
// The journal of a harvest that can be resumed: the searches, the entries
// each source took in and a checkpoint of every source after each dispatch;
// and reading such a journal back into the list and the sources' checkpoints.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/engine/company_list.h"
#include "app/engine/journal_record.h"
#include "app/engine/list_journal.h"
#include "app/engine/run_checkpoint.h"
#include "app/engine/run_recorder.h"

namespace velmora {

// A search begins (record kSearch).
struct SearchRecord {
    std::uint64_t planIndex = 0;  // place in a batch plan, from 1; 0 for a single harvest
    std::string keywordBox;       // GBK, as typed
    std::string provinceBox;      // GBK, as in the province box
    std::vector<int> sources;
    bool sameNameFilter = false;

    bool sameSearch(const SearchRecord& other) const;
};

// A search of a batch has ended (record kSearchDone).
struct SearchDone {
    std::uint64_t planIndex = 0;
    std::uint64_t firstRow = 0;  // its entries are rows firstRow .. firstRow + added - 1
    std::uint64_t added = 0;
    std::int32_t resultPages = 0;
    std::int32_t detailPages = 0;
    std::int32_t failed = 0;
    bool stopped = false;  // ended by the stop command
};

std::string encodeSearch(const SearchRecord& search);
bool decodeSearch(std::string_view payload, SearchRecord& search);
std::string encodeSearchDone(const SearchDone& done);
bool decodeSearchDone(std::string_view payload, SearchDone& done);

// Writes the run's checkpoints and intake tags into a list journal.
class RunJournal : public RunRecorder {
  public:
    explicit RunJournal(ListJournal& journal) : journal_(journal) {}

    void searchStarted(const SearchRecord& search);
    void searchDone(const SearchDone& done);

    void intakeBy(int source) override { journal_.setTag(source); }
    void handingOut(int source, const WorkRow& row, int detailRow, const RunControl& run) override;
    void sourceEnded(int source, bool stopped, const RunControl& run) override;

  private:
    void checkpoint(int source, SourceCheckpoint::State state, const WorkRow& row, int detailRow,
                    const RunControl& run);

    ListJournal& journal_;
    // What each source's last checkpoint in this file held.
    std::array<CheckpointBase, kSourceCount + 1> last_;
};

// Where an interrupted run stood, read from its journal.
struct ResumeState {
    std::vector<SearchDone> done;  // searches that ended, in journal order
    bool inSearch = false;         // a search was under way
    SearchRecord current;          // that search
    std::uint64_t currentFirstRow = 0;
    std::vector<SourceCheckpoint> checkpoints;  // its sources' latest checkpoints
    size_t restored = 0;                        // entries restored into the list
    size_t dropped = 0;  // entries of a page whose step was not taken in for good
};

// Restores the run's entries into the (empty) list, renumbered 1..n, and
// works out where each source of the search under way stands. An entry that a
// source took in during a step whose checkpoint never followed is left out:
// that page is requested again and takes it in again. False on a journal
// that is no run's (no search in it, or a malformed mark).
bool restoreRun(const journal::Scan& scan, CompanyList& list, ResumeState& state,
                std::string& error);

// Rewrites the restored state into a fresh journal: the entries (all in the
// list now), the ended searches' marks at their places, and the search under
// way. The sources' checkpoints follow as the resumed run hands its rows out.
void rewriteRun(const ResumeState& state, ListJournal& journal);

}  // namespace velmora

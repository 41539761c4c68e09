#include "app/engine/run_journal.h"

#include <algorithm>
#include <map>

#include "app/engine/journal_reader.h"
#include "app/engine/run_control.h"

namespace velmora {

using journal::ByteReader;
using journal::ByteWriter;

bool SearchRecord::sameSearch(const SearchRecord& other) const {
    auto sorted = [](std::vector<int> v) {
        std::sort(v.begin(), v.end());
        return v;
    };
    return planIndex == other.planIndex && keywordBox == other.keywordBox &&
           provinceBox == other.provinceBox && sorted(sources) == sorted(other.sources) &&
           sameNameFilter == other.sameNameFilter;
}

std::string encodeSearch(const SearchRecord& s) {
    std::string out;
    ByteWriter w(out);
    w.number(s.planIndex);
    w.text(s.keywordBox);
    w.text(s.provinceBox);
    w.number(s.sources.size());
    for (int source : s.sources) w.number(static_cast<std::uint64_t>(source));
    w.flag(s.sameNameFilter);
    return out;
}

bool decodeSearch(std::string_view payload, SearchRecord& s) {
    ByteReader r(payload);
    s.planIndex = r.number();
    s.keywordBox = r.text();
    s.provinceBox = r.text();
    std::uint64_t n = r.number();
    s.sources.clear();
    for (std::uint64_t i = 0; i < n && !r.failed(); ++i)
        s.sources.push_back(static_cast<int>(r.number()));
    s.sameNameFilter = r.flag();
    return !r.failed() && r.atEnd();
}

std::string encodeSearchDone(const SearchDone& d) {
    std::string out;
    ByteWriter w(out);
    w.number(d.planIndex);
    w.number(d.firstRow);
    w.number(d.added);
    w.int32(d.resultPages);
    w.int32(d.detailPages);
    w.int32(d.failed);
    w.flag(d.stopped);
    return out;
}

bool decodeSearchDone(std::string_view payload, SearchDone& d) {
    ByteReader r(payload);
    d.planIndex = r.number();
    d.firstRow = r.number();
    d.added = r.number();
    d.resultPages = r.int32();
    d.detailPages = r.int32();
    d.failed = r.int32();
    d.stopped = r.flag();
    return !r.failed() && r.atEnd();
}

void RunJournal::searchStarted(const SearchRecord& search) {
    journal_.record(journal::kSearch, encodeSearch(search));
    journal_.commit();
}

void RunJournal::searchDone(const SearchDone& done) {
    journal_.recordAt(done.firstRow + done.added, journal::kSearchDone, encodeSearchDone(done));
    journal_.sync();
}

void RunJournal::checkpoint(int s, SourceCheckpoint::State state, const WorkRow& row, int detailRow,
                            const RunControl& run) {
    const WorkForm& form = run.form(s);
    std::string payload;
    payload.reserve(256);  // most checkpoints name a row or two and the counters
    encodeCheckpoint(
        payload,
        CheckpointView{s, state, row, detailRow, form, run.lastListingUrls(s), run.progress(s)},
        last_[s]);
    journal_.record(journal::kCheckpoint, std::move(payload));
    // Handed to the system before the worker starts: a process killed from
    // here on loses nothing it had taken in.
    journal_.commit();
}

void RunJournal::handingOut(int source, const WorkRow& row, int detailRow, const RunControl& run) {
    checkpoint(source, SourceCheckpoint::State::InFlight, row, detailRow, run);
}

void RunJournal::sourceEnded(int source, bool stopped, const RunControl& run) {
    checkpoint(source,
               stopped ? SourceCheckpoint::State::Stopped : SourceCheckpoint::State::Finished,
               WorkRow{}, 0, run);
}

bool restoreRun(const journal::Scan& scan, CompanyList& list, ResumeState& state,
                std::string& error) {
    state = ResumeState{};
    const auto& records = scan.records;
    // First pass: the searches, and every source's checkpoints decoded in
    // file order (each builds on the one before it).
    size_t lastSearch = records.size();
    std::array<SourceCheckpoint, kSourceCount + 1> running;
    std::array<size_t, kSourceCount + 1> lastCheckpoint;
    lastCheckpoint.fill(records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        const auto& record = records[i];
        if (record.type == journal::kSearch) {
            if (!decodeSearch(record.payload, state.current)) {
                error = "a damaged search mark";
                return false;
            }
            lastSearch = i;
            state.inSearch = true;
            lastCheckpoint.fill(records.size());
        } else if (record.type == journal::kSearchDone) {
            SearchDone done;
            if (!decodeSearchDone(record.payload, done)) {
                error = "a damaged end-of-search mark";
                return false;
            }
            state.done.push_back(done);
            if (state.inSearch && done.planIndex == state.current.planIndex) state.inSearch = false;
        } else if (record.type == journal::kCheckpoint) {
            journal::ByteReader peek(record.payload);
            auto s = static_cast<size_t>(peek.number());
            if (peek.failed() || s < 1 || s > static_cast<size_t>(kSourceCount) ||
                !decodeCheckpoint(record.payload, running[s])) {
                error = "a damaged checkpoint";
                return false;
            }
            lastCheckpoint[s] = i;
        }
    }
    if (lastSearch == records.size()) {
        error = "no search in the journal";
        return false;
    }

    // Second pass: the entries. Inside the search under way, an entry that a
    // source took in after its last checkpoint belongs to a step that will run
    // again.
    int tag = 0;
    EntryFields columns;
    std::string id;
    for (size_t i = 0; i < records.size(); ++i) {
        const auto& record = records[i];
        if (i == lastSearch) state.currentFirstRow = list.size();
        if (record.type != journal::kEntry) continue;
        if (!decodeEntry(record.payload, tag, columns)) continue;
        bool open = state.inSearch && i > lastSearch && tag >= 1 && tag <= kSourceCount &&
                    (lastCheckpoint[tag] == records.size() || i > lastCheckpoint[tag]);
        if (open) {
            ++state.dropped;
            continue;
        }
        id = std::to_string(list.size() + 1);
        columns[static_cast<int>(Column::Id)] = id;
        list.addEntry(columns);
        ++state.restored;
    }
    if (state.inSearch)
        for (int s = 1; s <= kSourceCount; ++s)
            if (lastCheckpoint[s] != records.size()) state.checkpoints.push_back(running[s]);
    return true;
}

void rewriteRun(const ResumeState& state, ListJournal& journal) {
    for (const auto& done : state.done)
        journal.recordAt(done.firstRow + done.added, journal::kSearchDone, encodeSearchDone(done));
    if (state.inSearch)
        journal.recordAt(state.currentFirstRow, journal::kSearch, encodeSearch(state.current));
}

}  // namespace velmora

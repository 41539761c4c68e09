// A journal as start-up and a resumed run read it back, from any bytes after
// its file head: the records end where the damage begins, the entries come
// back exactly as many as were counted, a resumed run's reading never
// allocates without bound, and the intact part reads the same on its own.
//
// Input: the journal's bytes after the head.
#include <cstdint>
#include <string>

#include "app/engine/journal_reader.h"
#include "app/engine/journal_record.h"
#include "app/engine/run_journal.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace velmora;
    std::string bytes(journal::kFileHead);
    bytes.append(reinterpret_cast<const char*>(data), size);

    journal::Scan scan = journal::scan(bytes);
    FUZZ_CHECK(scan.headOk);
    FUZZ_CHECK(scan.validBytes + scan.damagedBytes == bytes.size());
    size_t end = journal::kFileHead.size();
    for (const auto& record : scan.records) {
        FUZZ_CHECK(record.end > end && record.end <= scan.validBytes);
        end = record.end;
    }
    FUZZ_CHECK(end == scan.validBytes);

    // Start-up: as many entries come back as the summary counts (each record
    // is intact, so only a malformed payload is skipped).
    JournalSummary summary = summarize(scan);
    CompanyList list;
    size_t restored = restoreEntries(scan, list);
    FUZZ_CHECK(restored <= summary.entries);
    FUZZ_CHECK(list.size() == restored);

    // A resumed run.
    CompanyList runList;
    ResumeState state;
    std::string error;
    if (restoreRun(scan, runList, state, error)) {
        FUZZ_CHECK(state.restored + state.dropped <= summary.entries);
        FUZZ_CHECK(runList.size() == state.restored);
        for (size_t r = 0; r < runList.size(); ++r)
            FUZZ_CHECK(runList.field(r, Column::Id) == std::to_string(r + 1));
    }

    // The intact part alone reads as the same records, nothing damaged.
    journal::Scan again = journal::scan(std::string_view(bytes).substr(0, scan.validBytes));
    FUZZ_CHECK(again.damagedBytes == 0);
    FUZZ_CHECK(again.records.size() == scan.records.size());
    return 0;
}

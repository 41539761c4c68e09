// The list journal: records that survive a torn or corrupted tail, the save
// mark, the writer that hands entries over by itself, checkpoints that come
// back exactly, and which entries a resumed run keeps.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <thread>

#include "app/engine/journal_reader.h"
#include "app/engine/list_journal.h"
#include "app/engine/run_checkpoint.h"
#include "app/engine/run_journal.h"
#include "support/test_support.h"

namespace velmora {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

void addNamed(CompanyList& list, const std::string& id, const std::string& name) {
    RecordSlot slot;
    slot[Field::Name] = name;
    slot[Field::Phone] = "0571-" + id;
    slot[Field::Profile] = std::string(300, 'p');
    list.addEntry(id, slot);
}

// A journal of `n` entries with IDs 1..n, closed.
std::string writeJournal(const TempDir& dir, int n) {
    CompanyList list;
    ListJournal journal(list);
    std::string path = dir.file("j.journal"), error;
    EXPECT_TRUE(journal.create(path, false, error)) << error;
    for (int i = 1; i <= n; ++i) addNamed(list, std::to_string(i), "company " + std::to_string(i));
    journal.close();
    return path;
}

std::vector<std::string> restoredIds(const std::string& path) {
    JournalFile file;
    std::string error;
    EXPECT_TRUE(readJournal(path, file, error)) << error;
    CompanyList list;
    restoreEntries(file.scan, list);
    std::vector<std::string> ids;
    for (size_t r = 0; r < list.size(); ++r) ids.emplace_back(list.field(r, Column::Id));
    return ids;
}

TEST(ListJournal, RecordsCarryTheCastagnoliChecksum) {
    EXPECT_EQ(journal::crc32c("123456789"), 0xE3069283u);
    std::string bytes;
    for (int i = 0; i < 1000; ++i) bytes.push_back(static_cast<char>(i * 7));
    for (size_t n : {0u, 1u, 7u, 8u, 9u, 999u})
        EXPECT_EQ(journal::crc32c(std::string_view(bytes).substr(0, n)),
                  journal::crc32cPortable(std::string_view(bytes).substr(0, n)));
}

TEST(ListJournal, EntriesComeBackWithTheirIdsAndFields) {
    TempDir dir;
    CompanyList list;
    ListJournal journal(list);
    std::string path = dir.file("j.journal"), error;
    ASSERT_TRUE(journal.create(path, false, error));
    addNamed(list, "7", "甲");
    addNamed(list, "", "乙");  // an imported entry without an ID
    addNamed(list, "7", "甲");
    journal.close();

    JournalFile file;
    ASSERT_TRUE(readJournal(path, file, error));
    EXPECT_EQ(file.scan.damagedBytes, 0u);
    CompanyList back;
    ASSERT_EQ(restoreEntries(file.scan, back), 3u);
    for (size_t r = 0; r < 3; ++r)
        for (int c = 0; c < kColumns; ++c) EXPECT_EQ(back.field(r, c), list.field(r, c));
}

// Damage done to the tail of a journal of five entries, and how many entries
// must survive it.
struct TailDamage {
    const char* what;
    std::function<void(std::string&)> damage;
    size_t survivors;
};

TEST(ListJournal, ATornOrCorruptTailIsCutOffAndNeverReadAsData) {
    const std::vector<TailDamage> cases = {
        {"last record cut short", [](std::string& b) { b.resize(b.size() - 5); }, 4},
        {"only its frame left", [](std::string& b) { b.resize(b.size() - 330); }, 4},
        {"a flipped payload byte", [](std::string& b) { b[b.size() - 20] ^= 0x40; }, 4},
        {"half a frame appended", [](std::string& b) { b.append("\x10\x00\x00", 3); }, 5},
        {"zeros appended (a lost block)", [](std::string& b) { b.append(4096, '\0'); }, 5},
        {"a huge length", [](std::string& b) { b.append("\xFF\xFF\xFF\x7F\0\0\0\0E", 9); }, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        std::string path = writeJournal(dir, 5);
        std::string bytes = readFile(path);
        c.damage(bytes);
        writeFile(path, bytes);

        JournalFile file;
        std::string error;
        ASSERT_TRUE(readJournal(path, file, error));
        EXPECT_GT(file.scan.damagedBytes, 0u);
        auto ids = restoredIds(path);
        ASSERT_EQ(ids.size(), c.survivors);
        for (size_t i = 0; i < ids.size(); ++i) EXPECT_EQ(ids[i], std::to_string(i + 1));

        // Continuing the journal cuts the damage off for good.
        CompanyList list;
        size_t restored = restoreEntries(file.scan, list);
        ListJournal journal(list);
        ASSERT_TRUE(journal.resume(path, file.scan.validBytes, restored, error)) << error;
        addNamed(list, "9", "new");
        journal.close();
        JournalFile again;
        ASSERT_TRUE(readJournal(path, again, error));
        EXPECT_EQ(again.scan.damagedBytes, 0u);
        EXPECT_EQ(summarize(again.scan).entries, c.survivors + 1);
    }
}

TEST(ListJournal, ANonJournalFileHoldsNothing) {
    TempDir dir;
    writeFile(dir.file("x"), "not a journal at all");
    JournalFile file;
    std::string error;
    ASSERT_TRUE(readJournal(dir.file("x"), file, error));
    EXPECT_FALSE(file.scan.headOk);
    EXPECT_TRUE(file.scan.records.empty());
    ASSERT_TRUE(readJournal(dir.file("missing"), file, error));
    EXPECT_FALSE(file.exists);
}

TEST(ListJournal, ASaveMarksEverythingUpToThenAsSaved) {
    TempDir dir;
    CompanyList list;
    ListJournal journal(list);
    std::string path = dir.file("j.journal"), error;
    ASSERT_TRUE(journal.create(path, false, error));
    for (int i = 1; i <= 5; ++i) addNamed(list, std::to_string(i), "c");
    journal.saved(3);  // an export that began at three entries
    addNamed(list, "6", "c");
    journal.close();
    JournalFile file;
    ASSERT_TRUE(readJournal(path, file, error));
    JournalSummary s = summarize(file.scan);
    EXPECT_EQ(s.entries, 6u);
    EXPECT_EQ(s.saved, 3u);
    EXPECT_EQ(s.unsaved(), 3u);
}

TEST(ListJournal, EntriesReachTheFileWithoutBeingAsked) {
    TempDir dir;
    CompanyList list;
    ListJournal journal(list);
    std::string path = dir.file("j.journal"), error;
    ASSERT_TRUE(journal.create(path, false, error));
    for (int i = 1; i <= 50; ++i) addNamed(list, std::to_string(i), "c");
    // The writer thread hands them over on its own (a hang guard, not a timing goal).
    for (int i = 0; i < 200 && restoredIds(path).size() < 50; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(restoredIds(path).size(), 50u);
    addNamed(list, "51", "c");
    journal.commit();  // handed over at once
    EXPECT_EQ(restoredIds(path).size(), 51u);
}

TEST(ListJournal, AStagedRewriteReplacesTheOldJournalOnlyWhenPublished) {
    TempDir dir;
    std::string path = writeJournal(dir, 3);
    CompanyList list;
    addNamed(list, "1", "only");
    {
        ListJournal journal(list);
        std::string error;
        ASSERT_TRUE(journal.create(path, true, error));
        journal.commit();
        EXPECT_EQ(restoredIds(path).size(), 3u);  // still the old one
    }                                             // dropped without publishing
    EXPECT_EQ(restoredIds(path).size(), 3u);
    ListJournal journal(list);
    std::string error;
    ASSERT_TRUE(journal.create(path, true, error));
    ASSERT_TRUE(journal.publish());
    EXPECT_EQ(restoredIds(path), std::vector<std::string>{"1"});
}

TEST(ListJournal, OneProgramAtATimeWritesAJournal) {
    TempDir dir;
    std::string path = writeJournal(dir, 2), error;
    EXPECT_FALSE(ListJournal::inUse(path));
    CompanyList list;
    ListJournal first(list);
    ASSERT_TRUE(first.resume(path, readFile(path).size(), 2, error)) << error;
    EXPECT_TRUE(ListJournal::inUse(path));
    ListJournal second(list);
    EXPECT_FALSE(second.create(path, false, error));
    EXPECT_EQ(restoredIds(path).size(), 2u);  // not truncated by the attempt
    first.close();
    EXPECT_FALSE(ListJournal::inUse(path));
    EXPECT_TRUE(second.create(path, false, error)) << error;
}

WorkForm sampleForm() {
    WorkForm f(42);
    f.listing.write(1, "Y", "http://a/queryr.asp?x=1", "7[0]0{0}");
    for (int r = 1; r <= 10; ++r)
        f.detail.write(r, r < 4 ? "Y" : "N", "http://a/d" + std::to_string(r), "7[0]1{0}");
    f.detail.at(60).url = "beyond the nominal rows";
    f.mailHits.write(2, "N", "http://s/hit", "0[0]2{0}");
    f.knownPages = 3;
    f.nextPage = -2;
    f.detailCount = 10;
    f.nextDetailRow = 4;
    f.resultPage = 7;
    f.listingFailures = 1;
    f.slot[Field::Website] = "http://www.example.cn";
    f.keyword = "\xCA\xD6\xBB\xFA";
    f.province = "330000";
    f.startTaken = true;
    f.lastPageSpent = true;
    f.lastPageNames = {"a", "", "b"};
    return f;
}

void expectSameForm(const WorkForm& a, const WorkForm& b) {
    for (auto [x, y] : {std::pair{&a.listing, &b.listing}, std::pair{&a.detail, &b.detail},
                        std::pair{&a.mailHits, &b.mailHits}}) {
        ASSERT_EQ(x->size(), y->size());
        for (int r = 1; r <= x->size(); ++r) EXPECT_EQ(x->row(r), y->row(r)) << r;
    }
    EXPECT_EQ(a.knownPages, b.knownPages);
    EXPECT_EQ(a.nextPage, b.nextPage);
    EXPECT_EQ(a.detailCount, b.detailCount);
    EXPECT_EQ(a.nextDetailRow, b.nextDetailRow);
    EXPECT_EQ(a.resultPage, b.resultPage);
    EXPECT_EQ(a.listingFailures, b.listingFailures);
    EXPECT_EQ(a.slot, b.slot);
    EXPECT_EQ(a.keyword, b.keyword);
    EXPECT_EQ(a.province, b.province);
    EXPECT_EQ(a.startTaken, b.startTaken);
    EXPECT_EQ(a.lastPageSpent, b.lastPageSpent);
    EXPECT_EQ(a.lastPageNames, b.lastPageNames);
}

TEST(RunCheckpoint, AFormComesBackExactlyInFullAndAsChangedRows) {
    SourceCheckpoint first{7,
                           SourceCheckpoint::State::InFlight,
                           {"Y", "http://a/d4", "k"},
                           4,
                           sampleForm(),
                           {"u1", "u2"},
                           {true, 2, 3, 1, 4, 2}};
    std::string full;
    CheckpointBase base;
    encodeCheckpoint(full, first, base);
    SourceCheckpoint back;
    ASSERT_TRUE(decodeCheckpoint(full, back));
    EXPECT_EQ(back.source, 7);
    EXPECT_EQ(back.inFlight, first.inFlight);
    EXPECT_EQ(back.inFlightDetailRow, 4);
    EXPECT_EQ(back.lastListingUrls, first.lastListingUrls);
    EXPECT_EQ(back.progress.detailPages, 3);
    EXPECT_EQ(back.progress.unfetched, 4);
    expectSameForm(back.form, first.form);

    // The next checkpoint writes only what changed, and is much shorter.
    SourceCheckpoint second = first;
    second.state = SourceCheckpoint::State::Stopped;
    second.form.detail.at(4).mark = "Y";
    second.form.detail.clearRow(9);
    second.form.nextDetailRow = 5;
    std::string diff;
    encodeCheckpoint(diff, second, base);
    EXPECT_LT(diff.size(), full.size() / 3);
    ASSERT_TRUE(decodeCheckpoint(diff, back));
    EXPECT_EQ(back.state, SourceCheckpoint::State::Stopped);
    EXPECT_EQ(back.lastListingUrls, first.lastListingUrls);
    expectSameForm(back.form, second.form);

    // A third, against the second: a grown and a shrunk table, new urls.
    SourceCheckpoint third = second;
    third.form.detail.at(60).url = "http://a/d60";
    third.form.mailHits = WorkTable(3);
    third.lastListingUrls = {"u3"};
    std::string next;
    encodeCheckpoint(next, third, base);
    ASSERT_TRUE(decodeCheckpoint(next, back));
    EXPECT_EQ(back.lastListingUrls, third.lastListingUrls);
    expectSameForm(back.form, third.form);

    for (size_t cut = 0; cut < diff.size(); ++cut) {
        SourceCheckpoint scratch = first;
        EXPECT_FALSE(decodeCheckpoint(std::string_view(diff).substr(0, cut), scratch)) << cut;
    }
}

// Records of a run written by hand, as the run control would have them.
struct RunScript {
    std::string bytes{journal::kFileHead};
    std::map<int, CheckpointBase> last;

    void search(std::uint64_t index) {
        journal::appendRecord(bytes, journal::kSearch,
                              encodeSearch({index, "k", "p", {5, 7}, false}));
    }
    void checkpoint(int source, int nextRow) {
        SourceCheckpoint c;
        c.source = source;
        c.form.nextDetailRow = nextRow;
        std::string payload;
        encodeCheckpoint(payload, c, last[source]);
        journal::appendRecord(bytes, journal::kCheckpoint, payload);
    }
    void entry(int tag, const std::string& name) {
        std::string payload;
        journal::ByteWriter w(payload);
        w.number(static_cast<std::uint64_t>(tag));
        for (int c = 0; c < kColumns; ++c) w.text(c == 1 ? name : "x");
        journal::appendRecord(bytes, journal::kEntry, payload);
    }
};

TEST(RestoreRun, EntriesOfAStepWhoseCheckpointNeverFollowedAreLeftOut) {
    RunScript run;
    run.search(0);
    run.checkpoint(5, 1);
    run.checkpoint(7, 1);
    run.entry(7, "a");  // taken in by the dispatch that wrote the next checkpoint
    run.checkpoint(7, 2);
    run.entry(5, "b");  // source 5 takes companies in during its step ...
    run.entry(7, "c");  // ... while source 7's dispatch takes one in
    run.checkpoint(7, 3);
    run.entry(5, "d");  // ... and the process dies before source 5's step ends
    run.entry(7, "e");  // a dispatch whose checkpoint was never written

    CompanyList list;
    ResumeState state;
    std::string error;
    ASSERT_TRUE(restoreRun(journal::scan(run.bytes), list, state, error)) << error;
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.field(0, Column::Name), "a");
    EXPECT_EQ(list.field(1, Column::Name), "c");
    EXPECT_EQ(list.field(1, Column::Id), "2");  // renumbered after what was left out
    EXPECT_EQ(state.dropped, 3u);
    ASSERT_TRUE(state.inSearch);
    ASSERT_EQ(state.checkpoints.size(), 2u);
    EXPECT_EQ(state.checkpoints[0].source, 5);
    EXPECT_EQ(state.checkpoints[1].form.nextDetailRow, 3);
}

TEST(RestoreRun, EndedSearchesOfABatchAreKeptWhole) {
    RunScript run;
    run.search(1);
    run.checkpoint(7, 1);
    run.entry(7, "a");
    run.checkpoint(7, 9);
    journal::appendRecord(run.bytes, journal::kSearchDone, encodeSearchDone({1, 0, 1, 1, 1, 0}));
    run.search(2);
    run.entry(7, "b");  // before source 7's first checkpoint of search 2

    CompanyList list;
    ResumeState state;
    std::string error;
    ASSERT_TRUE(restoreRun(journal::scan(run.bytes), list, state, error)) << error;
    EXPECT_EQ(list.size(), 1u);
    ASSERT_EQ(state.done.size(), 1u);
    EXPECT_TRUE(state.inSearch);
    EXPECT_EQ(state.current.planIndex, 2u);
    EXPECT_EQ(state.currentFirstRow, 1u);
    EXPECT_TRUE(state.checkpoints.empty());  // search 2's sources start afresh

    std::string noSearch{journal::kFileHead};
    EXPECT_FALSE(restoreRun(journal::scan(noSearch), list, state, error));
}

}  // namespace
}  // namespace velmora

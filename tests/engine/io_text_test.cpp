// The text format: export, import, the slot rule and file errors.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <csignal>

#include "io/text_format.h"
#include "io_test_support.h"

namespace velmora {
namespace {

using namespace iotest;

// "·[" + id + "]" with the middle dot as the two GBK bytes A1 A4.
std::string marker(const std::string& id) {
    return "\xA1\xA4[" + id + "]";
}

std::string block(const Row& row, bool withProfile = true) {
    std::string out = marker(row[0]) + "\r\n";
    for (int c = 1; c < 10; ++c) out += row[c] + "\r\n";
    out += (withProfile ? row[10] : std::string()) + "\r\n\r\n";
    return out;
}

// A list to import into, the reporter's record and a folder for the files.
class TextFormat : public ::testing::Test {
  protected:
    bool exportFile(const CompanyList& from, const std::string& name,
                    std::function<bool()> profile = profileOn()) {
        auto reporter = rec.reporter();
        return io::exportText(from, dir.file(name), std::move(profile), reporter);
    }
    bool importFile(CompanyList& into, const std::string& name) {
        auto reporter = rec.reporter();
        return io::importText(into, dir.file(name), reporter);
    }
    bool importBytes(std::string_view bytes, CompanyList* into = nullptr) {
        writeFile(dir.file("in.txt"), bytes);
        return importFile(into ? *into : list, "in.txt");
    }

    CompanyList list;
    Recorder rec;
    TempDir dir;
};

TEST_F(TextFormat, ExportWritesTwelveLineGbkBlocksOverThePreviousFile) {
    Row row = sampleRow(7);
    add(list, row);
    writeFile(dir.file("out.txt"), std::string(100000, 'p'));
    ASSERT_TRUE(exportFile(list, "out.txt"));
    std::string bytes = readFile(dir.file("out.txt"));
    EXPECT_EQ(bytes, block(row));
    EXPECT_EQ(bytes.substr(0, 3), "\xA1\xA4[");
    EXPECT_EQ(dir.names(), std::vector<std::string>{"out.txt"});
    EXPECT_EQ(rec.lastStatus(), G("保存企业信息完成"));
    EXPECT_EQ(rec.busy, (std::vector<bool>{true, false}));
    EXPECT_TRUE(rec.messages.empty());
    EXPECT_FALSE(rec.calledOffMain);
}

TEST_F(TextFormat, ProfileOptionIsReadForEveryBlock) {
    add(list, sampleRow(1));
    add(list, sampleRow(2));
    int calls = 0;
    ASSERT_TRUE(exportFile(list, "out.txt", [&] { return ++calls == 1; }));
    EXPECT_EQ(readFile(dir.file("out.txt")), block(sampleRow(1)) + block(sampleRow(2), false));
}

TEST_F(TextFormat, RoundTripReproducesEveryEntryAndEmptyProfilesWithoutThem) {
    CompanyList source;
    for (size_t i = 1; i <= 50; ++i) add(source, sampleRow(i * 3));
    add(source, Row{"", G("无编号公司"), "", "", "", "", "", "", "", "", ""});
    add(source, Row{"x-9", G(" 前后有空格 "), "\t", "", "", "", "", "", "", "", G("简介")});
    ASSERT_TRUE(exportFile(source, "list.txt"));
    add(list, sampleRow(1000));
    ASSERT_TRUE(importFile(list, "list.txt"));
    expectSameRows(list, source, true, 1);
    EXPECT_EQ(rec.lastStatus(), G("导入企业信息完成"));
    EXPECT_EQ(rec.importCompletions, 1);
    EXPECT_EQ(rec.busy, (std::vector<bool>{true, false, true, false}));

    ASSERT_TRUE(exportFile(source, "bare.txt", profileOff()));
    CompanyList bare;
    ASSERT_TRUE(importFile(bare, "bare.txt"));
    expectSameRows(bare, source, /*withProfile=*/false);
}

TEST_F(TextFormat, WorkerThreadsHandEntriesToTheMainThreadInBatches) {
    CompanyList source;
    const size_t n = 10000;  // several batches
    for (size_t i = 1; i <= n; ++i) add(source, sampleRow(i));
    ASSERT_TRUE(onWorker<bool>(rec, [&] { return exportFile(source, "list.txt"); }));

    list.setSameNameFilter(true);
    add(list, sampleRow(5));  // a duplicate of the fifth block: refused
    auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(onWorker<bool>(rec, [&] { return importFile(list, "list.txt"); }));
    auto elapsed = std::chrono::steady_clock::now() - started;
    ASSERT_EQ(list.size(), n);
    EXPECT_EQ(rowOf(list, 4), rowOf(source, 3));
    EXPECT_EQ(rowOf(list, 5), rowOf(source, 5));
    EXPECT_EQ(rowOf(list, n - 1), rowOf(source, n - 1));
    EXPECT_FALSE(rec.calledOffMain);
    EXPECT_EQ(rec.lastStatus(), G("导入企业信息完成"));
    // Progress texts are throttled: a few per 50 ms at most, not one per block.
    auto intervals = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() / 50;
    size_t progress = 0;
    for (const auto& s : rec.statuses)
        if (s.rfind(G("正在导入企业信息... "), 0) == 0) ++progress;
    EXPECT_LE(progress, static_cast<size_t>(intervals) + 2);
}

TEST_F(TextFormat, EmptyListGivesEmptyFileAndEmptyFileImportsNothing) {
    CompanyList empty;
    ASSERT_TRUE(exportFile(empty, "empty.txt"));
    EXPECT_EQ(readFile(dir.file("empty.txt")), "");
    ASSERT_TRUE(importFile(list, "empty.txt"));
    EXPECT_EQ(list.size(), 0u);
    EXPECT_EQ(rec.lastStatus(), G("导入企业信息完成"));
    EXPECT_EQ(rec.importCompletions, 1);
}

// How the import groups lines into entries: a file and the rows it gives.
TEST_F(TextFormat, LinesAreGroupedIntoEntries) {
    Row a = sampleRow(1), b = sampleRow(2);
    std::string noMarker = "\r\n";  // a group without marker whose first line is empty
    for (int i = 0; i < 10; ++i) noMarker += "line " + std::to_string(i) + "\r\n";
    std::string withoutMarkers;
    for (int i = 1; i <= 23; ++i) withoutMarkers += "[" + std::to_string(i) + "]\r\n";
    Row bracketed{"1", "[2]", "[3]", "[4]", "[5]", "[6]", "[7]", "[8]", "[9]", "[10]", "[11]"};
    Row bracketed2 = bracketed;
    for (int c = 0; c < kColumns; ++c) bracketed2[c] = "[" + std::to_string(c + 12) + "]";
    bracketed2[0] = "12";
    std::string lacksClosing = block(b).substr(0, block(b).size() - 2);  // no final empty line
    std::string shortBlock = marker("9") + "\r\n";  // ten lines: the profile line is missing
    for (int c = 1; c < 10; ++c) shortBlock += "f\r\n";
    std::string noLineEnd = block(a).substr(0, block(a).size() - 4);  // profile without line end

    const struct {
        const char* what;
        std::string file;
        std::vector<Row> rows;
    } cases[] = {
        {"stray lines between blocks",
         "stray line\r\n" + block(a) + "junk 1\r\njunk 2\r\n\r\n" + block(b) + "tail\r\n",
         {a, b}},
        {"group without marker whose first line is empty", noMarker + block(a), {a}},
        // Lines 1-11 and 12-22; line 23 alone is dropped.
        {"no markers: eleven lines at a time", withoutMarkers, {bracketed, bracketed2}},
        {"last block lacking only its closing line", block(a) + lacksClosing, {a, b}},
        {"short last block", block(a) + shortBlock, {a}},
        {"last line without line end", noLineEnd, {a}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CompanyList into;
        ASSERT_TRUE(importBytes(c.file, &into));
        ASSERT_EQ(into.size(), c.rows.size());
        for (size_t r = 0; r < c.rows.size(); ++r) EXPECT_EQ(rowOf(into, r), c.rows[r]);
        EXPECT_EQ(rec.lastStatus(), G("导入企业信息完成"));
    }
}

TEST_F(TextFormat, LineBreakInsideFieldSplitsTheBlock) {
    CompanyList source;
    Row broken = sampleRow(1);
    broken[5] = G("第一行") + "\r\n" + G("第二行");  // address with a line break
    Row next = sampleRow(2);
    add(source, broken);
    add(source, next);
    ASSERT_TRUE(exportFile(source, "b.txt"));
    ASSERT_TRUE(importFile(list, "b.txt"));
    ASSERT_EQ(list.size(), 2u);
    // The ten columns are the ten lines after the marker line.
    EXPECT_EQ(list.field(0, Column::Address), G("第一行"));
    EXPECT_EQ(list.field(0, Column::Postcode), G("第二行"));
    EXPECT_EQ(list.field(0, Column::Email), broken[6]);
    EXPECT_EQ(list.field(0, Column::Profile), broken[9]);
    EXPECT_EQ(rowOf(list, 1), next);
}

TEST_F(TextFormat, IdIsTakenFromTheMarkerLine) {
    auto blockWithMarker = [](const std::string& line) {
        std::string out = line + "\r\n" + G("公司") + "\r\n";
        for (int c = 2; c < 11; ++c) out += "v\r\n";
        return out + "\r\n";
    };
    std::string file = blockWithMarker(marker("")) + blockWithMarker("\xA1\xA4[42") +
                       blockWithMarker("x\xA1\xA4[ 8 ]tail]") + blockWithMarker("]\xA1\xA4[5");
    ASSERT_TRUE(importBytes(file));
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list.field(0, Column::Id), "");     // empty brackets
    EXPECT_EQ(list.field(1, Column::Id), "");     // no "]"
    EXPECT_EQ(list.field(2, Column::Id), " 8 ");  // as read, up to the first "]"
    EXPECT_EQ(list.field(3, Column::Id), "");     // "]" before "["
    EXPECT_EQ(list.field(0, Column::Name), G("公司"));
}

TEST_F(TextFormat, ImportedIdsAreKeptWhileTheCountRises) {
    add(list, sampleRow(1));
    ASSERT_TRUE(importBytes(block(sampleRow(1))));  // ID "1" again
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.field(1, Column::Id), "1");
}

TEST_F(TextFormat, SameNameFilterSkipsDuplicatesWithoutRaisingTheCount) {
    list.setSameNameFilter(true);
    add(list, sampleRow(1));
    Row dup = sampleRow(1);
    dup[0] = "77";
    Row fresh = sampleRow(2);
    Row again = sampleRow(2);  // a duplicate of an entry of the same file
    again[0] = "78";
    ASSERT_TRUE(importBytes(block(dup) + block(fresh) + block(again)));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(rowOf(list, 1), fresh);

    list.setSameNameFilter(false);
    ASSERT_TRUE(importBytes(block(dup)));
    EXPECT_EQ(list.size(), 3u);
}

TEST_F(TextFormat, LineEndsCrLfLoneLfAndLoneCr) {
    // Lone LF ends a line; after a lone CR the rest of the physical line goes.
    std::string file = marker("1") + "\n" + G("名称") + "\rskipped part\n";
    for (int c = 2; c < 10; ++c) file += "f" + std::to_string(c) + "\n";
    file += "profile\r\r\n\r\n";
    ASSERT_TRUE(importBytes(file));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.field(0, Column::Id), "1");
    EXPECT_EQ(list.field(0, Column::Name), G("名称"));
    EXPECT_EQ(list.field(0, Column::Phone), "f2");
    EXPECT_EQ(list.field(0, Column::Fax), "f9");
    EXPECT_EQ(list.field(0, Column::Profile), "profile");

    // A lone CR at the end of the file still ends the last line.
    file = marker("1") + "\r\n";
    for (int c = 1; c < 10; ++c) file += "f\r\n";
    ASSERT_TRUE(importBytes(file + "last\rjunk"));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.field(1, Column::Profile), "last");
}

TEST_F(TextFormat, BlocksAcrossReadChunksAreReadWhole) {
    // Fields of about 300 KB put line ends and markers on chunk borders.
    CompanyList source;
    for (size_t i = 0; i < 12; ++i) {
        Row row = sampleRow(i);
        row[10] = std::string(300000 + i * 7, static_cast<char>('a' + i));
        add(source, row);
    }
    ASSERT_TRUE(exportFile(source, "big.txt"));
    ASSERT_TRUE(importFile(list, "big.txt"));
    expectSameRows(list, source);
}

// A 20 MB line stands in for the 100 MB one: memory follows the line's size,
// and the list keeps what it held.
TEST_F(TextFormat, VeryLongLineIsReadWithoutLosingTheList) {
    add(list, sampleRow(1));
    Row a = sampleRow(2);
    a[10] = std::string(20u << 20, 'x');
    ASSERT_TRUE(importBytes(block(a)));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(rowOf(list, 0), sampleRow(1));
    EXPECT_EQ(list.field(1, Column::Profile).size(), 20u << 20);
}

TEST_F(TextFormat, LineOverTheLimitEndsTheImportAndKeepsWhatWasRead) {
    add(list, sampleRow(1));
    Row a = sampleRow(2), b = sampleRow(3);
    writeFile(dir.file("long.txt"), block(a) + std::string(20u << 20, 'y') + "\r\n" + block(b));
    auto reporter = rec.reporter();
    io::TextImportLimits limits;
    limits.maxLineBytes = 8u << 20;
    EXPECT_FALSE(io::importText(list, dir.file("long.txt"), reporter, limits));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(rowOf(list, 0), sampleRow(1));
    EXPECT_EQ(rowOf(list, 1), a);
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0].first, G("提示"));
    EXPECT_NE(rec.lastStatus(), G("导入企业信息完成"));
    EXPECT_EQ(rec.busy, (std::vector<bool>{true, false}));
    EXPECT_EQ(rec.importCompletions, 0);
}

TEST_F(TextFormat, MissingFileIsReportedAsAnError) {
    EXPECT_FALSE(importFile(list, "none.txt"));
    EXPECT_EQ(list.size(), 0u);
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0].first, G("提示"));
    EXPECT_EQ(rec.lastStatus(), G("导入企业信息失败"));
    EXPECT_EQ(rec.busy, (std::vector<bool>{true, false}));
}

TEST_F(TextFormat, SavingOverAFolderFailsWithAMessage) {
    add(list, sampleRow(1));
    std::filesystem::create_directory(dir.file("folder"));
    EXPECT_FALSE(exportFile(list, "folder"));
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0].first, G("提示"));
    EXPECT_NE(rec.lastStatus(), G("保存企业信息完成"));
    EXPECT_EQ(rec.busy, (std::vector<bool>{true, false}));
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("folder")));
    EXPECT_EQ(dir.names(), std::vector<std::string>{"folder"});

    EXPECT_FALSE(exportFile(list, "missing/out.txt"));
    EXPECT_EQ(rec.messages.size(), 2u);
}

// A write error halfway (the file size limit stands in for a full disk):
// the previous file stays, the error is reported, no temporary file is left.
int saveUnderFileSizeLimit(const std::string& path) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{1u << 20, 1u << 20};
    setrlimit(RLIMIT_FSIZE, &limit);
    CompanyList list;
    for (size_t i = 0; i < 20000; ++i) add(list, sampleRow(i));
    Recorder rec;
    auto reporter = rec.reporter();
    bool saved = io::exportText(list, path, profileOn(), reporter);
    bool reported = rec.messages.size() == 1 && rec.lastStatus() != G("保存企业信息完成") &&
                    rec.busy == std::vector<bool>{true, false};
    return !saved && reported ? 0 : 1;
}

TEST_F(TextFormat, FailedSaveLeavesThePreviousFileIntact) {
    const std::string previous(3000, 'p');
    writeFile(dir.file("out.txt"), previous);
    EXPECT_EXIT(std::exit(saveUnderFileSizeLimit(dir.file("out.txt"))),
                ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(readFile(dir.file("out.txt")), previous);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"out.txt"});
}

}  // namespace
}  // namespace velmora

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

std::function<bool()> profileOn() {
    return [] { return true; };
}
std::function<bool()> profileOff() {
    return [] { return false; };
}

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

bool importFile(CompanyList& list, Recorder& rec, const std::string& path) {
    auto reporter = rec.reporter();
    return io::importText(list, path, reporter);
}

bool importBytes(CompanyList& list, Recorder& rec, const TempDir& dir, std::string_view bytes) {
    writeFile(dir.file("in.txt"), bytes);
    return importFile(list, rec, dir.file("in.txt"));
}

TEST(TextFormat, ExportWritesTwelveLineGbkBlocks) {
    CompanyList list;
    Row row = sampleRow(7);
    add(list, row);
    TempDir dir;
    Recorder rec;
    auto reporter = rec.reporter();
    ASSERT_TRUE(io::exportText(list, dir.file("out.txt"), profileOn(), reporter));
    std::string bytes = readFile(dir.file("out.txt"));
    EXPECT_EQ(bytes, block(row));
    EXPECT_EQ(bytes.substr(0, 3), "\xA1\xA4[");
    EXPECT_EQ(rec.lastStatus(), G("保存企业信息完成"));
    EXPECT_EQ(rec.busy, (std::vector<bool>{true, false}));
    EXPECT_TRUE(rec.messages.empty());
    EXPECT_FALSE(rec.calledOffMain);
}

TEST(TextFormat, ProfileOptionIsReadForEveryBlock) {
    CompanyList list;
    add(list, sampleRow(1));
    add(list, sampleRow(2));
    TempDir dir;
    Recorder rec;
    auto reporter = rec.reporter();
    int calls = 0;
    ASSERT_TRUE(io::exportText(
        list, dir.file("out.txt"), [&] { return ++calls == 1; }, reporter));
    EXPECT_EQ(readFile(dir.file("out.txt")), block(sampleRow(1)) + block(sampleRow(2), false));
}

TEST(TextFormat, RoundTripWithProfileReproducesEveryEntry) {
    CompanyList source;
    for (size_t i = 1; i <= 50; ++i) add(source, sampleRow(i * 3));
    add(source, Row{"", G("无编号公司"), "", "", "", "", "", "", "", "", ""});
    add(source, Row{"x-9", G(" 前后有空格 "), "\t", "", "", "", "", "", "", "", G("简介")});
    TempDir dir;
    Recorder rec;
    auto reporter = rec.reporter();
    ASSERT_TRUE(io::exportText(source, dir.file("list.txt"), profileOn(), reporter));

    CompanyList target;
    add(target, sampleRow(1000));
    ASSERT_TRUE(importFile(target, rec, dir.file("list.txt")));
    ASSERT_EQ(target.size(), source.size() + 1);
    for (size_t r = 0; r < source.size(); ++r) EXPECT_EQ(rowOf(target, r + 1), rowOf(source, r));
    EXPECT_EQ(rec.lastStatus(), G("导入企业信息完成"));
    EXPECT_EQ(rec.importCompletions, 1);
    EXPECT_EQ(rec.busy, (std::vector<bool>{true, false, true, false}));
}

TEST(TextFormat, RoundTripWithoutProfileGivesEmptyProfiles) {
    CompanyList source;
    for (size_t i = 1; i <= 20; ++i) add(source, sampleRow(i));
    TempDir dir;
    Recorder rec;
    auto reporter = rec.reporter();
    ASSERT_TRUE(io::exportText(source, dir.file("list.txt"), profileOff(), reporter));
    CompanyList target;
    ASSERT_TRUE(importFile(target, rec, dir.file("list.txt")));
    ASSERT_EQ(target.size(), source.size());
    for (size_t r = 0; r < source.size(); ++r) {
        Row expected = rowOf(source, r);
        expected[10].clear();
        EXPECT_EQ(rowOf(target, r), expected);
    }
}

TEST(TextFormat, WorkerThreadsHandEntriesToTheMainThreadInBatches) {
    CompanyList source;
    const size_t n = 10000;  // several batches
    for (size_t i = 1; i <= n; ++i) add(source, sampleRow(i));
    TempDir dir;
    Recorder rec;
    auto reporter = rec.reporter();
    ASSERT_TRUE(onWorker<bool>(
        rec, [&] { return io::exportText(source, dir.file("list.txt"), profileOn(), reporter); }));

    CompanyList target;
    target.setSameNameFilter(true);
    add(target, sampleRow(5));  // a duplicate of the fifth block: refused
    auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(onWorker<bool>(
        rec, [&] { return io::importText(target, dir.file("list.txt"), reporter); }));
    auto elapsed = std::chrono::steady_clock::now() - started;
    ASSERT_EQ(target.size(), n);
    EXPECT_EQ(rowOf(target, 4), rowOf(source, 3));
    EXPECT_EQ(rowOf(target, 5), rowOf(source, 5));
    EXPECT_EQ(rowOf(target, n - 1), rowOf(source, n - 1));
    EXPECT_FALSE(rec.calledOffMain);
    EXPECT_EQ(rec.lastStatus(), G("导入企业信息完成"));
    // Progress texts are throttled: a few per 50 ms at most, not one per block.
    auto intervals = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() / 50;
    size_t progress = 0;
    for (const auto& s : rec.statuses)
        if (s.rfind(G("正在导入企业信息... "), 0) == 0) ++progress;
    EXPECT_LE(progress, static_cast<size_t>(intervals) + 2);
}

TEST(TextFormat, EmptyListGivesEmptyFileAndEmptyFileImportsNothing) {
    CompanyList empty;
    TempDir dir;
    Recorder rec;
    auto reporter = rec.reporter();
    ASSERT_TRUE(io::exportText(empty, dir.file("empty.txt"), profileOn(), reporter));
    EXPECT_EQ(readFile(dir.file("empty.txt")), "");
    CompanyList list;
    ASSERT_TRUE(importFile(list, rec, dir.file("empty.txt")));
    EXPECT_EQ(list.size(), 0u);
    EXPECT_EQ(rec.lastStatus(), G("导入企业信息完成"));
    EXPECT_EQ(rec.importCompletions, 1);
}

TEST(TextFormat, StrayLinesBetweenBlocksDoNoHarm) {
    Row a = sampleRow(1), b = sampleRow(2);
    std::string file =
        "stray line\r\n" + block(a) + "junk 1\r\njunk 2\r\n\r\n" + block(b) + "tail\r\n";
    CompanyList list;
    Recorder rec;
    TempDir dir;
    ASSERT_TRUE(importBytes(list, rec, dir, file));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(rowOf(list, 0), a);
    EXPECT_EQ(rowOf(list, 1), b);
}

TEST(TextFormat, GroupWithoutMarkerIsDroppedWhenItsFirstLineIsEmpty) {
    Row a = sampleRow(1);
    // An empty line and ten more: a group whose first line is empty.
    std::string noMarker = "\r\n";
    for (int i = 0; i < 10; ++i) noMarker += "line " + std::to_string(i) + "\r\n";
    CompanyList list;
    Recorder rec;
    TempDir dir;
    ASSERT_TRUE(importBytes(list, rec, dir, noMarker + block(a)));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(rowOf(list, 0), a);
}

TEST(TextFormat, FileWithoutMarkersIsGroupedElevenLinesAtATime) {
    std::string file;
    for (int i = 1; i <= 23; ++i) file += "[" + std::to_string(i) + "]\r\n";
    CompanyList list;
    Recorder rec;
    TempDir dir;
    ASSERT_TRUE(importBytes(list, rec, dir, file));
    ASSERT_EQ(list.size(), 2u);  // lines 1-11 and 12-22; line 23 alone is dropped
    EXPECT_EQ(list.field(0, Column::Id), "1");
    EXPECT_EQ(list.field(0, Column::Name), "[2]");
    EXPECT_EQ(list.field(0, Column::Profile), "[11]");
    EXPECT_EQ(list.field(1, Column::Id), "12");
}

TEST(TextFormat, ShortLastBlockIsDroppedButOneLackingOnlyItsClosingLineIsRead) {
    Row a = sampleRow(1), b = sampleRow(2);
    std::string full = block(a);
    std::string lacksClosing = block(b).substr(0, block(b).size() - 2);  // no final empty line
    CompanyList list;
    Recorder rec;
    TempDir dir;
    ASSERT_TRUE(importBytes(list, rec, dir, full + lacksClosing));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(rowOf(list, 1), b);

    // Ten lines only (the profile line is missing): not imported.
    std::string shortBlock = marker("9") + "\r\n";
    for (int c = 1; c < 10; ++c) shortBlock += "f\r\n";
    CompanyList list2;
    ASSERT_TRUE(importBytes(list2, rec, dir, full + shortBlock));
    EXPECT_EQ(list2.size(), 1u);
    EXPECT_EQ(rec.lastStatus(), G("导入企业信息完成"));
}

TEST(TextFormat, LastLineWithoutLineEndIsRead) {
    Row a = sampleRow(4);
    std::string text = marker(a[0]) + "\r\n";
    for (int c = 1; c < 10; ++c) text += a[c] + "\r\n";
    text += a[10];  // the profile, no line end, no closing line
    CompanyList list;
    Recorder rec;
    TempDir dir;
    ASSERT_TRUE(importBytes(list, rec, dir, text));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(rowOf(list, 0), a);
}

TEST(TextFormat, LineBreakInsideFieldSplitsTheBlock) {
    CompanyList source;
    Row broken = sampleRow(1);
    broken[5] = G("第一行") + "\r\n" + G("第二行");  // address with a line break
    Row next = sampleRow(2);
    add(source, broken);
    add(source, next);
    TempDir dir;
    Recorder rec;
    auto reporter = rec.reporter();
    ASSERT_TRUE(io::exportText(source, dir.file("b.txt"), profileOn(), reporter));
    CompanyList list;
    ASSERT_TRUE(importFile(list, rec, dir.file("b.txt")));
    ASSERT_EQ(list.size(), 2u);
    // The ten columns are the ten lines after the marker line.
    EXPECT_EQ(list.field(0, Column::Address), G("第一行"));
    EXPECT_EQ(list.field(0, Column::Postcode), G("第二行"));
    EXPECT_EQ(list.field(0, Column::Email), broken[6]);
    EXPECT_EQ(list.field(0, Column::Profile), broken[9]);
    EXPECT_EQ(rowOf(list, 1), next);
}

TEST(TextFormat, IdIsTakenFromTheMarkerLine) {
    auto blockWithMarker = [](const std::string& line) {
        std::string out = line + "\r\n" + G("公司") + "\r\n";
        for (int c = 2; c < 11; ++c) out += "v\r\n";
        return out + "\r\n";
    };
    std::string file = blockWithMarker(marker("")) + blockWithMarker("\xA1\xA4[42") +
                       blockWithMarker("x\xA1\xA4[ 8 ]tail]") + blockWithMarker("]\xA1\xA4[5");
    CompanyList list;
    Recorder rec;
    TempDir dir;
    ASSERT_TRUE(importBytes(list, rec, dir, file));
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list.field(0, Column::Id), "");     // empty brackets
    EXPECT_EQ(list.field(1, Column::Id), "");     // no "]"
    EXPECT_EQ(list.field(2, Column::Id), " 8 ");  // as read, up to the first "]"
    EXPECT_EQ(list.field(3, Column::Id), "");     // "]" before "["
    EXPECT_EQ(list.field(0, Column::Name), G("公司"));
}

TEST(TextFormat, ImportedIdsAreKeptWhileTheCountRises) {
    CompanyList list;
    add(list, sampleRow(1));
    Row a = sampleRow(1);  // ID "1" again
    Recorder rec;
    TempDir dir;
    ASSERT_TRUE(importBytes(list, rec, dir, block(a)));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.field(1, Column::Id), "1");
}

TEST(TextFormat, SameNameFilterSkipsDuplicatesWithoutRaisingTheCount) {
    CompanyList list;
    list.setSameNameFilter(true);
    add(list, sampleRow(1));
    Row dup = sampleRow(1);
    dup[0] = "77";
    Row fresh = sampleRow(2);
    Row again = sampleRow(2);  // a duplicate of an entry of the same file
    again[0] = "78";
    Recorder rec;
    TempDir dir;
    ASSERT_TRUE(importBytes(list, rec, dir, block(dup) + block(fresh) + block(again)));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(rowOf(list, 1), fresh);

    list.setSameNameFilter(false);
    ASSERT_TRUE(importBytes(list, rec, dir, block(dup)));
    EXPECT_EQ(list.size(), 3u);
}

TEST(TextFormat, LineEndsCrLfLoneLfAndLoneCr) {
    // Lone LF ends a line; after a lone CR the rest of the physical line goes.
    std::string file = marker("1") + "\n" + G("名称") + "\rskipped part\n";
    for (int c = 2; c < 10; ++c) file += "f" + std::to_string(c) + "\n";
    file += "profile\r\r\n\r\n";
    CompanyList list;
    Recorder rec;
    TempDir dir;
    ASSERT_TRUE(importBytes(list, rec, dir, file));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.field(0, Column::Id), "1");
    EXPECT_EQ(list.field(0, Column::Name), G("名称"));
    EXPECT_EQ(list.field(0, Column::Phone), "f2");
    EXPECT_EQ(list.field(0, Column::Fax), "f9");
    EXPECT_EQ(list.field(0, Column::Profile), "profile");
}

TEST(TextFormat, LoneCrAtTheEndOfTheFileStillEndsTheLastLine) {
    std::string file = marker("1") + "\r\n";
    for (int c = 1; c < 10; ++c) file += "f\r\n";
    file += "last\rjunk";
    CompanyList list;
    Recorder rec;
    TempDir dir;
    ASSERT_TRUE(importBytes(list, rec, dir, file));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.field(0, Column::Profile), "last");
}

TEST(TextFormat, BlocksAcrossReadChunksAreReadWhole) {
    // Fields of about 300 KB put line ends and markers on chunk borders.
    CompanyList source;
    for (size_t i = 0; i < 12; ++i) {
        Row row = sampleRow(i);
        row[10] = std::string(300000 + i * 7, static_cast<char>('a' + i));
        add(source, row);
    }
    TempDir dir;
    Recorder rec;
    auto reporter = rec.reporter();
    ASSERT_TRUE(io::exportText(source, dir.file("big.txt"), profileOn(), reporter));
    CompanyList list;
    ASSERT_TRUE(importFile(list, rec, dir.file("big.txt")));
    ASSERT_EQ(list.size(), source.size());
    for (size_t r = 0; r < source.size(); ++r) EXPECT_EQ(rowOf(list, r), rowOf(source, r));
}

// A 20 MB line stands in for the 100 MB one: memory follows the line's size,
// and the list keeps what it held.
TEST(TextFormat, VeryLongLineIsReadWithoutLosingTheList) {
    CompanyList list;
    add(list, sampleRow(1));
    Row a = sampleRow(2);
    a[10] = std::string(20u << 20, 'x');
    Recorder rec;
    TempDir dir;
    ASSERT_TRUE(importBytes(list, rec, dir, block(a)));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(rowOf(list, 0), sampleRow(1));
    EXPECT_EQ(list.field(1, Column::Profile).size(), 20u << 20);
}

TEST(TextFormat, LineOverTheLimitEndsTheImportAndKeepsWhatWasRead) {
    CompanyList list;
    add(list, sampleRow(1));
    Row a = sampleRow(2), b = sampleRow(3);
    std::string file = block(a) + std::string(20u << 20, 'y') + "\r\n" + block(b);
    TempDir dir;
    writeFile(dir.file("long.txt"), file);
    Recorder rec;
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

TEST(TextFormat, MissingFileIsReportedAsAnError) {
    CompanyList list;
    TempDir dir;
    Recorder rec;
    EXPECT_FALSE(importFile(list, rec, dir.file("none.txt")));
    EXPECT_EQ(list.size(), 0u);
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0].first, G("提示"));
    EXPECT_EQ(rec.lastStatus(), G("导入企业信息失败"));
    EXPECT_EQ(rec.busy, (std::vector<bool>{true, false}));
}

TEST(TextFormat, SavingOverAFolderFailsWithAMessage) {
    CompanyList list;
    add(list, sampleRow(1));
    TempDir dir;
    std::filesystem::create_directory(dir.file("folder"));
    Recorder rec;
    auto reporter = rec.reporter();
    EXPECT_FALSE(io::exportText(list, dir.file("folder"), profileOn(), reporter));
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0].first, G("提示"));
    EXPECT_NE(rec.lastStatus(), G("保存企业信息完成"));
    EXPECT_EQ(rec.busy, (std::vector<bool>{true, false}));
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("folder")));
    EXPECT_EQ(dir.names(), std::vector<std::string>{"folder"});

    EXPECT_FALSE(io::exportText(list, dir.file("missing/out.txt"), profileOn(), reporter));
    EXPECT_EQ(rec.messages.size(), 2u);
}

TEST(TextFormat, OverwritingReplacesThePreviousFile) {
    CompanyList list;
    add(list, sampleRow(1));
    TempDir dir;
    writeFile(dir.file("out.txt"), std::string(100000, 'p'));
    Recorder rec;
    auto reporter = rec.reporter();
    ASSERT_TRUE(io::exportText(list, dir.file("out.txt"), profileOn(), reporter));
    EXPECT_EQ(readFile(dir.file("out.txt")), block(sampleRow(1)));
    EXPECT_EQ(dir.names(), std::vector<std::string>{"out.txt"});
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

TEST(TextFormat, FailedSaveLeavesThePreviousFileIntact) {
    TempDir dir;
    const std::string previous(3000, 'p');
    writeFile(dir.file("out.txt"), previous);
    EXPECT_EXIT(std::exit(saveUnderFileSizeLimit(dir.file("out.txt"))),
                ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(readFile(dir.file("out.txt")), previous);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"out.txt"});
}

}  // namespace
}  // namespace velmora

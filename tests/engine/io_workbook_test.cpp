// The spreadsheet format: .xlsx export, .xlsx and legacy .xls import, the
// row rules, the failure paths and bounded reading of hostile workbooks.
#include <gtest/gtest.h>
#include <minizip/zip.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <map>

#include "io/number_text.h"
#include "io/workbook.h"
#include "io_test_support.h"

namespace velmora {
namespace {

using namespace iotest;

io::WorkbookSave save(const CompanyList& list, Recorder& rec, const std::string& path,
                      bool profile = true) {
    auto reporter = rec.reporter();
    return io::exportWorkbook(list, path, profile ? profileOn() : profileOff(), reporter);
}

bool load(CompanyList& list, Recorder& rec, const std::string& path,
          const io::WorkbookLimits& limits = {}) {
    auto reporter = rec.reporter();
    return io::importWorkbook(list, path, reporter, limits);
}

// Writes a ZIP package of the given parts (name -> content).
void writeZip(const std::string& path,
              const std::vector<std::pair<std::string, std::string>>& parts) {
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    ASSERT_NE(zip, nullptr);
    for (const auto& [name, content] : parts) {
        ASSERT_EQ(zipOpenNewFileInZip(zip, name.c_str(), nullptr, nullptr, 0, nullptr, 0, nullptr,
                                      Z_DEFLATED, Z_DEFAULT_COMPRESSION),
                  ZIP_OK);
        if (!content.empty()) {
            ASSERT_EQ(
                zipWriteInFileInZip(zip, content.data(), static_cast<unsigned>(content.size())),
                ZIP_OK);
        }
        ASSERT_EQ(zipCloseFileInZip(zip), ZIP_OK);
    }
    ASSERT_EQ(zipClose(zip, nullptr), ZIP_OK);
}

const char* kXmlHead = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)";
const char* kMainNs =
    R"(xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
    R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships")";
const char* kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

std::string rel(const std::string& id, const std::string& type, const std::string& target) {
    return "<Relationship Id=\"" + id + "\" Type=\"" + kRelNs + type + "\" Target=\"" + target +
           "\"/>";
}

// A package whose workbook lives in "xl/", with the given worksheet XML as
// its only sheet and optional shared strings.
std::vector<std::pair<std::string, std::string>> package(const std::string& sheetData,
                                                         const std::string& sharedStrings = "") {
    std::vector<std::pair<std::string, std::string>> parts;
    parts.emplace_back("[Content_Types].xml", std::string(kXmlHead) + "<Types/>");
    parts.emplace_back("_rels/.rels",
                       std::string(kXmlHead) +
                           "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                           "relationships\">" +
                           rel("rId1", "officeDocument", "xl/workbook.xml") + "</Relationships>");
    parts.emplace_back("xl/workbook.xml", std::string(kXmlHead) + "<workbook " + kMainNs +
                                              "><sheets><sheet name=\"S\" sheetId=\"1\" "
                                              "r:id=\"rId1\"/></sheets></workbook>");
    std::string rels = rel("rId1", "worksheet", "worksheets/sheet1.xml");
    if (!sharedStrings.empty()) rels += rel("rId2", "sharedStrings", "sharedStrings.xml");
    parts.emplace_back("xl/_rels/workbook.xml.rels",
                       std::string(kXmlHead) +
                           "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                           "relationships\">" +
                           rels + "</Relationships>");
    parts.emplace_back("xl/worksheets/sheet1.xml", std::string(kXmlHead) + "<worksheet " + kMainNs +
                                                       "><sheetData>" + sheetData +
                                                       "</sheetData></worksheet>");
    if (!sharedStrings.empty()) parts.emplace_back("xl/sharedStrings.xml", sharedStrings);
    return parts;
}

std::string inlineCell(const std::string& ref, const std::string& utf8) {
    return "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + utf8 + "</t></is></c>";
}

// A sheet row of inline strings in columns A, B, ...
std::string inlineRow(int r, const std::vector<std::string>& cells) {
    std::string out = "<row r=\"" + std::to_string(r) + "\">";
    for (size_t c = 0; c < cells.size(); ++c)
        if (!cells[c].empty())
            out += inlineCell(std::string(1, static_cast<char>('A' + c)) + std::to_string(r),
                              cells[c]);
    return out + "</row>";
}

// The reporter's record and a folder for the files.
class Workbook : public ::testing::Test {
  protected:
    Recorder rec;
    TempDir dir;
};

Row tricky() {
    return Row{"007",
               G(" 杭州（前后空格）有限公司 "),
               "0571 88888888",
               "a\tb",
               G("第一行") + "\r\n" + G("第二行"),
               "x\x01y<&>\"'",
               "310000",
               "_x0041_ and _x005F_",
               "http://www.example.com/?a=1&b=2",
               std::string("nul\0byte", 8),
               G("简介：") + std::string(5000, 'z')};
}

TEST_F(Workbook, ExportThenImportReproducesEveryEntryWithOrWithoutProfile) {
    CompanyList source;
    for (size_t i = 1; i <= 30; ++i) add(source, sampleRow(i));
    add(source, tricky());
    ASSERT_EQ(save(source, rec, dir.file("list.xlsx")), io::WorkbookSave::Saved);
    EXPECT_EQ(rec.lastStatus(), G("保存企业信息完成"));
    EXPECT_EQ(rec.statuses.size() >= 2 ? rec.statuses[rec.statuses.size() - 2] : "",
              G("正在保存企业信息... ") + "31");
    EXPECT_EQ(rec.busy, (std::vector<bool>{true, false}));
    EXPECT_TRUE(rec.messages.empty());
    EXPECT_EQ(dir.names(), std::vector<std::string>{"list.xlsx"});

    CompanyList target;
    add(target, sampleRow(99));
    ASSERT_TRUE(load(target, rec, dir.file("list.xlsx")));
    expectSameRows(target, source, true, 1);
    EXPECT_EQ(rec.lastStatus(), G("导入企业信息完成"));
    EXPECT_EQ(rec.importCompletions, 1);
    EXPECT_TRUE(rec.messages.empty());
    EXPECT_FALSE(rec.calledOffMain);

    // Without the profile, column eleven stays blank.
    ASSERT_EQ(save(source, rec, dir.file("bare.xlsx"), false), io::WorkbookSave::Saved);
    CompanyList bare;
    ASSERT_TRUE(load(bare, rec, dir.file("bare.xlsx")));
    expectSameRows(bare, source, /*withProfile=*/false);
}

TEST_F(Workbook, EmptyListSavesAnEmptySheet) {
    CompanyList empty;
    ASSERT_EQ(save(empty, rec, dir.file("empty.xlsx")), io::WorkbookSave::Saved);
    EXPECT_EQ(rec.lastStatus(), G("保存企业信息完成"));
    CompanyList target;
    ASSERT_TRUE(load(target, rec, dir.file("empty.xlsx")));
    EXPECT_EQ(target.size(), 0u);
    EXPECT_EQ(rec.lastStatus(), G("导入企业信息完成"));
}

TEST_F(Workbook, WorkerThreadsSaveAndLoadWithThrottledProgress) {
    CompanyList source;
    const size_t n = 6000;
    for (size_t i = 1; i <= n; ++i) add(source, sampleRow(i));
    auto reporter = rec.reporter();
    auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(
        onWorker<io::WorkbookSave>(
            rec,
            [&] { return io::exportWorkbook(source, dir.file("w.xlsx"), profileOn(), reporter); }),
        io::WorkbookSave::Saved);
    ASSERT_TRUE(onWorker<bool>(rec, [&] {
        return io::importWorkbook(source, dir.file("w.xlsx"), reporter);  // appends to itself
    }));
    auto elapsed = std::chrono::steady_clock::now() - started;
    ASSERT_EQ(source.size(), 2 * n);
    EXPECT_EQ(rowOf(source, n), rowOf(source, 0));
    EXPECT_EQ(rowOf(source, 2 * n - 1), rowOf(source, n - 1));
    EXPECT_FALSE(rec.calledOffMain);
    // A few progress texts per 50 ms at most, and the last row always shown.
    auto intervals = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() / 50;
    EXPECT_LE(rec.statuses.size(), static_cast<size_t>(intervals) + 6);
    auto shown = [&](const std::string& text) {
        return std::find(rec.statuses.begin(), rec.statuses.end(), text) != rec.statuses.end();
    };
    EXPECT_TRUE(shown(G("正在保存企业信息... ") + std::to_string(n)));
    EXPECT_TRUE(shown(G("正在导入企业信息... ") + std::to_string(n)));
    EXPECT_EQ(rec.lastStatus(), G("导入企业信息完成"));
}

TEST_F(Workbook, HandMadePackageWithSharedAndInlineStringsAndNumbers) {
    std::string shared =
        std::string(kXmlHead) + "<sst " + kMainNs +
        " count=\"3\" uniqueCount=\"3\">"
        "<si><t>宁波贸易有限公司</t></si>"
        "<si><r><t>富</t></r><r><rPr><b/></rPr><t xml:space=\"preserve\">文本 </t></r>"
        "<rPh sb=\"0\" eb=\"1\"><t>フリガナ</t></rPh></si>"
        "<si><t>line_x000D_break</t></si></sst>";
    std::string sheet =
        // Row 1: a number ID, a shared string, an inline string, a number
        // stored in exponent form, a boolean; cells addressed out of order.
        "<row r=\"1\"><c r=\"B1\" t=\"s\"><v>0</v></c><c r=\"A1\"><v>1</v></c>"
        "<c r=\"C1\" t=\"inlineStr\"><is><t>0571 88888888</t></is></c>"
        "<c r=\"G1\"><v>3.1E5</v></c><c r=\"H1\" t=\"b\"><v>1</v></c>"
        "<c r=\"K1\" t=\"s\"><v>1</v></c><c r=\"L1\"><v>ignored</v></c></row>"
        // Row 2: a text ID, a formula's string result, a decimal, an empty
        // cell; cells without references follow each other.
        "<row r=\"2\"><c t=\"str\"><f>A1</f><v>007</v></c><c t=\"s\"><v>2</v></c><c/>"
        "<c><v>0.1</v></c><c r=\"F2\"><v>-0</v></c><c r=\"G2\"><v>310000</v></c></row>";
    writeZip(dir.file("made.xlsx"), package(sheet, shared));
    CompanyList list;
    ASSERT_TRUE(load(list, rec, dir.file("made.xlsx")));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(rowOf(list, 0), (Row{"1", G("宁波贸易有限公司"), "0571 88888888", "", "", "",
                                   "310000", "TRUE", "", "", G("富文本 ")}));
    EXPECT_EQ(rowOf(list, 1),
              (Row{"007", "line\rbreak", "", "0.1", "", "0", "310000", "", "", "", ""}));
}

TEST_F(Workbook, FirstWorksheetIsTakenInSheetOrderThroughTheRelationships) {
    auto parts = package(inlineRow(1, {"1", "wrong sheet"}));
    // The workbook lists sheet rId3 (a chart sheet), then rId2, then rId1.
    for (auto& [name, content] : parts) {
        if (name == "xl/workbook.xml")
            content = std::string(kXmlHead) + "<workbook " + kMainNs +
                      "><sheets><sheet name=\"C\" sheetId=\"3\" r:id=\"rId3\"/>"
                      "<sheet name=\"B\" sheetId=\"2\" r:id=\"rId2\"/>"
                      "<sheet name=\"A\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
        if (name == "xl/_rels/workbook.xml.rels")
            content = std::string(kXmlHead) + "<Relationships>" +
                      rel("rId1", "worksheet", "worksheets/sheet1.xml") +
                      rel("rId2", "worksheet", "/xl/worksheets/data%20sheet.xml") +
                      rel("rId3", "chartsheet", "chartsheets/sheet1.xml") + "</Relationships>";
    }
    parts.emplace_back("xl/worksheets/data sheet.xml",
                       std::string(kXmlHead) + "<worksheet " + kMainNs + "><sheetData>" +
                           inlineRow(1, {"5", "right sheet"}) + "</sheetData></worksheet>");
    writeZip(dir.file("order.xlsx"), parts);
    CompanyList list;
    ASSERT_TRUE(load(list, rec, dir.file("order.xlsx")));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.field(0, Column::Name), "right sheet");
}

TEST_F(Workbook, ImportStopsAtTheFirstBlankOrBlankOnlyIdAndStillSucceeds) {
    const struct {
        const char* what;
        std::string sheet;
        size_t rows;
    } cases[] = {
        {"blank first row", inlineRow(1, {"", "name"}) + inlineRow(2, {"2", "x"}), 0},
        {"blank-only id",
         inlineRow(1, {"1", "a"}) + inlineRow(2, {" \t ", "b"}) + inlineRow(3, {"3", "c"}), 1},
        // A row the sheet does not hold at all is blank too.
        {"missing row",
         inlineRow(1, {"1", "a"}) + inlineRow(2, {"2", "b"}) + inlineRow(4, {"4", "d"}), 2},
        // So is a row whose first cell is missing.
        {"missing first cell",
         inlineRow(1, {" 1 ", "a"}) + inlineRow(2, {"", "b"}) + inlineRow(3, {"3", "c"}), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeZip(dir.file("rows.xlsx"), package(c.sheet));
        CompanyList list;
        add(list, sampleRow(1));
        int completions = rec.importCompletions;
        ASSERT_TRUE(load(list, rec, dir.file("rows.xlsx")));
        EXPECT_EQ(list.size(), c.rows + 1);
        EXPECT_EQ(rec.lastStatus(), G("导入企业信息完成"));
        EXPECT_EQ(rec.importCompletions, completions + 1);
    }
    CompanyList list;
    ASSERT_TRUE(load(list, rec, dir.file("rows.xlsx")));
    EXPECT_EQ(list.field(0, Column::Id), " 1 ");  // as read, not trimmed
}

TEST_F(Workbook, RefusedRowsAdvanceProgressButNotTheCount) {
    writeZip(dir.file("dup.xlsx"),
             package(inlineRow(1, {"1", "same"}) + inlineRow(2, {"2", "same"}) +
                     inlineRow(3, {"3", "other"})));
    CompanyList list;
    list.setSameNameFilter(true);
    ASSERT_TRUE(load(list, rec, dir.file("dup.xlsx")));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.field(1, Column::Id), "3");
    ASSERT_GE(rec.statuses.size(), 2u);
    EXPECT_EQ(rec.statuses[rec.statuses.size() - 2], G("正在导入企业信息... ") + "3");
}

// The same cells as written by two other programs: a legacy .xls (BIFF8)
// and an .xlsx with shared strings and numeric cells.
void expectFixtureEntries(const CompanyList& list) {
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(rowOf(list, 0),
              (Row{"1", G("杭州测试机械有限公司"), "0571 88888888", G("王先生"), G("李经理"),
                   G("浙江省杭州市西湖区文三路1号"), "310000", "sales@example.com",
                   "http://www.example.com", "0571-88889999", G("主营机械设备。")}));
    EXPECT_EQ(rowOf(list, 1), (Row{"007", G("宁波贸易有限公司"), "0574-1234567", "", "", "",
                                   "315000", "", "", "", ""}));
    EXPECT_EQ(rowOf(list, 2), (Row{"3", G("温州鞋业公司"), "1.5", "", "", "", "", "", "", "", ""}));
}

TEST_F(Workbook, LegacyXlsByContentWhateverItsNameAndOtherWritersXlsxImport) {
    std::string bytes = readFile(std::string(VELMORA_TEST_DATA) + "/legacy.xls");
    ASSERT_FALSE(bytes.empty());
    writeFile(dir.file("legacy.txt"), bytes);  // the name does not choose the reader
    for (const std::string& path :
         {dir.file("legacy.txt"), std::string(VELMORA_TEST_DATA) + "/other_writer.xlsx"}) {
        SCOPED_TRACE(path);
        CompanyList list;
        ASSERT_TRUE(load(list, rec, path));
        expectFixtureEntries(list);
        EXPECT_EQ(rec.lastStatus(), G("导入企业信息完成"));
    }
}

TEST_F(Workbook, DamagedOrForeignFilesTakeTheFailurePath) {
    CompanyList source;
    for (size_t i = 1; i <= 200; ++i) add(source, sampleRow(i));
    Recorder saver;
    ASSERT_EQ(save(source, saver, dir.file("good.xlsx")), io::WorkbookSave::Saved);
    std::string good = readFile(dir.file("good.xlsx"));
    std::string legacy = readFile(std::string(VELMORA_TEST_DATA) + "/legacy.xls");

    std::vector<std::pair<std::string, std::string>> cases = {
        {"truncated.xlsx", good.substr(0, good.size() / 2)},
        {"headonly.xlsx", good.substr(0, 64)},
        {"garbage.xlsx", std::string(5000, '\x5A')},
        {"text.xlsx", "\xA1\xA4[1]\r\nnot a workbook\r\n"},
        {"empty.xlsx", ""},
        {"truncated.xls", legacy.substr(0, legacy.size() / 2)},
        {"ole-header-only.xls", legacy.substr(0, 512)},
        // The library reads outside its buffers on this file; the reader runs
        // in a process of its own, so only that process may die.
        {"damaged-biff.xls", readFile(std::string(VELMORA_TEST_DATA) + "/damaged-biff.xls")},
    };
    writeZip(dir.file("plain.zip"), {{"hello.txt", "not a workbook"}});
    cases.emplace_back("plain.zip", readFile(dir.file("plain.zip")));
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        writeFile(dir.file(name), bytes);
        CompanyList list;
        add(list, sampleRow(1));
        Recorder rec;
        EXPECT_FALSE(load(list, rec, dir.file(name)));
        EXPECT_EQ(list.size(), 1u);
        ASSERT_EQ(rec.messages.size(), 1u);
        EXPECT_EQ(rec.messages[0].first, G("提示"));
        EXPECT_EQ(rec.messages[0].second,
                  G("初始化Excel失败，未安装Excel。请重试或导入TXT格式文件。"));
        EXPECT_EQ(rec.busy, (std::vector<bool>{true, false}));
        EXPECT_NE(rec.lastStatus(), G("导入企业信息完成"));
        EXPECT_EQ(rec.importCompletions, 0);
    }
    CompanyList list;
    EXPECT_FALSE(load(list, rec, dir.file("does-not-exist.xlsx")));
    EXPECT_EQ(rec.messages.size(), 1u);
}

TEST_F(Workbook, DamageAfterSomeRowsKeepsTheRowsRead) {
    // The sheet breaks off in row 3: rows 1 and 2 were appended and stay.
    auto parts = package(inlineRow(1, {"1", "a"}) + inlineRow(2, {"2", "b"}));
    for (auto& [name, content] : parts)
        if (name == "xl/worksheets/sheet1.xml")
            content = content.substr(0, content.find("</sheetData>")) + "<row r=\"3\"><c r=\"A3\"";
    writeZip(dir.file("cut.xlsx"), parts);
    CompanyList list;
    EXPECT_FALSE(load(list, rec, dir.file("cut.xlsx")));
    EXPECT_EQ(list.size(), 2u);
    EXPECT_EQ(rec.messages.size(), 1u);
}

TEST_F(Workbook, ImportNeverWritesToTheFileItReads) {
    CompanyList source;
    add(source, sampleRow(1));
    ASSERT_EQ(save(source, rec, dir.file("r.xlsx")), io::WorkbookSave::Saved);
    std::string before = readFile(dir.file("r.xlsx"));
    struct stat st1 {};
    ASSERT_EQ(::stat(dir.file("r.xlsx").c_str(), &st1), 0);
    ASSERT_EQ(::chmod(dir.file("r.xlsx").c_str(), 0444), 0);
    CompanyList list;
    ASSERT_TRUE(load(list, rec, dir.file("r.xlsx")));
    struct stat st2 {};
    ASSERT_EQ(::stat(dir.file("r.xlsx").c_str(), &st2), 0);
    EXPECT_EQ(readFile(dir.file("r.xlsx")), before);
    EXPECT_EQ(st1.st_mtim.tv_sec, st2.st_mtim.tv_sec);
    EXPECT_EQ(st1.st_mtim.tv_nsec, st2.st_mtim.tv_nsec);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"r.xlsx"});
}

TEST_F(Workbook, SavingOverAFolderFailsAndKeepsIt) {
    CompanyList list;
    add(list, sampleRow(1));
    std::filesystem::create_directory(dir.file("out.xlsx"));
    EXPECT_EQ(save(list, rec, dir.file("out.xlsx")), io::WorkbookSave::Failed);
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0].first, G("提示"));
    EXPECT_EQ(rec.messages[0].second, G("初始化Excel失败，未安装Excel。请重试或保存为TXT格式。"));
    EXPECT_EQ(rec.busy, (std::vector<bool>{true, false}));
    EXPECT_NE(rec.lastStatus(), G("保存企业信息完成"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("out.xlsx")));
    EXPECT_EQ(dir.names(), std::vector<std::string>{"out.xlsx"});
}

TEST_F(Workbook, CellTooLongForASpreadsheetFailsAndKeepsThePreviousFile) {
    CompanyList list;
    add(list, sampleRow(1));
    add(list, sampleRow(2));
    Row huge = sampleRow(3);
    huge[10] = std::string(40000, 'h');  // more than a cell can hold
    add(list, huge);
    writeFile(dir.file("out.xlsx"), "previous");
    EXPECT_EQ(save(list, rec, dir.file("out.xlsx")), io::WorkbookSave::Failed);
    EXPECT_EQ(readFile(dir.file("out.xlsx")), "previous");
    EXPECT_EQ(dir.names(), std::vector<std::string>{"out.xlsx"});
    ASSERT_EQ(rec.messages.size(), 1u);
    // The status stays at the last row that was filled.
    EXPECT_EQ(rec.lastStatus(), G("正在保存企业信息... ") + "2");
}

// Writing the spilled rows fails (the file size limit stands in for a full
// disk): the failure path, and the previous file stays.
int saveWorkbookUnderFileSizeLimit(const std::string& path) {
    std::signal(SIGXFSZ, SIG_IGN);
    CompanyList list;
    std::uint32_t seed = 12345;  // letters that do not compress away
    for (size_t i = 0; i < 3000; ++i) {
        Row row = sampleRow(i);
        row[10].clear();
        for (int k = 0; k < 200; ++k) {
            seed = seed * 1103515245u + 12345u;
            row[10].push_back(static_cast<char>('a' + (seed >> 16) % 26));
        }
        add(list, row);
    }
    rlimit limit{64u << 10, 64u << 10};
    setrlimit(RLIMIT_FSIZE, &limit);
    Recorder rec;
    io::WorkbookSave result = save(list, rec, path);
    bool reported = rec.messages.size() == 1 && rec.busy == std::vector<bool>{true, false} &&
                    rec.lastStatus() != G("保存企业信息完成");
    return result == io::WorkbookSave::Failed && reported ? 0 : 1;
}

TEST_F(Workbook, WriteErrorWhileFillingKeepsThePreviousFile) {
    writeFile(dir.file("out.xlsx"), "previous");
    EXPECT_EXIT(std::exit(saveWorkbookUnderFileSizeLimit(dir.file("out.xlsx"))),
                ::testing::ExitedWithCode(0), "");
    EXPECT_TRUE(readFile(dir.file("out.xlsx")) == "previous");
    EXPECT_EQ(dir.names(), std::vector<std::string>{"out.xlsx"});
}

// The save step fails after every cell was filled (here the temporary file
// is turned into a folder while the rows are written): "已经取消保存", no
// success text, and the previous file stays.
TEST_F(Workbook, FailedSaveStepCancelsAndKeepsThePreviousFile) {
    CompanyList list;
    for (size_t i = 1; i <= 3; ++i) add(list, sampleRow(i));
    writeFile(dir.file("out.xlsx"), "previous");
    auto reporter = rec.reporter();
    bool sabotaged = false;
    auto withProfile = [&] {
        if (!sabotaged) {
            for (const auto& name : dir.names()) {
                if (name == "out.xlsx") continue;
                std::filesystem::remove(dir.file(name));
                std::filesystem::create_directory(dir.file(name));
                sabotaged = true;
            }
        }
        return true;
    };
    EXPECT_EQ(io::exportWorkbook(list, dir.file("out.xlsx"), withProfile, reporter),
              io::WorkbookSave::Cancelled);
    EXPECT_TRUE(sabotaged);
    EXPECT_EQ(rec.lastStatus(), G("已经取消保存"));
    EXPECT_EQ(rec.statuses.size() >= 2 ? rec.statuses[rec.statuses.size() - 2] : "",
              G("正在保存企业信息... ") + "3");
    EXPECT_TRUE(rec.messages.empty());
    EXPECT_EQ(rec.busy, (std::vector<bool>{true, false}));
    EXPECT_TRUE(readFile(dir.file("out.xlsx")) == "previous");
}

TEST_F(Workbook, DeclaredSharedStringCountsAreNotTrusted) {
    std::string shared = std::string(kXmlHead) + "<sst " + kMainNs +
                         " count=\"4294967295\" uniqueCount=\"4294967295\">"
                         "<si><t>one</t></si><si><t>two</t></si></sst>";
    writeZip(
        dir.file("claims.xlsx"),
        package(
            "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c></row>",
            shared));
    CompanyList list;
    ASSERT_TRUE(load(list, rec, dir.file("claims.xlsx")));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.field(0, Column::Name), "two");
}

TEST_F(Workbook, SharedStringsBeyondTheLimitsFailCleanly) {
    std::string many = std::string(kXmlHead) + "<sst " + kMainNs + " count=\"5000\">";
    for (int i = 0; i < 5000; ++i) many += "<si><t>s" + std::to_string(i) + "</t></si>";
    many += "</sst>";
    std::string big = std::string(kXmlHead) + "<sst " + kMainNs + ">";
    for (int i = 0; i < 40; ++i) big += "<si><t>" + std::string(100000, 'b') + "</t></si>";
    big += "</sst>";
    std::string sheet = "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>";
    writeZip(dir.file("many.xlsx"), package(sheet, many));
    writeZip(dir.file("big.xlsx"), package(sheet, big));
    io::WorkbookLimits limits;
    limits.maxSharedStrings = 1000;
    limits.maxSharedStringBytes = 1u << 20;
    for (const char* name : {"many.xlsx", "big.xlsx"}) {
        SCOPED_TRACE(name);
        CompanyList list;
        Recorder rec;
        EXPECT_FALSE(load(list, rec, dir.file(name), limits));
        EXPECT_EQ(list.size(), 0u);
        EXPECT_EQ(rec.messages.size(), 1u);
        // Within the default limits both read.
        CompanyList ok;
        EXPECT_TRUE(load(ok, rec, dir.file(name)));
        EXPECT_EQ(ok.size(), 1u);
    }
}

TEST_F(Workbook, OversizedCellsTagsAndEntityTricksFailCleanly) {
    // A cell text over the cell limit.
    writeZip(dir.file("cell.xlsx"), package(inlineRow(1, {"1", std::string(300000, 'c')})));
    // One tag of 3 MB: expat would have to hold it whole.
    writeZip(dir.file("tag.xlsx"), package("<row r=\"1\" x=\"" + std::string(3u << 20, 'a') +
                                           "\">" + inlineCell("A1", "1") + "</row>"));
    // Entity expansion ("billion laughs") needs a document type.
    auto laughs = package(inlineRow(1, {"1", "&l3;"}));
    for (auto& [name, content] : laughs)
        if (name == "xl/worksheets/sheet1.xml")
            content = std::string(kXmlHead) +
                      "<!DOCTYPE worksheet [<!ENTITY l0 \"ha\"><!ENTITY l1 \"&l0;&l0;&l0;&l0;\">"
                      "<!ENTITY l2 \"&l1;&l1;&l1;&l1;\"><!ENTITY l3 \"&l2;&l2;&l2;&l2;\">]>" +
                      content.substr(std::string(kXmlHead).size());
    writeZip(dir.file("laughs.xlsx"), laughs);
    // A shared-string index past the table.
    writeZip(dir.file("index.xlsx"),
             package("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>7</v></c></row>",
                     std::string(kXmlHead) + "<sst " + kMainNs + "><si><t>x</t></si></sst>"));
    // Rows out of order.
    writeZip(dir.file("order.xlsx"), package(inlineRow(1, {"1", "a"}) + inlineRow(1, {"1", "b"})));
    io::WorkbookLimits limits;
    limits.maxCellBytes = 100000;
    limits.maxXmlBytesPerUnit = 1u << 20;
    for (const char* name : {"cell.xlsx", "tag.xlsx", "laughs.xlsx", "index.xlsx", "order.xlsx"}) {
        SCOPED_TRACE(name);
        CompanyList list;
        Recorder rec;
        bool loaded = load(list, rec, dir.file(name), limits);
        EXPECT_FALSE(loaded);
        EXPECT_EQ(rec.messages.size(), 1u);
        EXPECT_LE(list.size(), 1u);  // "order.xlsx" keeps its first row
    }
}

TEST_F(Workbook, NumbersReadAsASpreadsheetShowsThem) {
    EXPECT_EQ(io::numberText(310000.0), "310000");
    EXPECT_EQ(io::numberText("310000"), "310000");
    EXPECT_EQ(io::numberText("3.1E5"), "310000");
    EXPECT_EQ(io::numberText("0.30000000000000004"), "0.3");
    EXPECT_EQ(io::numberText("-0"), "0");
    EXPECT_EQ(io::numberText("1E+20"), "1E+20");
    EXPECT_EQ(io::numberText("12345678901234.5"), "12345678901234.5");
    EXPECT_EQ(io::numberText("not a number"), "not a number");
}

}  // namespace
}  // namespace velmora

// JSON lines and CSV output of the command-line program.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "io/plain_formats.h"
#include "io_test_support.h"

namespace velmora {
namespace {

using namespace iotest;

std::vector<std::string> lines(const std::string& text, const std::string& end) {
    std::vector<std::string> out;
    size_t from = 0;
    for (size_t at = text.find(end); at != std::string::npos; at = text.find(end, from)) {
        out.push_back(text.substr(from, at - from));
        from = at + end.size();
    }
    EXPECT_EQ(from, text.size()) << "the last line has no line end";
    return out;
}

TEST(PlainFormats, JsonLinesHoldOneObjectPerEntryInListOrder) {
    CompanyList list;
    add(list, sampleRow(1));
    Row odd{"007", G("引号\"反斜杠\\"), "a\tb", "line1\r\nline2", "\x01", "", "310000",
            "",    "http://x/?a=1&b=2", "",     G("简介")};
    add(list, odd);
    Row bad = sampleRow(3);
    bad[1] = std::string("ok\x81", 3);  // a lead byte without its trail byte
    add(list, bad);
    TempDir dir;
    std::string error;
    ASSERT_TRUE(io::exportJsonLines(list, dir.file("out.jsonl"), error)) << error;
    auto rows = lines(readFile(dir.file("out.jsonl")), "\n");
    ASSERT_EQ(rows.size(), 3u);
    for (size_t r = 0; r < rows.size(); ++r) {
        auto object = nlohmann::json::parse(rows[r]);
        ASSERT_EQ(object.size(), 11u);
        for (int k = 0; k < kColumns; ++k) {
            std::string key(kColumnKeys[k]);
            ASSERT_TRUE(object.contains(key)) << key;
            if (r < 2) {
                EXPECT_EQ(object[key].get<std::string>(), gbk::toUtf8(list.field(r, k)));
            }
        }
    }
    // Keys come in list order.
    EXPECT_EQ(rows[0].rfind("{\"id\":\"1\",\"name\":", 0), 0u);
    EXPECT_NE(rows[0].find("\"fax\":"), std::string::npos);
    EXPECT_LT(rows[0].find("\"fax\":"), rows[0].find("\"profile\":"));
    // Escapes: control characters never appear raw in a line.
    EXPECT_NE(rows[1].find("\\u0001"), std::string::npos);
    EXPECT_NE(rows[1].find("line1\\r\\nline2"), std::string::npos);
    // Invalid GBK becomes U+FFFD.
    EXPECT_EQ(nlohmann::json::parse(rows[2])["name"].get<std::string>(), "ok\xEF\xBF\xBD");
}

TEST(PlainFormats, CsvHasByteOrderMarkHeaderAndRfc4180Quoting) {
    CompanyList list;
    Row row{"1", G("公司,有限"), "say \"hi\"", "a\r\nb", "", "plain", "310000", "", "", "", "x"};
    add(list, row);
    TempDir dir;
    std::string error;
    ASSERT_TRUE(io::exportCsv(list, dir.file("out.csv"), error)) << error;
    std::string text = readFile(dir.file("out.csv"));
    ASSERT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    std::string header = "ID,企业名称,电话,联系人,主管,企业地址,邮编,E-mail,网址,传真,简介\r\n";
    EXPECT_EQ(text.substr(3, header.size()), header);
    EXPECT_EQ(text.substr(3 + header.size()),
              "1,\"公司,有限\",\"say \"\"hi\"\"\",\"a\r\nb\",,plain,310000,,,,x\r\n");
}

TEST(PlainFormats, EmptyListGivesHeaderOnlyAndEmptyFile) {
    CompanyList list;
    TempDir dir;
    std::string error;
    ASSERT_TRUE(io::exportJsonLines(list, dir.file("e.jsonl"), error));
    EXPECT_EQ(readFile(dir.file("e.jsonl")), "");
    ASSERT_TRUE(io::exportCsv(list, dir.file("e.csv"), error));
    EXPECT_EQ(lines(readFile(dir.file("e.csv")), "\r\n").size(), 1u);
}

TEST(PlainFormats, FailedWriteReportsAndKeepsThePreviousFile) {
    CompanyList list;
    add(list, sampleRow(1));
    TempDir dir;
    std::filesystem::create_directory(dir.file("folder"));
    std::string error;
    EXPECT_FALSE(io::exportCsv(list, dir.file("folder"), error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(io::exportJsonLines(list, dir.file("missing/out.jsonl"), error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(dir.names(), std::vector<std::string>{"folder"});

    writeFile(dir.file("out.csv"), "previous");
    ASSERT_TRUE(io::exportCsv(list, dir.file("out.csv"), error));
    EXPECT_NE(readFile(dir.file("out.csv")), "previous");
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"folder", "out.csv"}));
}

// What a hostile page could plant in a cell, and what must stay as it is.
TEST(PlainFormats, CsvCellsThatASpreadsheetWouldRunGetAnApostrophe) {
    struct Cell {
        const char* bytes;
        const char* written;
    };
    const Cell cells[] = {
        {"=HYPERLINK(\"http://x\")", "\"'=HYPERLINK(\"\"http://x\"\")\""},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"+cmd|' /C calc'!A0", "'+cmd|' /C calc'!A0"},
        {"-x", "'-x"},
        {"\tTAB", "'\tTAB"},
        {"\rCR", "\"'\rCR\""},
        {"-2+3+cmd|' /C calc'!A0", "'-2+3+cmd|' /C calc'!A0"},
        {"+1+HYPERLINK(1)", "'+1+HYPERLINK(1)"},
        // Numbers and telephone numbers stay.
        {"+86 571 8888 8888", "+86 571 8888 8888"},
        {"-5", "-5"},
        {"0571-88888888", "0571-88888888"},
        {"+86(571)88888888", "+86(571)88888888"},
        {"+", "+"},
        {"a=b", "a=b"},
    };
    for (const Cell& cell : cells) {
        CompanyList list;
        Row row = sampleRow(1);
        row[2] = cell.bytes;
        add(list, row);
        TempDir dir;
        std::string error;
        ASSERT_TRUE(io::exportCsv(list, dir.file("out.csv"), error)) << error;
        auto rows = lines(readFile(dir.file("out.csv")), "\r\n");
        ASSERT_GE(rows.size(), 2u);
        std::string written = rows[1].substr(rows[1].find(',') + 1);
        written = written.substr(written.find(',') + 1);
        EXPECT_TRUE(written.starts_with(std::string(cell.written) + ","))
            << cell.bytes << " -> " << written;
    }
}

}  // namespace
}  // namespace velmora

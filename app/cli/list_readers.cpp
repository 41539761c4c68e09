#include "app/cli/list_readers.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "app/cli/cli_output.h"
#include "io/text_format.h"
#include "io/workbook.h"
#include "platform/gbk.h"

namespace velmora::cli {
namespace {

void addUtf8Row(CompanyList& list, const std::vector<std::string>& utf8) {
    std::array<std::string, kColumns> gbkColumns;
    EntryFields columns;
    for (int c = 0; c < kColumns; ++c) {
        gbkColumns[c] = gbk::fromUtf8(utf8[static_cast<size_t>(c)]);
        columns[c] = gbkColumns[c];
    }
    list.addEntry(columns);
}

bool readJsonLines(const std::string& path, CompanyList& list, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    size_t number = 0;
    std::vector<std::string> row(kColumns);
    while (std::getline(in, line)) {
        ++number;
        if (line.empty() || line == "\r") continue;
        try {
            auto object = nlohmann::json::parse(line);
            for (int c = 0; c < kColumns; ++c) {
                auto it = object.find(std::string(kColumnKeys[c]));
                row[c] = it != object.end() && it->is_string() ? it->get<std::string>() : "";
            }
        } catch (const std::exception& e) {
            error = path + ": line " + std::to_string(number) + ": " + e.what();
            return false;
        }
        addUtf8Row(list, row);
    }
    return true;
}

// RFC 4180: fields separated by commas, quoted fields with doubled quotes
// and line breaks inside; the first row is the header.
bool readCsv(const std::string& path, CompanyList& list, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream whole;
    whole << in.rdbuf();
    std::string text = whole.str();
    size_t i = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    std::vector<std::string> row;
    std::string field;
    bool header = true;
    auto endRow = [&] {
        row.push_back(std::move(field));
        field.clear();
        if (header) {
            header = false;
        } else if (!(row.size() == 1 && row[0].empty())) {
            if (row.size() != static_cast<size_t>(kColumns)) {
                error = path + ": a row of " + std::to_string(row.size()) + " fields";
                return false;
            }
            addUtf8Row(list, row);
        }
        row.clear();
        return true;
    };
    while (i < text.size()) {
        char c = text[i];
        if (c == '"' && field.empty()) {
            // A quoted field runs to the quote that is not doubled.
            for (++i; i < text.size(); ++i) {
                if (text[i] != '"') {
                    field.push_back(text[i]);
                } else if (i + 1 < text.size() && text[i + 1] == '"') {
                    field.push_back('"');
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
            continue;
        }
        ++i;
        if (c == ',') {
            row.push_back(std::move(field));
            field.clear();
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i < text.size() && text[i] == '\n') ++i;
            if (!endRow()) return false;
        } else {
            field.push_back(c);
        }
    }
    if (!field.empty() || !row.empty()) return endRow();
    return true;
}

}  // namespace

bool readListFile(const std::string& path, CompanyList& list, Executor& main, std::string& error) {
    std::string ext = std::filesystem::path(path).extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (!std::filesystem::is_regular_file(path)) {
        error = "cannot read " + path;
        return false;
    }
    if (ext == ".jsonl") return readJsonLines(path, list, error);
    if (ext == ".csv") return readCsv(path, list, error);
    if (ext != ".txt" && ext != ".xls" && ext != ".xlsx") {
        error = "cannot tell the format of '" + path + "': use .txt, .xls, .xlsx, .jsonl or .csv";
        return false;
    }
    io::IoReporter report = stderrReporter(main);
    bool ok =
        ext == ".txt" ? io::importText(list, path, report) : io::importWorkbook(list, path, report);
    if (!ok) error = "cannot import " + path;
    return ok;
}

}  // namespace velmora::cli

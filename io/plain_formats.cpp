#include "io/plain_formats.h"

#include "io/atomic_file.h"
#include "platform/gbk.h"

namespace velmora::io {
namespace {

void appendJsonString(AtomicFile& file, std::string_view utf8) {
    static const char kHex[] = "0123456789abcdef";
    file.append('"');
    size_t run = 0;  // bytes that need no escaping go out in one piece
    for (size_t i = 0; i < utf8.size(); ++i) {
        auto c = static_cast<unsigned char>(utf8[i]);
        const char* escape = nullptr;
        char unicode[7];
        switch (c) {
            case '"':
                escape = "\\\"";
                break;
            case '\\':
                escape = "\\\\";
                break;
            case '\b':
                escape = "\\b";
                break;
            case '\f':
                escape = "\\f";
                break;
            case '\n':
                escape = "\\n";
                break;
            case '\r':
                escape = "\\r";
                break;
            case '\t':
                escape = "\\t";
                break;
            default:
                if (c < 0x20) {
                    unicode[0] = '\\';
                    unicode[1] = 'u';
                    unicode[2] = '0';
                    unicode[3] = '0';
                    unicode[4] = kHex[c >> 4];
                    unicode[5] = kHex[c & 15];
                    unicode[6] = '\0';
                    escape = unicode;
                }
        }
        if (escape == nullptr) continue;
        file.append(utf8.substr(run, i - run));
        file.append(std::string_view(escape));
        run = i + 1;
    }
    file.append(utf8.substr(run));
    file.append('"');
}

void appendCsvField(AtomicFile& file, std::string_view utf8) {
    if (utf8.find_first_of(",\"\r\n") == std::string_view::npos) {
        file.append(utf8);
        return;
    }
    file.append('"');
    size_t from = 0;
    for (size_t q = utf8.find('"'); q != std::string_view::npos; q = utf8.find('"', q + 1)) {
        file.append(utf8.substr(from, q + 1 - from));
        file.append('"');
        from = q + 1;
    }
    file.append(utf8.substr(from));
    file.append('"');
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// What a signed number or a telephone number never has.
bool looksLikeFormulaBody(std::string_view cell) {
    for (size_t i = 0; i < cell.size(); ++i) {
        char c = cell[i];
        if (c == '|' || c == '!' || c == '=') return true;
        if (c == '(' && i > 0 && isLetter(cell[i - 1])) return true;
    }
    return false;
}

bool finish(AtomicFile& file, std::string& error) {
    if (file.commit()) return true;
    error = file.error();
    return false;
}

}  // namespace

bool csvFormulaRisk(std::string_view cell) {
    if (cell.empty()) return false;
    switch (cell[0]) {
        case '=':
        case '@':
        case '\t':
        case '\r':
            return true;
        case '+':
        case '-':
            if (cell.size() == 1) return false;
            return !isDigit(cell[1]) || looksLikeFormulaBody(cell);
        default:
            return false;
    }
}

bool exportJsonLines(const CompanyList& list, const std::string& path, std::string& error) {
    AtomicFile file(path);
    if (!file.open()) {
        error = file.error();
        return false;
    }
    const size_t n = list.size();
    for (size_t r = 0; r < n && file.ok(); ++r) {
        file.append('{');
        for (int c = 0; c < kColumns; ++c) {
            if (c > 0) file.append(',');
            file.append('"');
            file.append(kColumnKeys[c]);
            file.append("\":");
            appendJsonString(file, gbk::toUtf8(list.field(r, c)));
        }
        file.append("}\n");
    }
    return finish(file, error);
}

bool exportCsv(const CompanyList& list, const std::string& path, std::string& error) {
    AtomicFile file(path);
    if (!file.open()) {
        error = file.error();
        return false;
    }
    file.append("\xEF\xBB\xBF");  // byte-order mark: spreadsheet programs then read UTF-8
    for (int c = 0; c < kColumns; ++c) {
        if (c > 0) file.append(',');
        appendCsvField(file, kColumnCaptionsUtf8[c]);
    }
    file.append("\r\n");
    const size_t n = list.size();
    for (size_t r = 0; r < n && file.ok(); ++r) {
        for (int c = 0; c < kColumns; ++c) {
            if (c > 0) file.append(',');
            std::string cell = gbk::toUtf8(list.field(r, c));
            if (csvFormulaRisk(cell)) cell.insert(0, 1, '\'');
            appendCsvField(file, cell);
        }
        file.append("\r\n");
    }
    return finish(file, error);
}

}  // namespace velmora::io

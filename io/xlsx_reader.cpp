// The first worksheet of an .xlsx package, read with minizip and expat: the
// package relationship leads to the workbook, the workbook's sheet list and
// its relationships to the first worksheet (in sheet order) and the shared
// strings, and the worksheet is streamed row by row.
#include <deque>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "io/number_text.h"
#include "io/sheet_reader.h"
#include "io/zip_xml.h"

namespace velmora::io {
namespace {

// Relationships and sheet entries kept per part; real workbooks have a few.
constexpr size_t kMaxRelationships = 100000;

bool endsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void appendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Spreadsheet strings carry characters XML cannot hold as "_xHHHH_" (and a
// literal "_x" sequence as "_x005F_x...").
int escapeAt(std::string_view s, size_t i) {
    if (i + 7 > s.size() || s[i] != '_' || s[i + 1] != 'x' || s[i + 6] != '_') return -1;
    int value = 0;
    for (size_t k = i + 2; k < i + 6; ++k) {
        int d = hexDigit(s[k]);
        if (d < 0) return -1;
        value = value * 16 + d;
    }
    return value;
}

std::string unescapeCellText(std::string_view s) {
    if (s.find("_x") == std::string_view::npos) return std::string(s);
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        int cp = escapeAt(s, i);
        if (cp < 0) {
            out.push_back(s[i]);
            ++i;
            continue;
        }
        i += 7;
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            int low = escapeAt(s, i);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                i += 7;
                appendUtf8(out, 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00));
                continue;
            }
            cp = 0xFFFD;
        } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        appendUtf8(out, static_cast<unsigned>(cp));
    }
    return out;
}

// --- relationships and the workbook's sheet list ---------------------------

struct Relationship {
    std::string type;
    std::string target;
    bool external = false;
};

class RelsHandler : public XmlHandler {
  public:
    explicit RelsHandler(XmlPartReader*& reader) : reader_(reader) {}
    void start(std::string_view name, const char** attributes) override {
        if (name != "Relationship") return;
        const char* id = attribute(attributes, "Id");
        const char* type = attribute(attributes, "Type");
        const char* target = attribute(attributes, "Target");
        const char* mode = attribute(attributes, "TargetMode");
        if (id == nullptr || type == nullptr || target == nullptr) return;
        if (byId.size() >= kMaxRelationships) {
            reader_->fail("too many relationships");
            return;
        }
        Relationship rel{type, target, mode != nullptr && std::string_view(mode) == "External"};
        order.push_back(id);
        byId.emplace(id, std::move(rel));
    }
    void end(std::string_view) override {}
    void text(std::string_view) override {}

    std::vector<std::string> order;
    std::unordered_map<std::string, Relationship> byId;

  private:
    XmlPartReader*& reader_;
};

class WorkbookHandler : public XmlHandler {
  public:
    explicit WorkbookHandler(XmlPartReader*& reader) : reader_(reader) {}
    void start(std::string_view name, const char** attributes) override {
        if (name == "sheets") inSheets_ = true;
        if (!inSheets_ || name != "sheet") return;
        const char* id = attribute(attributes, "id", true);
        if (id == nullptr) return;
        if (sheetIds.size() >= kMaxRelationships) {
            reader_->fail("too many sheets");
            return;
        }
        sheetIds.emplace_back(id);
    }
    void end(std::string_view name) override {
        if (name == "sheets") inSheets_ = false;
    }
    void text(std::string_view) override {}

    std::vector<std::string> sheetIds;

  private:
    XmlPartReader*& reader_;
    bool inSheets_ = false;
};

// --- shared strings -------------------------------------------------------

class SharedStrings : public XmlHandler {
  public:
    SharedStrings(const WorkbookLimits& limits, XmlPartReader*& reader)
        : limits_(limits), reader_(reader) {}

    size_t size() const { return ends_.size(); }
    std::string_view at(size_t i) const {
        size_t from = i == 0 ? 0 : ends_[i - 1];
        return std::string_view(pool_).substr(from, ends_[i] - from);
    }

    void start(std::string_view name, const char**) override {
        if (name == "si") {
            inItem_ = true;
            current_.clear();
        } else if (name == "rPh") {
            ++phonetic_;
        } else if (name == "t" && inItem_ && phonetic_ == 0) {
            inText_ = true;
        }
    }
    void end(std::string_view name) override {
        if (name == "t") {
            inText_ = false;
        } else if (name == "rPh") {
            if (phonetic_ > 0) --phonetic_;
        } else if (name == "si" && inItem_) {
            inItem_ = false;
            // Declared counts are not trusted: the limits hold whatever the
            // part claims, and nothing is reserved from its count.
            if (ends_.size() >= limits_.maxSharedStrings) {
                reader_->fail("too many shared strings");
                return;
            }
            std::string text = unescapeCellText(current_);
            if (pool_.size() + text.size() > limits_.maxSharedStringBytes) {
                reader_->fail("shared strings too large");
                return;
            }
            pool_ += text;
            ends_.push_back(pool_.size());
            reader_->unit();
        }
    }
    void text(std::string_view bytes) override {
        if (!inText_) return;
        if (current_.size() + bytes.size() > limits_.maxCellBytes) {
            reader_->fail("shared string too long");
            return;
        }
        current_.append(bytes);
    }

  private:
    const WorkbookLimits& limits_;
    XmlPartReader*& reader_;
    std::string pool_;
    std::vector<size_t> ends_;
    std::string current_;
    bool inItem_ = false;
    bool inText_ = false;
    int phonetic_ = 0;
};

// --- the worksheet --------------------------------------------------------

// "B7" -> 2; 0 when the reference has no column letters or is out of range.
unsigned columnOf(std::string_view ref) {
    unsigned col = 0;
    size_t i = 0;
    for (; i < ref.size(); ++i) {
        char c = ref[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c < 'A' || c > 'Z') break;
        col = col * 26 + static_cast<unsigned>(c - 'A' + 1);
        if (col > 16384) return 0;
    }
    return i == 0 ? 0 : col;
}

bool parseRowNumber(std::string_view s, std::uint64_t& out) {
    if (s.empty() || s.size() > 12) return false;
    std::uint64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (v == 0) return false;
    out = v;
    return true;
}

class SheetHandler : public XmlHandler {
  public:
    SheetHandler(const WorkbookLimits& limits, const SharedStrings& strings, XmlPartReader*& reader)
        : limits_(limits), strings_(strings), reader_(reader) {}

    std::deque<SheetRow> ready;

    void start(std::string_view name, const char** attributes) override {
        if (name == "sheetData") {
            inData_ = true;
        } else if (!inData_) {
            return;
        } else if (name == "row") {
            startRow(attributes);
        } else if (name == "c" && inRow_) {
            startCell(attributes);
        } else if (!inCell_) {
            return;
        } else if (name == "v") {
            inValue_ = true;
        } else if (name == "is") {
            inInline_ = true;
        } else if (name == "rPh") {
            ++phonetic_;
        } else if (name == "t" && inInline_ && phonetic_ == 0) {
            inInlineText_ = true;
        }
    }

    void end(std::string_view name) override {
        if (!inData_) return;
        if (name == "sheetData") {
            inData_ = false;
        } else if (name == "row" && inRow_) {
            inRow_ = false;
            ready.push_back(std::move(row_));
            reader_->unit();
        } else if (name == "c" && inCell_) {
            finishCell();
        } else if (name == "v") {
            inValue_ = false;
        } else if (name == "is") {
            inInline_ = false;
        } else if (name == "rPh") {
            if (phonetic_ > 0) --phonetic_;
        } else if (name == "t") {
            inInlineText_ = false;
        }
    }

    void text(std::string_view bytes) override {
        if (column_ == 0) return;
        std::string* into = inValue_ ? &value_ : (inInlineText_ ? &inline_ : nullptr);
        if (into == nullptr) return;
        if (into->size() + bytes.size() > limits_.maxCellBytes) {
            reader_->fail("cell text too long");
            return;
        }
        into->append(bytes);
    }

  private:
    void startRow(const char** attributes) {
        row_ = SheetRow{};
        const char* r = attribute(attributes, "r");
        if (r != nullptr) {
            if (!parseRowNumber(r, row_.number)) {
                reader_->fail("bad row number");
                return;
            }
        } else {
            row_.number = lastRow_ + 1;
        }
        lastRow_ = row_.number;
        inRow_ = true;
        lastColumn_ = 0;
    }

    void startCell(const char** attributes) {
        inCell_ = true;
        value_.clear();
        inline_.clear();
        phonetic_ = 0;
        const char* r = attribute(attributes, "r");
        unsigned col = lastColumn_ + 1;
        if (r != nullptr) {
            col = columnOf(r);
            if (col == 0) {
                reader_->fail("bad cell reference");
                return;
            }
        }
        lastColumn_ = col;
        column_ = col <= static_cast<unsigned>(kColumns) ? col : 0;
        const char* t = attribute(attributes, "t");
        type_ = t != nullptr ? t : "n";
    }

    void finishCell() {
        inCell_ = inValue_ = inInline_ = inInlineText_ = false;
        if (column_ == 0) return;
        std::string& cell = row_.cells[column_ - 1];
        if (type_ == "s") {
            std::uint64_t index = 0;
            std::string_view v = value_;
            while (!v.empty() && (v.front() == ' ' || v.front() == '\n')) v.remove_prefix(1);
            while (!v.empty() && (v.back() == ' ' || v.back() == '\n')) v.remove_suffix(1);
            bool isIndex = !v.empty() && v.size() <= 12;
            for (char c : v) isIndex = isIndex && c >= '0' && c <= '9';
            if (isIndex) {
                for (char c : v) index = index * 10 + static_cast<std::uint64_t>(c - '0');
            }
            if (!isIndex || index >= strings_.size()) {
                reader_->fail("shared string index out of range");
                return;
            }
            cell.assign(strings_.at(index));
        } else if (type_ == "inlineStr") {
            cell = unescapeCellText(inline_);
        } else if (type_ == "str") {
            cell = unescapeCellText(value_);
        } else if (type_ == "b") {
            cell = value_ == "1" ? "TRUE" : (value_ == "0" ? "FALSE" : value_);
        } else if (type_ == "e" || type_ == "d") {
            cell = value_;
        } else if (value_.empty() && !inline_.empty()) {
            cell = unescapeCellText(inline_);
        } else {
            cell = value_.empty() ? std::string() : numberText(value_);
        }
        column_ = 0;
    }

    const WorkbookLimits& limits_;
    const SharedStrings& strings_;
    XmlPartReader*& reader_;
    SheetRow row_;
    std::uint64_t lastRow_ = 0;
    unsigned lastColumn_ = 0;
    unsigned column_ = 0;  // 1..11 while reading a kept cell, else 0
    std::string type_;
    std::string value_;
    std::string inline_;
    int phonetic_ = 0;
    bool inData_ = false;
    bool inRow_ = false;
    bool inCell_ = false;
    bool inValue_ = false;
    bool inInline_ = false;
    bool inInlineText_ = false;
};

class XlsxSheet : public SheetReader {
  public:
    explicit XlsxSheet(const WorkbookLimits& limits)
        : limits_(limits), strings_(limits_, current_), sheet_(limits_, strings_, current_) {}

    bool open(const std::string& path, std::string& error);

    bool next(SheetRow& row) override {
        while (sheet_.ready.empty() && sheetReader_ && sheetReader_->step()) {
        }
        if (!sheet_.ready.empty()) {
            row = std::move(sheet_.ready.front());
            sheet_.ready.pop_front();
            return true;
        }
        if (sheetReader_ && sheetReader_->failed()) error_ = sheetReader_->error();
        return false;
    }
    const std::string& error() const override { return error_; }

  private:
    // Parses a whole (small) part; the handler reports through current_.
    bool readPart(const std::string& part, XmlHandler& handler, std::string& error);

    WorkbookLimits limits_;
    ZipArchive zip_;
    XmlPartReader* current_ = nullptr;  // the part being read, for the handlers
    SharedStrings strings_;
    SheetHandler sheet_;
    std::unique_ptr<XmlPartReader> sheetReader_;
    std::string error_;
};

bool XlsxSheet::readPart(const std::string& part, XmlHandler& handler, std::string& error) {
    XmlPartReader reader(zip_, handler, limits_.maxXmlBytesPerUnit);
    current_ = &reader;
    bool ok = reader.open(part) && reader.readAll();
    current_ = nullptr;
    if (!ok) error = reader.error();
    return ok;
}

bool XlsxSheet::open(const std::string& path, std::string& error) {
    if (!zip_.open(path)) {
        error = "not a readable ZIP package";
        return false;
    }
    std::string workbookPart = "xl/workbook.xml";
    if (zip_.has("_rels/.rels")) {
        RelsHandler root(current_);
        if (!readPart("_rels/.rels", root, error)) return false;
        for (const auto& id : root.order) {
            const Relationship& rel = root.byId[id];
            if (!rel.external && endsWith(rel.type, "/officeDocument")) {
                workbookPart = resolvePartName("", rel.target);
                break;
            }
        }
    }
    WorkbookHandler workbook(current_);
    if (!readPart(workbookPart, workbook, error)) return false;

    size_t slash = workbookPart.rfind('/');
    std::string folder = slash == std::string::npos ? "" : workbookPart.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? workbookPart : workbookPart.substr(slash + 1);
    RelsHandler rels(current_);
    if (!readPart(folder + "_rels/" + base + ".rels", rels, error)) return false;

    // The first worksheet in sheet order (chart sheets are no worksheets).
    std::string sheetPart;
    for (const auto& id : workbook.sheetIds) {
        auto it = rels.byId.find(id);
        if (it != rels.byId.end() && !it->second.external &&
            endsWith(it->second.type, "/worksheet")) {
            sheetPart = resolvePartName(workbookPart, it->second.target);
            break;
        }
    }
    if (sheetPart.empty()) {
        error = "the workbook has no worksheet";
        return false;
    }
    for (const auto& id : rels.order) {
        const Relationship& rel = rels.byId[id];
        if (!rel.external && endsWith(rel.type, "/sharedStrings")) {
            if (!readPart(resolvePartName(workbookPart, rel.target), strings_, error)) return false;
            break;
        }
    }
    sheetReader_ = std::make_unique<XmlPartReader>(zip_, sheet_, limits_.maxXmlBytesPerUnit);
    current_ = sheetReader_.get();
    if (!sheetReader_->open(sheetPart)) {
        error = sheetReader_->error();
        return false;
    }
    return true;
}

}  // namespace

std::unique_ptr<SheetReader> openXlsxSheet(const std::string& path, const WorkbookLimits& limits,
                                           std::string& error) {
    auto sheet = std::make_unique<XlsxSheet>(limits);
    try {
        if (!sheet->open(path, error)) return nullptr;
    } catch (const std::bad_alloc&) {
        error = "out of memory";
        return nullptr;
    }
    return sheet;
}

}  // namespace velmora::io

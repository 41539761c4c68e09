#include "io/zip_xml.h"

#include <expat.h>
#include <minizip/unzip.h>

#include <exception>
#include <vector>

namespace velmora::io {
namespace {

constexpr unsigned kChunkBytes = 64u << 10;
// Names of a part are compared without regard to case, as packages require.
constexpr int kCaseInsensitive = 2;

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string_view localName(std::string_view name) {
    size_t colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

const char* attribute(const char** attributes, std::string_view name, bool prefixed) {
    for (const char** a = attributes; a != nullptr && a[0] != nullptr; a += 2) {
        std::string_view full(a[0]);
        bool hasPrefix = full.find(':') != std::string_view::npos;
        if (hasPrefix == prefixed && localName(full) == name) return a[1];
    }
    return nullptr;
}

std::string resolvePartName(const std::string& sourcePart, std::string_view target) {
    std::string decoded;
    for (size_t i = 0; i < target.size(); ++i) {
        char c = target[i];
        if (c == '%' && i + 2 < target.size()) {
            int hi = hexValue(target[i + 1]), lo = hexValue(target[i + 2]);
            if (hi >= 0 && lo >= 0) {
                decoded.push_back(static_cast<char>(hi * 16 + lo));
                i += 2;
                continue;
            }
        }
        decoded.push_back(c == '\\' ? '/' : c);
    }
    std::string joined;
    if (!decoded.empty() && decoded[0] == '/') {
        joined = decoded.substr(1);
    } else {
        size_t slash = sourcePart.rfind('/');
        joined = (slash == std::string::npos ? std::string() : sourcePart.substr(0, slash + 1)) +
                 decoded;
    }
    std::vector<std::string> segments;
    size_t from = 0;
    while (from <= joined.size()) {
        size_t slash = joined.find('/', from);
        if (slash == std::string::npos) slash = joined.size();
        std::string segment = joined.substr(from, slash - from);
        if (segment == "..") {
            if (!segments.empty()) segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(std::move(segment));
        }
        from = slash + 1;
    }
    std::string out;
    for (const auto& s : segments) {
        if (!out.empty()) out.push_back('/');
        out += s;
    }
    return out;
}

ZipArchive::ZipArchive() = default;

ZipArchive::~ZipArchive() {
    if (zip_ != nullptr) unzClose(static_cast<unzFile>(zip_));
}

bool ZipArchive::open(const std::string& path) {
    zip_ = unzOpen64(path.c_str());
    return zip_ != nullptr;
}

bool ZipArchive::has(const std::string& part) {
    return zip_ != nullptr &&
           unzLocateFile(static_cast<unzFile>(zip_), part.c_str(), kCaseInsensitive) == UNZ_OK;
}

struct XmlPartReader::Parser {
    XML_Parser xml = nullptr;
    ~Parser() {
        if (xml != nullptr) XML_ParserFree(xml);
    }
};

struct XmlCallbacks {
    static XmlPartReader& reader(void* data) { return *static_cast<XmlPartReader*>(data); }
    static void stopIfFailed(XmlPartReader& r) {
        if (r.failed()) XML_StopParser(r.parser_->xml, XML_FALSE);
    }
    // No exception may cross expat's C frames: a failed allocation in a
    // handler becomes a failed read.
    template <typename F>
    static void guarded(XmlPartReader& r, F&& call) {
        try {
            call();
        } catch (const std::exception&) {
            r.fail("out of memory");
        }
        stopIfFailed(r);
    }
    static void XMLCALL start(void* data, const XML_Char* name, const XML_Char** attributes) {
        XmlPartReader& r = reader(data);
        guarded(r, [&] { r.handler_.start(localName(name), attributes); });
    }
    static void XMLCALL end(void* data, const XML_Char* name) {
        XmlPartReader& r = reader(data);
        guarded(r, [&] { r.handler_.end(localName(name)); });
    }
    static void XMLCALL text(void* data, const XML_Char* s, int length) {
        XmlPartReader& r = reader(data);
        guarded(r, [&] { r.handler_.text(std::string_view(s, static_cast<size_t>(length))); });
    }
    // Workbook parts never carry a document type; refusing one keeps entity
    // expansion (and its memory) out of the picture.
    static void XMLCALL doctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*,
                                int) {
        XmlPartReader& r = reader(data);
        r.fail("document type declaration in a workbook part");
        stopIfFailed(r);
    }
};

XmlPartReader::XmlPartReader(ZipArchive& archive, XmlHandler& handler,
                             std::uint64_t maxBytesPerUnit)
    : archive_(archive), handler_(handler), maxBytesPerUnit_(maxBytesPerUnit) {}

XmlPartReader::~XmlPartReader() {
    if (fileOpen_) unzCloseCurrentFile(static_cast<unzFile>(archive_.handle()));
}

bool XmlPartReader::open(const std::string& part) {
    part_ = part;
    auto zip = static_cast<unzFile>(archive_.handle());
    if (zip == nullptr || unzLocateFile(zip, part.c_str(), kCaseInsensitive) != UNZ_OK) {
        fail("missing part " + part);
        return false;
    }
    if (unzOpenCurrentFile(zip) != UNZ_OK) {
        fail("unreadable part " + part);
        return false;
    }
    fileOpen_ = true;
    parser_ = std::make_unique<Parser>();
    parser_->xml = XML_ParserCreate(nullptr);
    if (parser_->xml == nullptr) {
        fail("out of memory");
        return false;
    }
    XML_SetUserData(parser_->xml, this);
    XML_SetElementHandler(parser_->xml, &XmlCallbacks::start, &XmlCallbacks::end);
    XML_SetCharacterDataHandler(parser_->xml, &XmlCallbacks::text);
    XML_SetStartDoctypeDeclHandler(parser_->xml, &XmlCallbacks::doctype);
    buffer_.reset(new char[kChunkBytes]);
    return true;
}

void XmlPartReader::unit() {
    lastUnit_ = fed_;
}

void XmlPartReader::fail(const std::string& reason) {
    if (error_.empty()) error_ = reason.empty() ? "damaged workbook" : reason;
}

bool XmlPartReader::step() {
    if (done_ || failed() || !fileOpen_) return false;
    auto zip = static_cast<unzFile>(archive_.handle());
    int n = unzReadCurrentFile(zip, buffer_.get(), kChunkBytes);
    if (n < 0) {
        fail("damaged archive in " + part_);
        return false;
    }
    bool last = n == 0;
    fed_ += static_cast<std::uint64_t>(n);
    if (XML_Parse(parser_->xml, buffer_.get(), n, last ? XML_TRUE : XML_FALSE) ==
        XML_STATUS_ERROR) {
        fail(std::string(XML_ErrorString(XML_GetErrorCode(parser_->xml))) + " in " + part_);
        return false;
    }
    if (failed()) return false;
    if (fed_ - lastUnit_ > maxBytesPerUnit_) {
        fail("oversized content in " + part_);
        return false;
    }
    if (last) {
        done_ = true;
        fileOpen_ = false;
        if (unzCloseCurrentFile(zip) != UNZ_OK) fail("damaged archive in " + part_);
        return false;
    }
    return true;
}

bool XmlPartReader::readAll() {
    while (step()) {
    }
    return done_ && !failed();
}

}  // namespace velmora::io

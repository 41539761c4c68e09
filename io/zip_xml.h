#pragma once
// Streaming XML out of a ZIP archive (a workbook package): one part at a time
// is inflated in small pieces and fed to expat, so memory does not follow the
// size of a part. Nothing that a file declares (sizes, counts) is trusted:
// a part that goes on for too long without the handler seeing a unit of
// progress (a finished row, a finished string) is treated as damage, which
// also bounds what expat buffers for one oversized tag.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace velmora::io {

class XmlHandler {
  public:
    virtual ~XmlHandler() = default;
    // Names come without their namespace prefix ("x:row" -> "row"); attribute
    // pairs are expat's (name, value, name, value, ..., nullptr).
    virtual void start(std::string_view name, const char** attributes) = 0;
    virtual void end(std::string_view name) = 0;
    virtual void text(std::string_view bytes) = 0;
};

// The local part of an element or attribute name.
std::string_view localName(std::string_view name);
// Value of the attribute whose local name is `name` (and that has, or has
// not, a prefix), nullptr when absent.
const char* attribute(const char** attributes, std::string_view name, bool prefixed = false);

class ZipArchive {
  public:
    ZipArchive();
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    bool open(const std::string& path);
    bool has(const std::string& part);
    void* handle() const { return zip_; }

  private:
    void* zip_ = nullptr;
};

class XmlPartReader {
  public:
    // `maxBytesPerUnit`: how much XML may pass between two calls of unit().
    XmlPartReader(ZipArchive& archive, XmlHandler& handler, std::uint64_t maxBytesPerUnit);
    ~XmlPartReader();
    XmlPartReader(const XmlPartReader&) = delete;
    XmlPartReader& operator=(const XmlPartReader&) = delete;

    bool open(const std::string& part);
    // Inflates and parses the next piece. False when the part is done or
    // failed (see failed()/error()).
    bool step();
    // Parses the whole part.
    bool readAll();

    // The handler marks progress, or gives up with a reason (parsing stops).
    void unit();
    void fail(const std::string& reason);

    bool done() const { return done_; }
    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }

  private:
    struct Parser;
    ZipArchive& archive_;
    XmlHandler& handler_;
    std::uint64_t maxBytesPerUnit_;
    std::unique_ptr<Parser> parser_;
    std::unique_ptr<char[]> buffer_;
    std::uint64_t fed_ = 0;
    std::uint64_t lastCallback_ = 0;
    std::uint64_t lastUnit_ = 0;
    bool fileOpen_ = false;
    bool done_ = false;
    std::string part_;
    std::string error_;

    friend struct XmlCallbacks;
};

// Resolves a relationship target against the folder of the part that owns
// the relationship ("xl/workbook.xml" + "worksheets/sheet1.xml"), handling
// "/" (from the package root), ".." and %-escapes.
std::string resolvePartName(const std::string& sourcePart, std::string_view target);

}  // namespace velmora::io

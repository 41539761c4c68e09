#include "platform/gbk.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace velmora::gbk {
namespace {

// One iconv descriptor per thread and direction: opening one costs far more
// than converting a short field.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as possible; returns false at an invalid or
    // unconvertible sequence, leaving `in` pointing at it.
    bool convert(const char*& in, size_t& inLeft, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char buffer[4096];
        while (inLeft > 0) {
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            char* src = const_cast<char*>(in);
            size_t rc = iconv(cd_, &src, &inLeft, &dst, &dstLeft);
            in = src;
            out.append(buffer, dst - buffer);
            if (rc == static_cast<size_t>(-1)) {
                if (errno == E2BIG) continue;
                return false;  // EILSEQ or EINVAL (truncated sequence)
            }
        }
        return true;
    }

  private:
    iconv_t cd_;
};

bool isAscii(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

// Length of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
size_t utf8Length(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC2) return 2;
    return 1;
}

}  // namespace

std::string fromUtf8(std::string_view utf8) {
    if (isAscii(utf8)) return std::string(utf8);
    thread_local Converter conv("GBK", "UTF-8");
    std::string out;
    out.reserve(utf8.size());
    const char* in = utf8.data();
    size_t left = utf8.size();
    while (!conv.convert(in, left, out)) {
        size_t skip = std::min(utf8Length(static_cast<unsigned char>(*in)), left);
        // A malformed sequence is replaced byte by byte, a whole character
        // that GBK lacks by one "?".
        size_t i = 1;
        while (i < skip && (static_cast<unsigned char>(in[i]) & 0xC0) == 0x80) ++i;
        out.push_back('?');
        in += i;
        left -= i;
    }
    return out;
}

std::string toUtf8(std::string_view gbkBytes) {
    if (isAscii(gbkBytes)) return std::string(gbkBytes);
    thread_local Converter conv("UTF-8", "GBK");
    std::string out;
    out.reserve(gbkBytes.size() + gbkBytes.size() / 2);
    const char* in = gbkBytes.data();
    size_t left = gbkBytes.size();
    while (!conv.convert(in, left, out)) {
        out.append("\xEF\xBF\xBD");  // U+FFFD REPLACEMENT CHARACTER
        ++in;
        --left;
    }
    return out;
}

}  // namespace velmora::gbk

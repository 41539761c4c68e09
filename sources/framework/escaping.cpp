#include "sources/framework/escaping.h"

namespace velmora::text {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void appendPercent(std::string& out, unsigned char b) {
    out.push_back('%');
    out.push_back(kHex[b >> 4]);
    out.push_back(kHex[b & 15]);
}

bool isAsciiAlnum(unsigned char b) {
    return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

}  // namespace

std::string urlByteEscape(std::string_view bytes) {
    static constexpr std::string_view kReserved = "*#%<>+ []";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (char c : bytes) {
        unsigned char b = static_cast<unsigned char>(c);
        if (b < 0x20 || b > 0x7F || kReserved.find(c) != std::string_view::npos)
            appendPercent(out, b);
        else
            out.push_back(c);
    }
    return out;
}

std::string formValueEncode(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 3);
    for (char c : bytes) {
        unsigned char b = static_cast<unsigned char>(c);
        if (isAsciiAlnum(b))
            out.push_back(c);
        else if (b == ' ')
            out.push_back('+');
        else
            appendPercent(out, b);
    }
    return out;
}

std::string formBody(const FormFields& fields) {
    std::string body;
    for (const auto& [name, value] : fields) {
        if (!body.empty()) body.push_back('&');
        body.append(name).push_back('=');
        body.append(formValueEncode(value));
    }
    return body;
}

}  // namespace velmora::text

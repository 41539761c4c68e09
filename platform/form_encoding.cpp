#include "platform/form_encoding.h"

namespace velmora::text {
namespace {

bool isAsciiAlnum(unsigned char b) {
    return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

}  // namespace

std::string formValueEncode(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (char c : bytes) {
        unsigned char b = static_cast<unsigned char>(c);
        if (isAsciiAlnum(b)) {
            out.push_back(c);
        } else if (b == ' ') {
            out.push_back('+');
        } else {
            out.push_back('%');
            out.push_back(kHex[b >> 4]);
            out.push_back(kHex[b & 15]);
        }
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

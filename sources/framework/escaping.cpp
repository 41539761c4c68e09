#include "sources/framework/escaping.h"

namespace velmora::text {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void appendPercent(std::string& out, unsigned char b) {
    out.push_back('%');
    out.push_back(kHex[b >> 4]);
    out.push_back(kHex[b & 15]);
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

}  // namespace velmora::text

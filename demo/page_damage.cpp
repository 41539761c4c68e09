#include "demo/page_damage.h"

#include <vector>

#include "demo/page_filler.h"
#include "platform/gbk.h"

namespace velmora::demo {
namespace {

// Start offsets of the characters of a GBK text, and whether each is double-byte.
struct CharStart {
    std::size_t offset;
    bool doubleByte;
};

std::vector<CharStart> characters(std::string_view text) {
    std::vector<CharStart> out;
    for (std::size_t i = 0; i < text.size();) {
        bool pair = gbk::isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
        out.push_back({i, pair});
        i += pair ? 2 : 1;
    }
    return out;
}

}  // namespace

const std::string& invalidGbkRun() {
    static const std::string k = "\xFF\xA1\x7F\xFF";
    return k;
}

std::size_t middleBoundary(std::string_view text) {
    std::vector<CharStart> chars = characters(text);
    if (chars.empty()) return 0;
    return chars[chars.size() / 2].offset;
}

std::size_t truncatedLength(std::string_view text) {
    std::vector<CharStart> chars = characters(text);
    // The double-byte character nearest the middle, looking forward first.
    for (std::size_t i = chars.size() / 2; i < chars.size(); ++i)
        if (chars[i].doubleByte) return chars[i].offset + 1;
    for (std::size_t i = chars.size() / 2; i-- > 0;)
        if (chars[i].doubleByte) return chars[i].offset + 1;
    return std::string_view::npos;
}

std::string withInvalidRun(std::string_view text) {
    std::size_t at = middleBoundary(text);
    std::string out(text.substr(0, at));
    out += invalidGbkRun();
    out += text.substr(at);
    return out;
}

void damageFooter(std::string& page, PageDamage damage) {
    if (damage == PageDamage::None) return;
    std::size_t at = page.rfind(filler::copyrightText());
    if (at == std::string::npos) at = page.size();
    if (damage == PageDamage::InvalidGbk)
        page.insert(at, invalidGbkRun());
    else if (at < page.size())
        page.resize(at + 1);
}

Company withDamagedDescription(const Company& company, PageDamage damage,
                               const std::string& fallback) {
    Company served = company;
    if (damage == PageDamage::None) return served;
    if (served.description.empty()) served.description = fallback;
    if (damage == PageDamage::InvalidGbk)
        served.description = withInvalidRun(served.description);
    else
        served.description.resize(truncatedLength(served.description));
    return served;
}

}  // namespace velmora::demo

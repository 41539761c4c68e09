#include "sources/websearch/postcode_field.h"

#include <array>

#include "platform/gbk.h"
#include "sources/framework/text_scan.h"
#include "sources/websearch/page_search.h"

namespace velmora::homepage {

using text::Pos;

std::optional<std::string> findPostcode(std::string_view page) {
    static const std::array<std::string, 4> kLabels = {
        gbk::fromUtf8("邮编"), gbk::fromUtf8("邮政编码"), gbk::fromUtf8("邮 编"),
        gbk::fromUtf8("邮　编")};
    Pos b = 0;
    for (const std::string& label : kLabels) {
        b = homepage::findLastIn(page, label);
        if (b != 0) break;
    }
    if (b == 0) return std::nullopt;
    Pos e = text::scanForward(page, "<tr", b);
    std::string pc = text::removeTags(text::cut(page, b, e));
    size_t digit = pc.find_first_of("0123456789");
    if (digit == std::string::npos) return std::string();
    pc = pc.substr(digit, 6);
    if (pc.size() != 6 || pc.find_first_not_of("0123456789") != std::string::npos)
        return std::string();
    return pc;
}

}  // namespace velmora::homepage

#include "sources/framework/paging.h"

#include "platform/gbk.h"
#include "sources/framework/markers.h"
#include "sources/framework/text_scan.h"

namespace velmora {

namespace markers {
const std::string& nextPageLink() {
    static const std::string k = gbk::fromUtf8(">下一页<");
    return k;
}
const std::string& nextPageText() {
    static const std::string k = gbk::fromUtf8("下一页");
    return k;
}
}  // namespace markers

bool isNotFoundPage(std::string_view lowerPage) {
    // The test reads the lower-cased page, so of its five texts only the three
    // Chinese ones can match: "Error" and "Page Not Found" carry capitals that
    // the page no longer has. That keeps ordinary pages whose scripts mention
    // "onError" from being thrown away.
    //
    // All three hold "找": one pass finds each place where its two bytes
    // stand (at any byte offset, as a byte search would) and looks at the
    // bytes around it, instead of three passes over the whole page.
    static const std::string kFind = gbk::fromUtf8("找");
    static const std::string kTo = gbk::fromUtf8("到");
    static const std::string kNotTo = gbk::fromUtf8("不到");
    static const std::string kBefore[] = {gbk::fromUtf8("无法"), gbk::fromUtf8("未")};
    std::string_view page = lowerPage;
    for (text::Pos at = text::find(page, kFind); at != 0; at = text::find(page, kFind, at + 1)) {
        auto i = static_cast<size_t>(at - 1);
        std::string_view after = page.substr(i + kFind.size());
        if (after.starts_with(kNotTo)) return true;  // 找不到
        if (!after.starts_with(kTo)) continue;
        std::string_view before = page.substr(0, i);
        for (const auto& b : kBefore)
            if (before.ends_with(b)) return true;  // 无法找到, 未找到
    }
    return false;
}

bool pageCheck(std::string& page) {
    text::lowerAsciiInPlace(page);
    return !isNotFoundPage(page);
}

bool hasNextPageNumber(std::string_view page, int knownPages) {
    std::string probe(">");
    probe.append(std::to_string(static_cast<long long>(knownPages) + 1)).push_back('<');
    return text::contains(page, probe);
}

bool hasNextPageLink(std::string_view page) {
    return text::contains(page, markers::nextPageLink());
}

bool hasNextPageText(std::string_view page) {
    return text::contains(page, markers::nextPageText());
}

void applyPaging(WorkForm& form, bool nextPageFound) {
    form.knownPages = nextPageFound ? form.knownPages + 1 : 0;
}

void addDetailRow(WorkForm& form, const WorkKey& listingKey, std::string url) {
    ++form.detailCount;
    form.detail.write(form.detailCount, "N", std::move(url),
                      WorkKey::make(listingKey.source, listingKey.index, form.detailCount));
}

}  // namespace velmora

#include "sources/websearch/profile_field.h"

#include <array>
#include <vector>

#include "platform/gbk.h"
#include "sources/framework/text_scan.h"
#include "sources/websearch/char_tests.h"
#include "sources/websearch/page_search.h"

namespace velmora::homepage {

using text::Pos;

namespace {

constexpr Pos kDenseWindow = 25;     // positions behind the start of a stretch
constexpr int kDenseHighBytes = 18;  // more high bytes than this make it dense
constexpr Pos kCollect = 600;
constexpr Pos kLongProfile = 400;
constexpr Pos kCutAt = 290;

const std::array<std::string, 8>& pageAnchors() {
    static const std::array<std::string, 8> k = {
        gbk::fromUtf8("公司于"), gbk::fromUtf8("成立于"),  gbk::fromUtf8("公司是"),
        gbk::fromUtf8("建于"),   gbk::fromUtf8("公司成"),  gbk::fromUtf8("公司在"),
        gbk::fromUtf8("公司系"), gbk::fromUtf8("公司作为")};
    return k;
}

// The start of the first stretch of 26 positions with more than 18 high
// bytes, moved back by one when it is a second byte; 0 when there is none.
Pos denseTextStart(std::string_view p) {
    auto high = [&](Pos i) {
        if (i < 1) i = 1;
        return i <= text::length(p) && isHighByte(static_cast<unsigned char>(p[i - 1]));
    };
    bool fresh = true;
    int count = 0;
    Pos start = 0;
    for (Pos i = 0; i <= text::length(p); ++i) {
        if (high(i) && fresh) {
            start = i;
            fresh = false;
        }
        if (i - kDenseWindow > start) {
            fresh = true;
            count = 0;
        }
        if (!fresh) {
            count += high(i) ? 1 : 0;
            if (count > kDenseHighBytes) return text::isTrailByteAt(p, start) ? start - 1 : start;
        }
    }
    return 0;
}

// Position of the anchor the profile grows from.
Pos anchorPosition(std::string_view p, std::string_view name) {
    if (!name.empty() && homepage::containsIn(p, name)) {
        static const std::array<std::string, 7> kAfterName = {
            gbk::fromUtf8("于"),   gbk::fromUtf8("成立于"), gbk::fromUtf8("是"),
            gbk::fromUtf8("建于"), gbk::fromUtf8("成"),     gbk::fromUtf8("在"),
            gbk::fromUtf8("作为")};
        // Every name + word starts at an occurrence of the name: one pass
        // for the name's occurrences instead of one per word.
        std::vector<Pos> names;
        for (Pos at = homepage::findIn(p, name); at != 0; at = homepage::findIn(p, name, at + 1))
            names.push_back(at);
        for (const std::string& after : kAfterName)
            for (Pos at : names)
                if (p.substr(static_cast<size_t>(at - 1) + name.size()).starts_with(after))
                    return at;
        return names.front();
    }
    static const std::array<std::string, 3> kHeadings = {
        gbk::fromUtf8("简介"), gbk::fromUtf8("公司介绍"), gbk::fromUtf8("企业介绍")};
    for (const std::string& anchor : pageAnchors())
        if (Pos at = homepage::findIn(p, anchor); at != 0) return at;
    for (const std::string& anchor : kHeadings)
        if (Pos at = homepage::findIn(p, anchor); at != 0) return at;
    // The anchors stood only in the title or before the dense text.
    return 1;
}

void dropLeading(std::string& t, std::string_view prefix) {
    if (t.compare(0, prefix.size(), prefix) == 0) t.erase(0, prefix.size());
}

}  // namespace

std::string findProfile(std::string_view page, std::string_view name) {
    bool anchored = false;
    for (const std::string& anchor : pageAnchors())
        anchored = anchored || homepage::containsIn(page, anchor);
    if (!anchored) return {};

    std::string p(page);
    Pos a = homepage::findIn(p, "<title"), b = homepage::findIn(p, "</title");
    if (a != 0 && b != 0 && b - a + 8 > 0)
        p.erase(static_cast<size_t>(a - 1), static_cast<size_t>(b - a + 8));
    std::string_view view = text::tail(p, denseTextStart(p));

    Pos at = anchorPosition(view, name);
    const Pos length = text::length(view);
    Pos k = text::scanBack(view, ">", at, 0);
    Pos e = text::scanForward(view, "<", k);
    std::string t(text::trim(text::cut(view, k + 1, e)));
    while (text::length(t) < kCollect && e < length) {
        k = text::scanForward(view, ">", e);
        e = text::scanForward(view, "<", k);
        t += text::trim(text::cut(view, k + 1, e));
    }

    t = std::string(text::trim(t));
    dropLeading(t, gbk::fromUtf8("）"));
    dropLeading(t, gbk::fromUtf8("，"));
    dropLeading(t, ")");
    dropLeading(t, ",");
    if (text::length(t) >= kLongProfile)
        t.resize(text::isTrailByteAt(t, kCutAt) ? kCutAt : kCutAt - 1);
    return t + "......";
}

}  // namespace velmora::homepage

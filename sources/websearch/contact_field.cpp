#include "sources/websearch/contact_field.h"

#include <array>

#include "platform/gbk.h"
#include "sources/framework/text_scan.h"
#include "sources/websearch/char_tests.h"
#include "sources/websearch/page_search.h"
#include "sources/websearch/surname_table.h"

namespace velmora::homepage {

using text::Pos;

std::string findContact(std::string_view page) {
    static const std::string kLabel = gbk::fromUtf8("联系人");
    Pos p = homepage::findIn(page, kLabel);
    if (p == 0) return {};
    Pos lt = text::scanForwardMatch(page, "<", p);
    if (lt == 0) return contactFromSegment({});
    return contactFromSegment(text::trim(text::cut(page, p, lt)));
}

std::string contactFromSegment(std::string_view seg) {
    static const std::string kFullColon = gbk::fromUtf8("：");
    // The first colon of either kind decides how much of the label goes:
    // "联系人" and the colon's one or two bytes. Looking for ":" anywhere
    // first would cut a full-width colon in half whenever an ASCII colon
    // follows later in the segment ("联系人：张三 电话:0571...").
    size_t ascii = seg.find(':'), full = seg.find(kFullColon);
    if (ascii != std::string_view::npos && (full == std::string_view::npos || ascii < full))
        seg = text::tail(seg, 8);
    else if (full != std::string_view::npos)
        seg = text::tail(seg, 9);

    std::array<std::string, 5> candidates;
    auto store = [&](std::string& run) {
        for (std::string& c : candidates) {
            if (c.empty()) {
                c = run;
                break;
            }
        }
        run.clear();  // a stored run is closed and not stored again
    };
    CharMap chars(seg);
    const Pos length = text::length(seg);
    Pos last = -6;
    std::string run;
    bool open = false;
    for (Pos i = 1; i <= length; ++i) {
        if (chars.isChineseAt(i)) {
            if (i - last == 2) {
                if (!open) {
                    run.assign(text::cut(seg, last, last + 2));
                    open = true;
                }
                run.append(text::cut(seg, i, i + 2));
            } else if (open) {
                store(run);
                open = false;
            }
            last = i;
        }
        if (i == length) store(run);
    }

    std::string joined;
    for (size_t k = 0; k < candidates.size(); ++k) {
        if (!startsWithSurname(candidates[k])) candidates[k].clear();
        if (k > 0) joined += "  ";
        joined += candidates[k];
    }
    return std::string(text::trim(joined));
}

}  // namespace velmora::homepage

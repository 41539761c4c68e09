#include "sources/websearch/manager_field.h"

#include <array>

#include "platform/gbk.h"
#include "sources/framework/text_scan.h"
#include "sources/websearch/char_tests.h"
#include "sources/websearch/page_search.h"
#include "sources/websearch/surname_table.h"

namespace velmora::homepage {

using text::Pos;

namespace {

constexpr Pos kManagerLength = 12;

}  // namespace

std::string findManager(std::string_view page, const CharMap& chars) {
    static const std::array<std::string, 4> kTitles = {gbk::fromUtf8("经理"), gbk::fromUtf8("主管"),
                                                       gbk::fromUtf8("法人"),
                                                       gbk::fromUtf8("负责人")};
    // The working text W is the page's positions first .. last; it starts at a
    // character boundary of the page whenever it is cut, so the page's
    // character map serves W too. Positions below are page positions.
    Pos first = 1, last = text::length(page);
    std::array<homepage::Finder, 4> titles = {
        homepage::Finder(page, kTitles[0]), homepage::Finder(page, kTitles[1]),
        homepage::Finder(page, kTitles[2]), homepage::Finder(page, kTitles[3])};
    homepage::Finder opens(page, "<"), closes(page, ">");
    auto inW = [&](size_t k) {
        Pos at = titles[k].next(first);
        return at != 0 && at + text::length(kTitles[k]) - 1 <= last ? at : 0;
    };
    // First position > from within W holding a Chinese character, else `clamp`.
    auto chineseAfter = [&](Pos from, Pos clamp) {
        Pos at = chars.nextChineseAfter(from);
        return at != 0 && at <= last ? at : clamp;
    };

    std::string manager;
    while (manager.empty() && (inW(0) != 0 || inW(1) != 0 || inW(3) != 0)) {
        Pos n = 4, t = 0;
        for (size_t k = 0; k < kTitles.size(); ++k) {
            if (Pos at = inW(k); at != 0) {
                t = at;
                if (k == 3) n = 6;
                break;
            }
        }
        Pos s = t;
        Pos b = chineseAfter(t + n - 1, last);
        // Markup between the title word and the character is passed over.
        for (;;) {
            Pos lt = opens.next(s);
            if (lt == 0 || lt >= b) break;
            Pos gt = closes.next(s + 1);
            s = gt != 0 && gt <= last ? gt : b;
            b = chineseAfter(s, s);
        }
        Pos e = b;
        for (;;) {
            if (e > last) {
                e = last;
                break;
            }
            if (!chars.startsDoubleByte(e) || isSymbolRow(static_cast<unsigned char>(page[e - 1])))
                break;
            e += 2;
        }
        std::string name(text::trim(text::cut(page, b, e)));
        if (!name.empty() && !startsWithSurname(name)) name.clear();
        if (text::length(name) >= kManagerLength)
            name = name.substr(0, static_cast<size_t>(kManagerLength)) + "...";
        manager = std::string(text::trim(name));
        // W := W from e on, without its last byte.
        first = e;
        last -= 1;
    }
    return manager;
}

}  // namespace velmora::homepage

#include "sources/websearch/address_field.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

#include "platform/gbk.h"
#include "sources/framework/text_scan.h"
#include "sources/websearch/char_tests.h"
#include "sources/websearch/page_search.h"

namespace velmora::homepage {

using text::Pos;

namespace {

constexpr size_t npos = std::numeric_limits<size_t>::max();

size_t toOffset(Pos p) {
    return p == 0 ? npos : static_cast<size_t>(p - 1);
}

const std::string& placeCharacters() {
    static const std::string k = gbk::fromUtf8("省市县区路号街村道");
    return k;
}

bool isPlaceCharacter(unsigned char lead, unsigned char trail) {
    const std::string& places = placeCharacters();
    for (size_t i = 0; i + 1 < places.size(); i += 2)
        if (static_cast<unsigned char>(places[i]) == lead &&
            static_cast<unsigned char>(places[i + 1]) == trail)
            return true;
    return false;
}

// First occurrence at or behind an offset, for starts that move backwards
// from pass to pass: only the bytes between the new and the previous start
// are searched, so all passes together read the page about once.
class NextBackwards {
  public:
    NextBackwards(std::string_view page, std::string_view marker) : page_(page), marker_(marker) {}
    text::Pos length() const { return text::length(marker_); }
    size_t from(size_t x) {
        if (x > page_.size()) return npos;
        if (x_ == npos || x > x_) {  // not moving backwards: search afresh
            x_ = x;
            found_ = toOffset(findIn(page_, marker_, static_cast<Pos>(x) + 1));
            return found_;
        }
        // An occurrence starting in [x, x_) comes first; else the earlier answer.
        size_t end = std::min(page_.size(), x_ + marker_.size() - 1);
        size_t at = toOffset(findIn(page_.substr(0, end), marker_, static_cast<Pos>(x) + 1));
        if (at != npos && at < x_) found_ = at;
        x_ = x;
        return found_;
    }

  private:
    std::string_view page_;
    std::string_view marker_;
    size_t x_ = npos;
    size_t found_ = npos;
};

// The same for the first byte that is not an ASCII space.
class NonSpaceBackwards {
  public:
    explicit NonSpaceBackwards(std::string_view page) : page_(page) {}
    size_t from(size_t x) {
        if (x >= page_.size()) return page_.size();
        if (x_ == npos || x > x_) {
            x_ = x;
            found_ = x;
            while (found_ < page_.size() && page_[found_] == ' ') ++found_;
            return found_;
        }
        size_t k = x;
        while (k < x_ && page_[k] == ' ') ++k;
        if (k < x_) found_ = k;
        x_ = x;
        return found_;
    }

  private:
    std::string_view page_;
    size_t x_ = npos;
    size_t found_ = 0;
};

// Whether a segment of the page names a place. A segment is walked from its
// own start; segments of successive passes may overlap, so once the walks
// together have read more than about twice the page, the place characters of
// the page are listed once and later segments are answered from the list
// (a segment's walk meets the page's character boundaries at its first
// character start that the page shares, and is the page's from there on).
class PlaceTest {
  public:
    PlaceTest(std::string_view page, size_t budget) : page_(page), chars_(page), budget_(budget) {}

    bool namesAPlace(Pos start, Pos end) {
        if (places_.empty() && walked_ < budget_) {
            walked_ += static_cast<size_t>(std::max<Pos>(0, end - start));
            return walk(start, end, end);
        }
        if (places_.empty()) listPlaces();
        // Off the page's boundaries: walk until the two meet.
        Pos k = start;
        while (k < end && !chars_.startsChar(k)) {
            if (walk(k, end, k + 1)) return true;
            k += isHighByte(static_cast<unsigned char>(page_[k - 1])) ? 2 : 1;
        }
        auto it = std::lower_bound(places_.begin(), places_.end(), k);
        return it != places_.end() && *it <= end - 2;
    }

  private:
    // Walks the characters of [start, end) that start before `stop`: true at
    // a place character whose two bytes both lie in the segment.
    bool walk(Pos start, Pos end, Pos stop) const {
        for (Pos k = start; k < stop && k < end;) {
            auto lead = static_cast<unsigned char>(page_[k - 1]);
            if (!isHighByte(lead)) {
                k += 1;
                continue;
            }
            if (k + 1 <= end - 1 && !isSymbolRow(lead) &&
                isPlaceCharacter(lead, static_cast<unsigned char>(page_[k])))
                return true;
            k += 2;
        }
        return false;
    }

    void listPlaces() {
        places_.push_back(0);  // never a position: marks the list as made
        for (Pos i = 1; i + 1 <= text::length(page_); ++i)
            if (chars_.isChineseAt(i) && isPlaceCharacter(static_cast<unsigned char>(page_[i - 1]),
                                                          static_cast<unsigned char>(page_[i])))
                places_.push_back(i);
    }

    std::string_view page_;
    CharMap chars_;
    size_t budget_;
    size_t walked_ = 0;
    std::vector<Pos> places_;
};

}  // namespace

bool namesAPlace(std::string_view segment) {
    return PlaceTest(segment, npos).namesAPlace(1, text::length(segment) + 1);
}

std::string findAddress(std::string_view page) {
    return findAddress(page, 2 * page.size() + 65536);
}

std::string findAddress(std::string_view page, size_t walkBudget) {
    static const std::array<std::string, 3> kLabels = {
        gbk::fromUtf8("地址"), gbk::fromUtf8("地 址"), gbk::fromUtf8("地　址")};
    static const std::string kFullColon = gbk::fromUtf8("：");
    static const std::string kSituatedAt = gbk::fromUtf8("位于");
    static const std::string kFullSpace = gbk::fromUtf8("　");
    static const std::string kFullStop = gbk::fromUtf8("。");

    // Every occurrence of a label, listed when the label is first needed
    // (a later label only while no earlier one is left in W).
    std::array<std::vector<Pos>, 3> occurrences;
    std::array<bool, 3> listed = {false, false, false};
    auto occurrencesOf = [&](size_t k) -> const std::vector<Pos>& {
        if (!listed[k]) {
            listed[k] = true;
            for (Pos at = findIn(page, kLabels[k]); at != 0; at = findIn(page, kLabels[k], at + 1))
                occurrences[k].push_back(at);
        }
        return occurrences[k];
    };

    NextBackwards lt(page, "<"), colon(page, ":"), fullColon(page, kFullColon),
        situated(page, kSituatedAt), space(page, " "), fullSpace(page, kFullSpace),
        fullStop(page, kFullStop), nbsp(page, "&nbsp");
    NonSpaceBackwards nonSpace(page);
    PlaceTest places(page, walkBudget);
    // First occurrence at or behind page position x that ends before position
    // `end`; else 0.
    auto firstIn = [](NextBackwards& f, Pos x, Pos end) -> Pos {
        size_t at = f.from(static_cast<size_t>(x - 1));
        if (at == npos) return 0;
        Pos p = static_cast<Pos>(at) + 1;
        return p + f.length() <= end ? p : 0;
    };

    // W is the page's first `length` bytes.
    Pos length = text::length(page), b = length;
    std::string address;
    while (address.empty() && length > 10) {
        // The first label W contains, searched backwards from b.
        size_t label = kLabels.size();
        Pos at = 0;
        for (size_t k = 0; k < kLabels.size() && label == kLabels.size(); ++k) {
            const auto& list = occurrencesOf(k);
            Pos m = text::length(kLabels[k]);
            auto it = std::upper_bound(list.begin(), list.end(), length - m + 1);
            if (it == list.begin()) continue;
            // Scanning back from b finds the last occurrence W holds (W ends
            // at least one label length before b).
            label = k;
            at = *(it - 1);
        }
        if (label == kLabels.size()) break;
        Pos n = text::length(kLabels[label]);
        b = at;

        Pos e = firstIn(lt, b + 1, length + 1);
        if (e == 0) e = length;
        // The segment [s, e): behind the label's "址" ...
        Pos s = b + n;
        if (s > e) s = e;
        // ... behind the first colon of either kind, whichever comes first ...
        Pos c1 = firstIn(colon, s, e), c2 = firstIn(fullColon, s, e);
        if (c1 != 0 && (c2 == 0 || c1 < c2))
            s = c1 + 1;
        else if (c2 != 0)
            s = c2 + 2;
        // ... behind "位于", without leading spaces.
        if (Pos v = firstIn(situated, s, e); v != 0) s = v + 4;
        s = std::min<Pos>(e, static_cast<Pos>(nonSpace.from(static_cast<size_t>(s - 1))) + 1);
        if (Pos sp = firstIn(space, s + 1, e); sp != 0) e = sp;
        if (Pos fs = firstIn(fullSpace, s, e); fs > s) e = fs;
        if (Pos st = firstIn(fullStop, s, e); st != 0) e = st;
        if (Pos nb = firstIn(nbsp, s, e); nb != 0) e = nb;
        if (places.namesAPlace(s, e)) address = std::string(text::trim(text::cut(page, s, e)));
        length = b - n;
    }
    return address;
}

}  // namespace velmora::homepage

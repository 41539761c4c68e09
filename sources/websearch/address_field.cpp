#include "sources/websearch/address_field.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

#include "platform/gbk.h"
#include "sources/framework/text_scan.h"
#include "sources/websearch/char_tests.h"

namespace velmora::homepage {

using text::Pos;

namespace {

constexpr size_t npos = std::numeric_limits<size_t>::max();

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
            found_ = page_.find(marker_, x);
            return found_;
        }
        // An occurrence starting in [x, x_) comes first; else the earlier answer.
        size_t end = std::min(page_.size(), x_ + marker_.size() - 1);
        size_t at = page_.substr(0, end).find(marker_, x);
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

// Place characters of the page, for segments that start on a character
// boundary of the page: their characters are the page's.
class PlaceIndex {
  public:
    PlaceIndex(std::string_view page) : page_(page), chars_(page) {
        for (Pos i = 1; i + 1 <= text::length(page); ++i)
            if (chars_.isChineseAt(i) && isPlaceCharacter(static_cast<unsigned char>(page[i - 1]),
                                                          static_cast<unsigned char>(page[i])))
                places_.push_back(i);
    }
    // Whether the segment [start, end) (page positions) names a place.
    bool namesAPlace(Pos start, Pos end) {
        if (!chars_.startsChar(start)) {
            // Walk the segment from its own start until it meets the page's
            // character boundaries again.
            Pos k = start;
            while (k < end && !chars_.startsChar(k)) {
                auto lead = static_cast<unsigned char>(page_[k - 1]);
                if (isHighByte(lead)) {
                    if (k + 1 <= end - 1 && !isSymbolRow(lead) &&
                        isPlaceCharacter(lead, static_cast<unsigned char>(page_[k])))
                        return true;
                    k += 2;
                } else {
                    k += 1;
                }
            }
            start = k;
        }
        auto it = std::lower_bound(places_.begin(), places_.end(), start);
        return it != places_.end() && *it <= end - 2;
    }

  private:
    std::string_view page_;
    CharMap chars_;
    std::vector<Pos> places_;
};

}  // namespace

bool namesAPlace(std::string_view segment) {
    return PlaceIndex(segment).namesAPlace(1, text::length(segment) + 1);
}

std::string findAddress(std::string_view page) {
    static const std::array<std::string, 3> kLabels = {
        gbk::fromUtf8("地址"), gbk::fromUtf8("地 址"), gbk::fromUtf8("地　址")};
    static const std::string kFullColon = gbk::fromUtf8("：");
    static const std::string kSituatedAt = gbk::fromUtf8("位于");
    static const std::string kFullSpace = gbk::fromUtf8("　");
    static const std::string kFullStop = gbk::fromUtf8("。");

    // Every occurrence of each label, for "the last occurrence within W".
    std::array<std::vector<Pos>, 3> occurrences;
    for (size_t k = 0; k < kLabels.size(); ++k)
        for (size_t at = page.find(kLabels[k]); at != npos; at = page.find(kLabels[k], at + 1))
            occurrences[k].push_back(static_cast<Pos>(at) + 1);

    NextBackwards lt(page, "<"), colon(page, ":"), fullColon(page, kFullColon),
        situated(page, kSituatedAt), space(page, " "), fullSpace(page, kFullSpace),
        fullStop(page, kFullStop), nbsp(page, "&nbsp");
    NonSpaceBackwards nonSpace(page);
    PlaceIndex places(page);
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
            auto& list = occurrences[k];
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

#include "sources/websearch/result_page.h"

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "platform/gbk.h"
#include "sources/framework/text_scan.h"

namespace velmora {
namespace {

using text::Pos;

// The pager's link text for page n: ">[n]<".
std::string pageLinkText(std::int64_t n) {
    return ">[" + std::to_string(n) + "]<";
}

Pos digitCount(std::int64_t n) {
    return static_cast<Pos>(std::to_string(n).size());
}

// The first match of a ForwardFinder at or behind `from` that ends by `end`
// (a 0-based bound). Matches found further on end later still, so when the
// first one does not fit, none does.
Pos fitting(text::ForwardFinder& finder, Pos from, Pos end, Pos markerLength) {
    Pos at = finder.next(from);
    if (at == 0 || at - 1 + markerLength > end) return 0;
    return at;
}

// Urls of detail rows 1 to k, counted, so that one lookup answers "does one
// of them equal this url" while rows are rewritten.
class RowUrls {
  public:
    void add(const std::string& url) { ++counts_[url]; }
    void remove(const std::string& url) {
        auto it = counts_.find(url);
        if (it != counts_.end() && --it->second == 0) counts_.erase(it);
    }
    bool holds(const std::string& url) const { return counts_.count(url) != 0; }

  private:
    std::unordered_map<std::string, int> counts_;
};

}  // namespace

void collectResultPages(std::string_view page, WorkForm& form, const WorkKey& key,
                        std::string_view base) {
    static const std::string kNextPage = gbk::fromUtf8(">下一页");
    Pos q = text::find(page, kNextPage);
    if (q == 0) return;
    std::int64_t n = key.index == 0 ? 1 : key.index;
    Pos a = text::scanBack(page, pageLinkText(n + 1), q, 0);
    a = text::scanBack(page, "href=", a, 0);
    if (a == 0) return;
    const std::string_view strip = text::cut(page, a, q);

    // Rows 2 to known pages, kept up to date as rows are added.
    std::unordered_set<std::string> known;
    for (int r = 2; r <= form.knownPages && r <= form.listing.size(); ++r)
        known.insert(form.listing.row(r).url);

    text::ForwardFinder hrefs(strip, "href=");
    Pos from = 1;  // the remaining strip starts at this position of `strip`
    for (;;) {
        std::string probe = pageLinkText(n + 1);
        Pos m = text::find(strip, probe, from);
        if (m == 0) break;
        ++n;
        Pos h = hrefs.next(from);
        // Positions relative to the remaining strip, as the cut reads them.
        Pos mRel = m - from + 1;
        Pos hRel = h == 0 ? 0 : h - from + 1;
        std::string link(base);
        link.append(text::cut(text::tail(strip, from), hRel + 5, mRel));
        if (!known.count(link)) {
            if (form.knownPages == std::numeric_limits<std::int32_t>::max())
                throw std::length_error("listing table full");
            ++form.knownPages;
            form.listing.write(form.knownPages, "N", link,
                               "1[" + std::to_string(n) + "]" + std::to_string(key.detail) + "{" +
                                   std::to_string(key.extra) + "}");
            if (form.knownPages >= 2) known.insert(std::move(link));
        }
        // Behind the link text just used.
        from += mRel + 4 + digitCount(n + 1) - 1;
        if (from > text::length(strip)) break;
    }
}

void collectHits(std::string_view page, WorkForm& form, const WorkKey& key) {
    static constexpr std::string_view kHitStart = "<p class=";
    static constexpr std::string_view kHref = "href=";
    static constexpr std::string_view kEnd = "\" target=_blank";
    form.detailCount = 0;

    text::ForwardFinder starts(page, kHitStart);
    text::ForwardFinder hrefs(page, kHref);
    text::ForwardFinder ends(page, kEnd);
    // The working page is bytes s + 1 .. e of `page` (1-based): it loses its
    // front as hits are read and one byte at its end per hit.
    Pos s = 0, e = text::length(page);
    RowUrls rows;
    int k = 0;
    for (;;) {
        Pos p = fitting(starts, s + 1, e, text::length(kHitStart));
        if (p == 0) break;
        Pos h = fitting(hrefs, p + 1, e, text::length(kHref));
        if (h == 0) h = e;  // clamp: the working page's last byte
        s = h - 1;
        e -= 1;
        if (s > e) s = e;
        Pos t = fitting(ends, s + 1, e, text::length(kEnd));
        Pos tRel = t == 0 ? 0 : t - s;
        std::string url(text::cut(text::cut(page, s + 1, e + 1), 7, tRel));

        ++k;
        rows.add(form.detail.row(k).url);
        if (!rows.holds(url)) {
            ++form.detailCount;
            rows.remove(form.detail.row(form.detailCount).url);
            rows.add(url);
            form.detail.write(form.detailCount, "N", std::move(url),
                              WorkKey::make(1, key.index, form.detailCount));
        }
        if (t != 0) s = t - 1;
    }
}

}  // namespace velmora

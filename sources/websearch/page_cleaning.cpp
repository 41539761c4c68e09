#include "sources/websearch/page_cleaning.h"

#include <algorithm>

#include "sources/framework/text_scan.h"
#include "sources/websearch/page_search.h"

namespace velmora {
namespace {

constexpr std::string_view kOpen = "<script";
constexpr std::string_view kClose = "</script";

// The text under work is `kept` followed by the page from `rest` on: every
// deletion removes the first "<script" and what follows it, so the bytes in
// front of it are final and the page behind it is still untouched.
class ScriptRemover {
  public:
    explicit ScriptRemover(std::string_view page)
        : page_(page), opens_(page, kOpen), closes_(page, kClose) {
        kept_.reserve(page.size());
    }

    std::string run() {
        for (;;) {
            size_t a = 0;
            if (!straddling(kOpen, a)) {
                text::Pos at = opens_.next(static_cast<text::Pos>(rest_) + 1);
                if (at == 0) {
                    keep(page_.size());
                    return std::move(kept_);
                }
                keep(static_cast<size_t>(at - 1));
                a = kept_.size();
            }
            size_t b = 0;
            bool closeFound = firstClose(b);
            erase(a, closeFound && b > a ? b - a + 9 : 8);
        }
    }

  private:
    // Position (in kept + rest) of an occurrence of `marker` that starts in
    // the last bytes of `kept_` and runs into the rest of the page.
    bool straddling(std::string_view marker, size_t& at) const {
        size_t from = kept_.size() >= marker.size() - 1 ? kept_.size() - (marker.size() - 1) : 0;
        for (size_t s = from; s < kept_.size(); ++s) {
            size_t inKept = kept_.size() - s;
            if (kept_.compare(s, inKept, marker.substr(0, inKept)) != 0) continue;
            std::string_view more = marker.substr(inKept);
            if (page_.substr(rest_, more.size()) == more) {
                at = s;
                return true;
            }
        }
        return false;
    }

    // The first "</script" of kept + rest.
    bool firstClose(size_t& at) {
        if (closeInKept_ != npos) {
            at = closeInKept_;
            return true;
        }
        if (straddling(kClose, at)) return true;
        text::Pos found = closes_.next(static_cast<text::Pos>(rest_) + 1);
        if (found == 0) return false;
        at = kept_.size() + (static_cast<size_t>(found - 1) - rest_);
        return true;
    }

    // Moves the page up to `end` behind the kept text.
    void keep(size_t end) {
        size_t from = kept_.size() >= kClose.size() ? kept_.size() - kClose.size() + 1 : 0;
        kept_.append(page_.substr(rest_, end - rest_));
        rest_ = end;
        if (closeInKept_ == npos) {
            size_t at = kept_.find(kClose, from);
            if (at != std::string::npos) closeInKept_ = at;
        }
    }

    // Deletes `count` bytes at `a` of kept + rest (fewer at the end).
    void erase(size_t a, size_t count) {
        if (a < kept_.size()) {
            size_t fromKept = std::min(count, kept_.size() - a);
            kept_.erase(a, fromKept);
            count -= fromKept;
        }
        rest_ += std::min(count, page_.size() - rest_);
        if (closeInKept_ != npos && closeInKept_ + kClose.size() > kept_.size())
            closeInKept_ = npos;
    }

    static constexpr size_t npos = std::string::npos;
    std::string_view page_;
    homepage::Finder opens_;
    homepage::Finder closes_;
    std::string kept_;
    size_t rest_ = 0;
    size_t closeInKept_ = npos;
};

// Deletes every occurrence of `entity`, scanning once from the left.
std::string deleteEvery(std::string_view text, std::string_view entity) {
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    for (;;) {
        size_t at = text.find(entity, pos);
        if (at == std::string_view::npos) break;
        out.append(text.substr(pos, at - pos));
        pos = at + entity.size();
    }
    out.append(text.substr(pos));
    return out;
}

}  // namespace

std::string cleanHomepage(std::string_view page) {
    std::string s = ScriptRemover(page).run();
    for (std::string_view entity : {"&nbsp;", "&gt;", "&quot;", "&middot;"}) {
        if (s.find(entity) != std::string::npos) s = deleteEvery(s, entity);
    }
    return s;
}

}  // namespace velmora

#pragma once
// The number text cleaner for callers that clean many positions of one page:
// the extractor's phone and fax loops call it once per label on a working
// text that is a shrinking window of the cleaned page. The cleaner's searches
// that run to the end of its text (the markup skip, the run of number
// characters) are answered from tables built over the page the first time a
// call's own search grows long, so that a page crowded with labels costs
// time linear in its length and a normal page builds no tables at all.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "sources/framework/text_scan.h"

namespace velmora {

class NumberScanner {
  public:
    explicit NumberScanner(std::string_view page);
    // With the budget of bytes the calls' own searches may read before the
    // tables are built (0: tables from the first call on).
    NumberScanner(std::string_view page, size_t searchBudget);
    ~NumberScanner();
    NumberScanner(const NumberScanner&) = delete;
    NumberScanner& operator=(const NumberScanner&) = delete;

    // The cleaner applied to the text made of the page's positions
    // first .. last (1-based, inclusive), at `position` of that text.
    std::string clean(text::Pos first, text::Pos last, text::Pos position);

    struct Tables;

  private:
    friend class CleanerRun;
    const Tables& tables();
    bool useTables() const { return tables_ != nullptr || work_ > budget_; }
    // First digit at page offset >= from (0-based), or npos.
    size_t nextDigit(size_t from);

    std::string_view page_;
    std::unique_ptr<Tables> tables_;
    struct DigitCache {
        size_t from = 1;  // empty: from > found
        size_t found = 0;
    };
    DigitCache digitCache_[8];
    unsigned nextCacheSlot_ = 0;
    // Bytes read by the calls' own searches; past the budget the tables are built.
    size_t work_ = 0;
    size_t budget_;
};

}  // namespace velmora

#include "sources/websearch/phone_fax_fields.h"

#include <array>
#include <string>

#include "platform/gbk.h"
#include "sources/framework/text_scan.h"
#include "sources/websearch/number_scanner.h"
#include "sources/websearch/page_search.h"

namespace velmora::homepage {

using text::Pos;

namespace {

// The working text W is the page's positions first .. last. It only ever
// loses bytes at both ends, so each label's first occurrence in W is found
// by a search that remembers where it stopped.
class WorkingText {
  public:
    explicit WorkingText(std::string_view page) : page_(page), last_(text::length(page)) {}

    Pos first() const { return first_; }
    Pos last() const { return last_; }
    Pos length() const { return last_ - first_ + 1; }

    // Position of `label`'s first occurrence within W (1-based in W), 0 when none.
    Pos find(homepage::Finder& finder, std::string_view label) const {
        Pos at = finder.next(first_);
        if (at == 0 || at + text::length(label) - 1 > last_) return 0;
        return at - first_ + 1;
    }
    // W := W from position p on, without its last byte.
    void keepFrom(Pos p) {
        first_ += p - 1;
        last_ -= 1;
    }

  private:
    std::string_view page_;
    Pos first_ = 1;
    Pos last_;
};

}  // namespace

void findPhoneAndFax(std::string_view page, RecordSlot& slot) {
    // Label texts live as long as the process, so the finders may view them.
    static const std::array<std::string, 5> kPhoneLabels = {
        gbk::fromUtf8("电话"), gbk::fromUtf8("电 话"), gbk::fromUtf8("电　话"),
        gbk::fromUtf8("电　　话"), gbk::fromUtf8("电  话")};
    static const std::array<std::string, 4> kMoreLabels = {
        gbk::fromUtf8("热线"), gbk::fromUtf8("手机"), gbk::fromUtf8("总机"), "tel"};
    static const std::string kFax = "fax";
    static const std::string kFaxChinese = gbk::fromUtf8("传真");

    NumberScanner scanner(page);
    WorkingText w(page);
    std::array<homepage::Finder, 5> phone = {
        homepage::Finder(page, kPhoneLabels[0]), homepage::Finder(page, kPhoneLabels[1]),
        homepage::Finder(page, kPhoneLabels[2]), homepage::Finder(page, kPhoneLabels[3]),
        homepage::Finder(page, kPhoneLabels[4])};
    std::array<homepage::Finder, 4> more = {
        homepage::Finder(page, kMoreLabels[0]), homepage::Finder(page, kMoreLabels[1]),
        homepage::Finder(page, kMoreLabels[2]), homepage::Finder(page, kMoreLabels[3])};
    auto clean = [&](Pos i) {
        return std::string(text::trim(scanner.clean(w.first(), w.last(), i)));
    };
    auto anyLabel = [&] {
        for (size_t k = 0; k < phone.size(); ++k)
            if (w.find(phone[k], kPhoneLabels[k]) != 0) return true;
        for (size_t k = 0; k < more.size(); ++k)
            if (w.find(more[k], kMoreLabels[k]) != 0) return true;
        return false;
    };

    std::string& number = slot[Field::Phone];
    while (number.empty() && w.length() > 10 && anyLabel()) {
        Pos n = 4, i = 0;
        for (size_t k = 0; k < phone.size(); ++k) {
            Pos at = w.find(phone[k], kPhoneLabels[k]);
            if (at != 0) {
                i = at;
                n = text::length(kPhoneLabels[k]);
                break;
            }
        }
        // Made even without one of the five labels: then at the start of W.
        number = clean(i);
        Pos c = i;
        for (size_t k = 0; k < more.size(); ++k) {
            if (!number.empty()) break;
            Pos at = w.find(more[k], kMoreLabels[k]);
            if (at == 0) continue;
            i = at;
            n = text::length(kMoreLabels[k]);
            number = clean(i);
            c = i;
        }
        w.keepFrom(c + n);
    }

    std::string& fax = slot[Field::Fax];
    if (!fax.empty()) return;
    homepage::Finder faxLatin(page, kFax), faxChinese(page, kFaxChinese);
    if (Pos at = w.find(faxLatin, kFax); at != 0) fax = clean(at);
    if (!fax.empty()) return;
    if (Pos at = w.find(faxChinese, kFaxChinese); at != 0) fax = clean(at);
}

}  // namespace velmora::homepage

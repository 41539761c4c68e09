// Result pages of the yellow pages (source 6) through the page check, the
// result parser and the in-step intake, as a result-page step runs them.
//
// Input: 4 bytes result page, 4 bytes next category row (little-endian),
// then the page as fetched.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/page_step.h"
#include "fuzz/reference_scan.h"
#include "platform/gbk.h"
#include "sources/yellowpages/yellowpages_source.h"

namespace velmora {
namespace {

using fuzz::ref::Pos;

class Intake : public IntakeContext {
  public:
    bool acceptName(const std::string& name) override {
        FUZZ_CHECK(!name.empty());
        return true;
    }
    void lookupEmailIfWanted(RecordSlot&) override {}
    void takeIn(const RecordSlot& record) override { taken.push_back(record); }
    std::vector<RecordSlot> taken;
};

// '">' behind `from`, then "</": the value between; returns the "</".
Pos referenceValue(std::string_view rest, Pos from, std::string& value) {
    Pos end = fuzz::ref::len(rest);
    Pos a = fuzz::ref::scanForward(rest, "\">", from, end);
    Pos b = fuzz::ref::scanForward(rest, "</", a, end);
    value = fuzz::ref::cut(rest, a + 2, b);
    return b;
}

std::string referencePostcode(std::string_view block) {
    static const std::string kLabel = gbk::fromUtf8("邮编");
    Pos q = fuzz::ref::find(block, kLabel);
    if (q == 0) return {};
    Pos r = fuzz::ref::scanForward(block, "</", q, fuzz::ref::len(block));
    std::string text = fuzz::ref::cut(block, q + 5, q + 5 + (r - q - 1));
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] >= '0' && text[i] <= '9') return text.substr(i, 6);
    return {};
}

std::vector<RecordSlot> referenceCompanies(std::string_view page) {
    std::vector<RecordSlot> out;
    std::string_view rest = page;
    for (;;) {
        Pos p = fuzz::ref::find(rest, "m_funitname");
        if (p == 0) break;
        RecordSlot c;
        referenceValue(rest, p, c[Field::Name]);
        referenceValue(rest, fuzz::ref::find(rest, "m_ftelphone"), c[Field::Phone]);
        Pos e = referenceValue(rest, fuzz::ref::find(rest, "m_faddress"), c[Field::Address]);
        Pos n = fuzz::ref::scanForward(rest, "m_funitname", e, fuzz::ref::len(rest));
        c[Field::Postcode] = referencePostcode(fuzz::ref::cut(rest, e, n));
        out.push_back(std::move(c));
        // Never from a position at or before this block's name marker.
        Pos keep = e > p ? e : p + 11;
        rest = rest.substr(static_cast<size_t>(std::min(keep - 1, fuzz::ref::len(rest))));
    }
    return out;
}

}  // namespace
}  // namespace velmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace velmora;
    fuzz::Input in(data, size);
    // A run raises the result page and lowers the row by one per page, so
    // neither arrives at the end of its range.
    std::int32_t resultPage = in.i32(), nextRow = in.i32();
    if (resultPage == std::numeric_limits<std::int32_t>::max()) --resultPage;
    if (nextRow == std::numeric_limits<std::int32_t>::min()) ++nextRow;
    const fuzz::FetchedPage fetched(in.rest());
    const std::string& lowered = fetched.lowered;

    static const YellowPagesSource source("http://yp.example/yp");
    const WorkKey key = fuzz::roundTripKey(6, 3, 0);
    const std::vector<RecordSlot> companies = referenceCompanies(lowered);

    WorkForm form(source.listingRows());
    form.resultPage = resultPage;
    form.nextDetailRow = nextRow;
    Intake intake;
    FUZZ_CHECK(fuzz::runPageStep(source, form, key, fetched, intake));

    fuzz::ExactBytes exact(lowered);
    CompanyPage again = parseYellowPagesResults(exact.view());
    FUZZ_CHECK(again.companies == companies);
    static const std::string kNext = gbk::fromUtf8("下一页");
    bool next = lowered.find(kNext) != std::string::npos;
    FUZZ_CHECK(again.nextPage == next);
    FUZZ_CHECK(form.resultPage == (next ? resultPage + 1 : 0));
    FUZZ_CHECK(form.nextDetailRow == (next ? nextRow - 1 : nextRow));

    FUZZ_CHECK(form.lastPageSpent == companies.empty());
    std::vector<RecordSlot> named;
    for (const auto& c : companies)
        if (!c[Field::Name].empty()) named.push_back(c);
    FUZZ_CHECK(intake.taken == named);
    return 0;
}

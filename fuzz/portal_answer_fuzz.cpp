// Answer pages of the portal search (source 5) through the page check, the
// answer parser and the in-step intake, as a listing step runs them.
//
// Input: 4 bytes known pages (little-endian), 1 byte options (bit 0: the
// page before held the same companies, bit 1: the filter refuses every
// second name), then the page as fetched.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/page_step.h"
#include "fuzz/reference_scan.h"
#include "sources/portal/portal_source.h"

namespace velmora {
namespace {

using fuzz::ref::Pos;

class Intake : public IntakeContext {
  public:
    explicit Intake(bool refuseEverySecond) : refuse_(refuseEverySecond) {}
    bool acceptName(const std::string& name) override {
        FUZZ_CHECK(!name.empty());
        asked.push_back(name);
        return !refuse_ || asked.size() % 2 == 1;
    }
    void lookupEmailIfWanted(RecordSlot& record) override {
        FUZZ_CHECK(!asked.empty() && record[Field::Name] == asked.back());
        ++lookups;
    }
    void takeIn(const RecordSlot& record) override { taken.push_back(record); }

    std::vector<std::string> asked;
    std::vector<RecordSlot> taken;
    size_t lookups = 0;

  private:
    bool refuse_;
};

// The companies as the site rule reads them: on a remaining page that
// shrinks from the front, every scan from one byte behind a separator.
std::vector<RecordSlot> referenceCompanies(std::string_view page) {
    static constexpr std::string_view kTable =
        "<table cellspacing=0 cellpadding=0 width=168 border=0 align=center>";
    std::vector<RecordSlot> out;
    std::string_view rest = page;
    for (;;) {
        Pos p = fuzz::ref::find(rest, kTable);
        if (p == 0) break;
        Pos end = fuzz::ref::len(rest);
        Pos a = fuzz::ref::scanForward(rest, "&#183;", p, end);
        Pos b = fuzz::ref::scanForward(rest, "&#183;", a + 5, end);
        Pos c = fuzz::ref::scanForward(rest, "&#183;", b + 5, end);
        Pos d = fuzz::ref::scanForward(rest, "</tr>", c + 5, end);
        RecordSlot company;
        company[Field::Name] = fuzz::ref::removeTags(fuzz::ref::cut(rest, a + 6, b));
        company[Field::Address] = fuzz::ref::removeTags(fuzz::ref::cut(rest, b + 6, c));
        company[Field::Phone] = fuzz::ref::removeTags(fuzz::ref::cut(rest, c + 6, d));
        out.push_back(std::move(company));
        rest = rest.substr(static_cast<size_t>(d - 1));
    }
    return out;
}

}  // namespace
}  // namespace velmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace velmora;
    fuzz::Input in(data, size);
    const std::int32_t known = fuzz::knownPagesFrom(in.u32());
    const std::uint8_t options = in.byte();
    const fuzz::FetchedPage fetched(in.rest());
    const std::string& lowered = fetched.lowered;

    static const PortalSource source;
    const WorkKey key = fuzz::roundTripKey(5, 0, 0);
    const std::vector<RecordSlot> companies = referenceCompanies(lowered);

    WorkForm form;
    form.knownPages = known;
    if (options & 1)
        for (const auto& c : companies) form.lastPageNames.push_back(c[Field::Name]);
    const std::vector<std::string> before = form.lastPageNames;
    Intake intake(options & 2);
    if (!fuzz::runPageStep(source, form, key, fetched, intake)) {
        FUZZ_CHECK(form.knownPages == known && intake.asked.empty() && !form.lastPageSpent);
        return 0;
    }

    // The parser alone, on an exact-size copy: what the page says.
    fuzz::ExactBytes exact(lowered);
    CompanyPage again = parsePortalAnswer(exact.view());
    FUZZ_CHECK(again.companies == companies);
    const bool next = fuzz::referenceNextPageLink(lowered);
    FUZZ_CHECK(again.nextPage == next);
    FUZZ_CHECK(form.knownPages == (next ? known + 1 : 0));

    // The step: nothing of an empty or repeated page, else every named
    // company in page order, a lookup for each accepted one.
    bool spent = companies.empty() || (options & 1);
    FUZZ_CHECK(form.lastPageSpent == spent);
    if (spent) {
        FUZZ_CHECK(intake.asked.empty() && intake.taken.empty());
        FUZZ_CHECK(form.lastPageNames == before);
        return 0;
    }
    std::vector<std::string> named;
    for (const auto& c : companies)
        if (!c[Field::Name].empty()) named.push_back(c[Field::Name]);
    FUZZ_CHECK(intake.asked == named);
    FUZZ_CHECK(intake.lookups == intake.taken.size());
    size_t t = 0, n = 0;
    for (const auto& c : companies) {
        if (c[Field::Name].empty()) continue;
        bool accepted = !(options & 2) || n % 2 == 0;
        ++n;
        if (!accepted) continue;
        FUZZ_CHECK(t < intake.taken.size() && intake.taken[t] == c);
        ++t;
    }
    FUZZ_CHECK(t == intake.taken.size());
    FUZZ_CHECK(form.lastPageNames.size() == companies.size());
    return 0;
}

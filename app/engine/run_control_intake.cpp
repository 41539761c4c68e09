// The in-step intake of sources 5 and 6. One by one, each named company of a
// result page passes the same-name filter, gets its e-mail lookup and becomes
// a list entry before the next one is looked at. With further connections,
// the lookups of the companies that follow already run: for the names the
// filter accepts as the list stands, less repeats on the page. The filter's
// own answer is still asked at each company's turn, with every company before
// it taken in, so the entries are exactly those of one by one; a company
// whose lookup did not run ahead gets it at its turn.
#include <future>
#include <string_view>
#include <unordered_set>

#include "app/engine/source_intake.h"
#include "sources/framework/email_lookup.h"

namespace velmora {
namespace {

struct LookupAhead {
    HttpClient* connection = nullptr;
    WorkTable hits{10};
    std::promise<void> done;
    std::future<void> finished = done.get_future();
};

}  // namespace

bool RunControl::SourceIntake::acceptName(const std::string& name) {
    bool accepted = false;
    if (!run_.callOnMain([&] { accepted = run_.list_.acceptsName(name); })) return false;
    return accepted;
}

void RunControl::SourceIntake::lookupEmailIfWanted(RecordSlot& record) {
    if (!run_.research_.load()) return;
    lookupEmail(*task_.http, run_.sites_.websearch, record, task_.form.mailHits);
}

void RunControl::SourceIntake::takeIn(const RecordSlot& record) {
    RecordSlot copy = record;
    run_.callOnMain([&] {
        if (run_.recorder_) run_.recorder_->intakeBy(task_.source);
        run_.list_.intake(copy);
    });
}

bool RunControl::SourceIntake::takeInIfAccepted(const RecordSlot& record) {
    RecordSlot copy = record;
    bool added = false;
    run_.callOnMain([&] {
        if (run_.recorder_) run_.recorder_->intakeBy(task_.source);
        added = run_.list_.intake(copy);
    });
    return added;
}

void RunControl::SourceIntake::takeInCompanies(std::vector<RecordSlot>& companies) {
    if (!run_.research_.load()) {
        // Nothing happens between a company's filter and its entry: the whole
        // page goes over in one hand-over.
        std::vector<RecordSlot> copy = companies;
        run_.callOnMain([&] {
            if (run_.recorder_) run_.recorder_->intakeBy(task_.source);
            for (RecordSlot& company : copy)
                if (!company[Field::Name].empty()) run_.list_.intake(company);
        });
        return;
    }
    if (task_.spare.empty()) return IntakeContext::takeInCompanies(companies);
    takeInWithLookupsAhead(companies);
}

void RunControl::SourceIntake::takeInWithLookupsAhead(std::vector<RecordSlot>& companies) {
    size_t n = companies.size();
    std::vector<char> wanted(n, 0);
    bool asked = run_.callOnMain([&] {
        std::unordered_set<std::string_view> seen;
        bool filter = run_.list_.sameNameFilter();
        for (size_t i = 0; i < n; ++i) {
            const std::string& name = companies[i][Field::Name];
            if (name.empty() || !run_.list_.acceptsName(name)) continue;
            if (filter && !seen.insert(name).second) continue;
            wanted[i] = 1;
        }
    });
    if (!asked) return;

    std::vector<std::shared_ptr<LookupAhead>> lookups(n);
    std::vector<HttpClient*> idle = task_.spare;
    size_t considered = 0;
    auto startLookups = [&](size_t current) {
        considered = std::max(considered, current + 1);
        while (!idle.empty() && considered < n) {
            size_t j = considered++;
            if (!wanted[j]) continue;
            auto lookup = std::make_shared<LookupAhead>();
            lookup->connection = idle.back();
            idle.pop_back();
            run_.pool_.submit([lookup, record = &companies[j], base = run_.sites_.websearch] {
                lookupEmail(*lookup->connection, base, *record, lookup->hits);
                lookup->done.set_value();
            });
            lookups[j] = std::move(lookup);
        }
    };
    // The lookups ahead write into `companies`: none may outlive this call.
    struct WaitForAll {
        std::vector<std::shared_ptr<LookupAhead>>& lookups;
        ~WaitForAll() {
            for (auto& lookup : lookups)
                if (lookup) lookup->finished.wait();
        }
    } waitForAll{lookups};

    for (size_t i = 0; i < n; ++i) {
        RecordSlot& company = companies[i];
        if (company[Field::Name].empty()) continue;
        startLookups(i);
        if (std::shared_ptr<LookupAhead> lookup = std::move(lookups[i])) {
            lookup->finished.wait();
            idle.push_back(lookup->connection);
            startLookups(i);
            if (takeInIfAccepted(company)) task_.form.mailHits = std::move(lookup->hits);
            continue;
        }
        if (!acceptName(company[Field::Name])) continue;
        lookupEmailIfWanted(company);
        takeIn(company);
    }
}

}  // namespace velmora

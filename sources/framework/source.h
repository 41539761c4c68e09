#pragma once
// What a source plugs into the harvester framework: its listing request, its
// listing and detail parsers (pure functions of page bytes and work form),
// whether it has the e-mail lookup, and which dispatcher rules drive it.
#include <string>
#include <string_view>
#include <vector>

#include "sources/framework/escaping.h"
#include "sources/framework/record_slot.h"
#include "sources/framework/work_form.h"
#include "sources/framework/work_key.h"

namespace velmora {

class HttpClient;

// The request a listing step sends.
struct ListingRequest {
    enum class Method { Get, Post } method = Method::Get;
    std::string url;
    text::FormFields fields;  // POST only
};

// Which variant of the dispatcher drives the source.
enum class DispatchRules {
    RecordSlot,   // sources 2, 3, 4, 7
    WebSearch,    // source 1: listing rows per result page, website copied into the slot
    Portal,       // source 5: no tables, companies taken in by the listing step
    YellowPages,  // source 6: category table, start mark
};

// Services a listing step of sources 5 and 6 uses while it takes companies in
// itself. The worker runs these on the main thread and waits for the answer.
class IntakeContext {
  public:
    virtual ~IntakeContext() = default;
    // The same-name filter's answer for `name`.
    virtual bool acceptName(const std::string& name) = 0;
    // E-mail lookup for the company in `record` when the re-search option is on.
    virtual void lookupEmailIfWanted(RecordSlot& record) = 0;
    // Appends the company (name already accepted) as a new list entry.
    virtual void takeIn(const RecordSlot& record) = 0;

    // Takes the companies of a result page in, in page order: each named
    // company that the same-name filter accepts gets the e-mail lookup and
    // becomes a list entry before the next one is looked at. A context may
    // run the lookups of accepted names ahead of their turn, as long as the
    // entries come out exactly as one by one.
    virtual void takeInCompanies(std::vector<RecordSlot>& companies);
};

class Source {
  public:
    virtual ~Source() = default;

    virtual int number() const = 0;
    virtual DispatchRules rules() const { return DispatchRules::RecordSlot; }
    virtual int listingRows() const { return 42; }
    virtual bool hasEmailLookup() const = 0;

    // Builds the listing step's request from the work item and the form; a
    // request that carries a page number raises next page right here.
    virtual ListingRequest listingRequest(const std::string& url, const WorkKey& key,
                                          WorkForm& form) const = 0;

    // Parses a lower-cased result page: detail rows, known pages, next listing
    // row (or, for sources 5 and 6, the companies through `intake`).
    virtual void parseListing(std::string_view page, WorkForm& form, const WorkKey& key,
                              IntakeContext& intake) const = 0;

    // Fills the record slot from a lower-cased detail page.
    virtual void parseDetail(std::string_view page, WorkForm& form) const = 0;

    // Step variations of individual sites.
    // A guard before the request (source 1 compares the url with the slot's website).
    virtual bool allowsRequest(const std::string& url, const std::string& key,
                               const WorkForm& form) const {
        (void)url, (void)key, (void)form;
        return true;
    }
    // The not-found test of the page check (source 6 has none; it still lower-cases).
    virtual bool appliesNotFoundTest() const { return true; }
    // Whether a step skips its parsing once the running flag is off (source 6 parses on).
    virtual bool parsesOnlyWhileRunning() const { return true; }
    // Called when a listing step's request, check or parse failed (source 6
    // starts the next category from its first page again).
    virtual void listingStepFailed(WorkForm& form) const { (void)form; }
};

// True when an address can be requested ("http://" or "https://" in it).
bool isRequestable(std::string_view url);

}  // namespace velmora

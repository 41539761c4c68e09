#include "sources/framework/worker_step.h"

#include <algorithm>

#include "platform/http_client.h"
#include "sources/framework/email_lookup.h"
#include "sources/framework/page_charset.h"
#include "sources/framework/paging.h"
#include "sources/framework/text_scan.h"

namespace velmora {

bool isRequestable(std::string_view url) {
    return url.find("http://") != std::string_view::npos ||
           url.find("https://") != std::string_view::npos;
}

std::chrono::milliseconds listingRetryPause(int retry, std::chrono::milliseconds base) {
    int shift = std::clamp(retry - 1, 0, 6);
    return base * (1 << shift);
}

namespace {

class DiscardingIntake : public IntakeContext {
  public:
    bool acceptName(const std::string&) override { return true; }
    void lookupEmailIfWanted(RecordSlot&) override {}
    void takeIn(const RecordSlot&) override {}
};

HttpPage fetchListing(const Source& source, WorkForm& form, const std::string& url,
                      const WorkKey& key, HttpClient& http) {
    ListingRequest request = source.listingRequest(url, key, form);
    if (request.method == ListingRequest::Method::Post)
        return http.postPage(request.url, request.fields);
    return http.getPage(request.url);
}

// The page as the parsers read it: GBK, whatever the site declared.
std::string pageBytes(HttpPage&& fetched, bool transcode) {
    if (transcode) text::convertPageToGbk(fetched.body, fetched.contentType);
    return std::move(fetched.body);
}

}  // namespace

IntakeContext& discardingIntake() {
    static DiscardingIntake intake;
    return intake;
}

bool parseFetchedPage(const Source& source, WorkForm& form, const WorkKey& key, std::string& page,
                      IntakeContext& intake) {
    text::lowerAsciiInPlace(page);
    if (source.appliesNotFoundTest() && isNotFoundPage(page)) return false;
    if (key.isListing())
        source.parseListing(page, form, key, intake);
    else
        source.parseDetail(page, form);
    return true;
}

StepOutcome runWorkerStep(const Source& source, WorkForm& form, const WorkItem& item,
                          StepEnvironment& env) {
    StepOutcome outcome;
    if (!isRequestable(item.url)) return outcome;
    if (!source.allowsRequest(item.url, item.key, form)) return outcome;
    bool listing = false;
    try {
        WorkKey key = WorkKey::parse(item.key);
        listing = key.isListing();
        std::string page;
        if (listing) {
            // Sources 5 and 6 never ask for a failed listing page again, so
            // they have no retry to pause for.
            bool retries = source.rules() == DispatchRules::RecordSlot ||
                           source.rules() == DispatchRules::WebSearch;
            if (retries && form.listingFailures > 0 && env.pause &&
                !env.pause(listingRetryPause(form.listingFailures, env.retryPause)))
                return outcome;  // stopped while waiting to retry
            outcome.requested = true;
            try {
                page = pageBytes(fetchListing(source, form, item.url, key, env.http),
                                 env.transcodePages);
            } catch (const std::exception&) {
                ++form.listingFailures;
                throw;
            }
            form.listingFailures = 0;
        } else {
            outcome.requested = true;
            page = pageBytes(env.http.getPage(item.url), env.transcodePages);
        }
        text::lowerAsciiInPlace(page);
        if (source.appliesNotFoundTest() && isNotFoundPage(page)) return outcome;
        if (source.parsesOnlyWhileRunning() && !env.running.load()) return outcome;
        outcome.parsed = true;
        if (key.isListing()) {
            source.parseListing(page, form, key, env.intake);
        } else {
            source.parseDetail(page, form);
            const RecordSlot& slot = form.slot;
            if (source.hasEmailLookup() && env.research.load() && !slot[Field::Name].empty() &&
                slot[Field::Email].empty()) {
                outcome.lookedUp = true;
                lookupEmail(env.http, env.websearchBase, form.slot, form.mailHits);
            }
        }
    } catch (const HttpError& e) {
        // Only the step's own request raises this far (the e-mail lookup
        // ends quietly): the page could not be had, unless it was a stop.
        outcome.failed = true;
        outcome.unfetched = e.kind() != HttpFailure::Aborted;
        if (listing) source.listingStepFailed(form);
    } catch (const std::exception&) {
        outcome.failed = true;
        if (listing) source.listingStepFailed(form);
    }
    return outcome;
}

}  // namespace velmora

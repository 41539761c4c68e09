#pragma once
// One worker step: fetch one page, check it, parse it into the work form.
// The caller signals the source's dispatcher exactly once after it returns.
#include <atomic>
#include <chrono>
#include <functional>
#include <string>

#include "sources/framework/source.h"

namespace velmora {

class HttpClient;

struct WorkItem {
    std::string url;
    std::string key;
};

struct StepEnvironment {
    HttpClient& http;
    const std::atomic<bool>& running;
    const std::atomic<bool>& research;  // the "再搜索设定" option
    std::string websearchBase;
    IntakeContext& intake;
    // Waits up to the given time; returns false early when the run is being
    // stopped. Used for the pause before retrying a failed listing page.
    std::function<bool(std::chrono::milliseconds)> pause;
    std::chrono::milliseconds retryPause{250};
    // Pages declaring a charset other than GBK's are converted to GBK.
    bool transcodePages = true;
};

struct StepOutcome {
    bool requested = false;  // a request was sent
    bool failed = false;     // the guarded part raised
    bool parsed = false;     // a parser ran
    bool lookedUp = false;   // the detail step ran the e-mail lookup (mail-hit table written)
    // The page could not be fetched, its retries spent (a stop does not count).
    bool unfetched = false;
};

// Pause before the n-th retry of a failed listing page (n >= 1): the base,
// doubled for every further retry.
std::chrono::milliseconds listingRetryPause(int retry, std::chrono::milliseconds base);
inline constexpr int kMaxListingRetries = 5;

// The step, with its one error guard; never throws.
StepOutcome runWorkerStep(const Source& source, WorkForm& form, const WorkItem& item,
                          StepEnvironment& env);

// Page check and parser of a step whose page is already in hand (no network,
// no e-mail lookup): what `velmora-cli parse`, the tests and the benchmarks run.
// Returns false when the page check stopped the step.
bool parseFetchedPage(const Source& source, WorkForm& form, const WorkKey& key, std::string& page,
                      IntakeContext& intake);

// An IntakeContext that accepts every name and drops the companies: for
// parsing pages outside a run.
IntakeContext& discardingIntake();

}  // namespace velmora

#include "app/engine/run_control.h"

#include <chrono>
#include <future>

#include "app/engine/source_starts.h"
#include "platform/gbk.h"
#include "sources/framework/escaping.h"
#include "sources/framework/text_scan.h"

namespace velmora {

namespace run_texts {
std::string starting(int marks) {
    static const std::string k = gbk::fromUtf8("开始线程");
    return std::string(k).append(static_cast<size_t>(marks), '>');
}
std::string stopping(int marks) {
    static const std::string k = gbk::fromUtf8("正在停止");
    return std::string(k).append(static_cast<size_t>(marks), '<');
}
std::string finished(const std::string& keywordBox) {
    static const std::string k = gbk::fromUtf8("搜索完毕:");
    return std::string(k).append(keywordBox);
}
std::string unfetched(int pages) {
    static const std::string k = gbk::fromUtf8(" 个页面未能取得（已重试），列表不完整");
    return std::to_string(pages) + k;
}
}  // namespace run_texts

RunControl::RunControl(Executor& mainThread, CompanyList& list, SiteConfig sites, SourceSet sources,
                       HttpClientFactory clients)
    : main_(mainThread),
      list_(list),
      sites_(std::move(sites)),
      pacer_(std::make_shared<HostPacer>(sites_.http.minInterval, sites_.http.maxPerHost)),
      clients_(std::move(clients)) {
    setParallelSteps(sites_.parallelSteps);
    for (int s = 1; s <= kSourceCount; ++s) {
        auto& state = states_[s];
        state.source = std::move(sources[s]);
        if (!state.source) continue;
        state.form = WorkForm(state.source->listingRows());
        if (!clients_) state.cookies = makeCookieJar();
    }
}

RunControl::~RunControl() {
    closing_.store(true);
    running_.store(false);
    for (auto& state : states_)
        for (auto& connection : state.connections) connection->abort();
    pauseWake_.notify_all();
    for (Waiting& w : waiting_) {
        std::lock_guard lock(w.mutex);  // a thread about to wait sees closing_ set
        w.wake.notify_all();
    }
    pool_.waitIdle();
    *alive_ = false;
}

void RunControl::setParallelSteps(int n) {
    parallel_ = std::clamp(n, 1, SiteConfig::kMaxParallelSteps);
}

bool RunControl::callOnMain(std::function<void()> task) {
    if (closing_.load()) return false;
    if (main_.onMainThread()) {
        task();
        return true;
    }
    auto done = std::make_shared<std::promise<void>>();
    auto future = done->get_future();
    // The task may outlive this call (when shutting down), so it owns what it uses.
    auto shared = std::make_shared<std::function<void()>>(std::move(task));
    main_.post([alive = alive_, done, shared] {
        if (*alive) (*shared)();
        done->set_value();
    });
    while (future.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready)
        if (closing_.load()) return false;
    return true;
}

bool RunControl::searching() const {
    for (int s = 1; s <= kSourceCount; ++s)
        if (states_[s].active) return true;
    return false;
}

void RunControl::setRunStatus(std::string text) {
    if (text == runStatus_) return;  // the completion check rewrites it after every dispatch
    runStatus_ = std::move(text);
    if (observer_) observer_->runStatusChanged(runStatus_);
}

InputProblem RunControl::searchCommand(const std::string& keywordBox,
                                       const std::string& provinceBox,
                                       const std::vector<int>& chosen) {
    InputProblem problem = checkSearchInputs(keywordBox, provinceBox);
    if (problem != InputProblem::None) return problem;
    std::vector<int> sources;
    for (int s : startOrder(chosen))
        if (available(s)) sources.push_back(s);
    searchStart(keywordBox, provinceBox, sources);
    return problem;
}

bool RunControl::searchStart(const std::string& keywordBox, const std::string& provinceBox,
                             const std::vector<int>& sources) {
    if (!beginSearch(keywordBox, provinceBox, sources)) return false;
    if (startHook_) startHook_(keywordBox, provinceBox);
    starting_ = true;
    for (int s : startOrder(sources)) startAfresh(s, provinceBox);
    starting_ = false;
    completionCheck();
    return true;
}

bool RunControl::beginSearch(const std::string& keywordBox, const std::string& provinceBox,
                             const std::vector<int>& sources) {
    for (int s = 1; s <= kSourceCount; ++s)
        if (states_[s].active || states_[s].stepInFlight) return false;
    for (int s : sources)
        if (!available(s)) return false;

    searching_ = true;
    if (observer_) observer_->searchingChanged(true);
    setRunStatus(run_texts::starting(12));
    running_.store(true);
    keywordBox_ = keywordBox;
    inputs_ = makeSearchInputs(keywordBox, provinceBox);
    for (auto& state : states_) state.progress = SourceProgress{};
    return true;
}

void RunControl::startAfresh(int s, const std::string& provinceBox) {
    SourceState& state = states_[s];
    state.progress.started = true;
    prepareSourceStart(s, sites_, inputs_, provinceBox, state.form);
    state.lastListingUrls.clear();
    state.form.lastPageNames.clear();
    state.form.lastPageSpent = false;
    state.active = true;
    dispatch(s);
}

bool RunControl::startSource(int s, const WorkRow& firstListingRow) {
    if (s < 1 || s > kSourceCount || !states_[s].source) return false;
    if (states_[s].active || states_[s].stepInFlight) return false;
    if (!searching_) {
        for (auto& state : states_) state.progress = SourceProgress{};
        searching_ = true;
        if (observer_) observer_->searchingChanged(true);
        setRunStatus(run_texts::starting(12));
    }
    running_.store(true);
    states_[s].progress = SourceProgress{};
    states_[s].progress.started = true;
    WorkForm& form = states_[s].form;
    form.listing.at(1) = firstListingRow;
    form.listingFailures = 0;
    form.lastPageNames.clear();
    form.lastPageSpent = false;
    states_[s].lastListingUrls.clear();
    switch (states_[s].source->rules()) {
        case DispatchRules::Portal:
            form.knownPages = 0;
            form.nextPage = 0;
            break;
        case DispatchRules::YellowPages:
            form.detailCount = 0;
            form.nextDetailRow = 0;
            form.startTaken = false;
            form.resultPage = 0;
            break;
        default:
            form.knownPages = 1;
            form.nextPage = 1;
            break;
    }
    states_[s].active = true;
    dispatch(s);
    return true;
}

void RunControl::stop() {
    setRunStatus(run_texts::stopping(12));
    running_.store(false);
    // Every transfer in flight ends at once, those of the steps ahead too.
    for (auto& state : states_)
        for (auto& connection : state.connections) connection->abort();
    pauseWake_.notify_all();
}

bool RunControl::pauseUnlessStopped(std::chrono::milliseconds wait) {
    std::unique_lock lock(pauseMutex_);
    pauseWake_.wait_for(lock, wait, [this] { return !running_.load() || closing_.load(); });
    return running_.load() && !closing_.load();
}

void RunControl::dispatch(int s) {
    SourceState& state = states_[s];
    if (!state.source) return;
    if (recorder_) recorder_->intakeBy(s);
    bool wasActive = state.active;
    if (!running_.load()) {
        // The steps ahead were not handed out: their rows stay for the next run.
        state.active = false;
        discardAhead(s);
    } else {
        switch (state.source->rules()) {
            case DispatchRules::RecordSlot:
            case DispatchRules::WebSearch:
                dispatchRecordSlot(s);
                break;
            case DispatchRules::Portal:
                dispatchPortal(s);
                break;
            case DispatchRules::YellowPages:
                dispatchYellowPages(s);
                break;
        }
    }
    if (recorder_ && wasActive && !state.active) recorder_->sourceEnded(s, !running_.load(), *this);
    completionCheck();
}

void RunControl::completionCheck() {
    static const std::string kStop = gbk::fromUtf8("停止");
    static const std::string kThread = gbk::fromUtf8("线程");
    int activeCount = 0;
    for (int s = 1; s <= kSourceCount; ++s)
        if (states_[s].active) ++activeCount;
    // The marks follow the active sources for any number of them, all seven
    // included (a run of every source would otherwise keep the start's twelve).
    if (text::contains(runStatus_, kStop))
        setRunStatus(run_texts::stopping(activeCount));
    else if (text::contains(runStatus_, kThread))
        setRunStatus(run_texts::starting(2 * activeCount));
    // While the search start is still starting sources, a source that
    // finished at once must not end the run for the others.
    if (activeCount == 0 && !starting_) {
        setRunStatus(run_texts::finished(keywordBox_));
        if (searching_) {
            searching_ = false;
            if (observer_) observer_->searchingChanged(false);
        }
    }
}

int RunControl::unfetchedPages() const {
    int pages = 0;
    for (int s = 1; s <= kSourceCount; ++s) pages += states_[s].progress.unfetched;
    return pages;
}

bool RunControl::pageGivenUp(int s, bool listing) const {
    if (!listing) return true;
    // Source 2 asks for its failed result page again, a bounded number of
    // times; the others count it as done and end.
    const WorkForm& form = states_[s].form;
    bool askedAgain = states_[s].source->rules() == DispatchRules::RecordSlot &&
                      form.knownPages >= form.nextPage &&
                      form.listingFailures <= kMaxListingRetries;
    return !askedAgain;
}

}  // namespace velmora

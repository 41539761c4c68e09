#pragma once
// Control of a search run: the search start, one dispatcher per source that
// drives its chain of worker steps, the completion check with its run-status
// texts, and the stop command. Everything here runs on the main thread; the
// worker steps run on pool threads and come back through the executor.
//
// Steps ahead: with more than one parallel step, the detail steps that follow
// the one handed out (and the next result page's listing step) already run,
// each on a private work form and a connection of its own. The dispatcher
// still hands the rows out one by one and takes each result in exactly where
// the one-at-a-time chain would, so the list does not depend on the number
// of parallel steps or on the timing of the answers.
#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/engine/company_list.h"
#include "app/engine/run_recorder.h"
#include "app/engine/search_inputs.h"
#include "platform/executor.h"
#include "platform/http_client.h"
#include "platform/resilient_http_client.h"
#include "platform/site_config.h"
#include "platform/thread_pool.h"
#include "sources/framework/source.h"
#include "sources/framework/worker_step.h"

namespace velmora {

inline constexpr int kSourceCount = 7;

struct SourceCheckpoint;

class RunObserver {
  public:
    virtual ~RunObserver() = default;
    // The run status field's new text (GBK).
    virtual void runStatusChanged(const std::string& gbkText) { (void)gbkText; }
    // True at the search start (search disabled, stop enabled, boxes disabled),
    // false when the last source has finished.
    virtual void searchingChanged(bool searching) { (void)searching; }
    // A worker step of `source` has ended (before its dispatch runs).
    virtual void stepFinished(int source, const StepOutcome& outcome) {
        (void)source, (void)outcome;
    }
};

// What one source of the current (or last) run has done so far.
struct SourceProgress {
    bool started = false;  // started in this run
    int resultPages = 0;   // result (listing) pages fetched
    int detailPages = 0;   // detail pages fetched
    int failed = 0;        // steps whose fetch or parsing failed
    int unfetched = 0;     // pages lost: their request still failed after its retries
    int page = 0;          // the result page being fetched or worked off (from 1)
};

// Source objects by number (index 1..7; index 0 unused, null = not available).
using SourceSet = std::array<std::unique_ptr<Source>, kSourceCount + 1>;
using HttpClientFactory = std::function<std::unique_ptr<HttpClient>(int source)>;

class RunControl {
  public:
    RunControl(Executor& mainThread, CompanyList& list, SiteConfig sites, SourceSet sources,
               HttpClientFactory clients = {});
    // Stops the run, aborts every transfer and waits for the workers.
    ~RunControl();
    RunControl(const RunControl&) = delete;
    RunControl& operator=(const RunControl&) = delete;

    void setObserver(RunObserver* observer) { observer_ = observer; }
    // A recorder of every hand-out and intake (the journal of a resumable run).
    void setRecorder(RunRecorder* recorder) { recorder_ = recorder; }
    // Step 3 of the search start: store the province index and update the
    // keyword history (the window's settings file), given the box texts.
    using SearchStartHook =
        std::function<void(const std::string& keywordBox, const std::string& provinceBox)>;
    void setSearchStartHook(SearchStartHook hook) { startHook_ = std::move(hook); }

    // The "再搜索设定" option (on at start-up); read by the worker steps.
    void setResearch(bool on) { research_.store(on); }
    // Base of the growing pause before a failed listing page is requested again.
    void setRetryPause(std::chrono::milliseconds base) { retryPause_ = base; }
    // Steps of one source in flight at once (1 to 16; 1 = one at a time).
    // Starts from the sites configuration; takes effect at the next hand-out.
    void setParallelSteps(int n);
    int parallelSteps() const { return parallel_; }
    bool research() const { return research_.load(); }

    // The search command: the input check, then the search start of the
    // chosen sources that this build carries. Returns the input problem
    // (None when the run started).
    InputProblem searchCommand(const std::string& keywordBox, const std::string& provinceBox,
                               const std::vector<int>& chosen = {7, 2});

    // The search start for the given sources, started in the order 7, 2, then
    // the others by number, each with its start work item and search inputs.
    // Returns false, starting nothing, when a run is still under way or a
    // listed source is not available.
    bool searchStart(const std::string& keywordBox, const std::string& provinceBox,
                     const std::vector<int>& sources = {7, 2});

    // Starts one source from a prepared listing row 1 (the sources that the
    // search command does not start; tests).
    bool startSource(int source, const WorkRow& firstListingRow);

    // Continues a search that was interrupted, each source from where its
    // checkpoint left it (run_resume.cpp). `sources` are the search's sources;
    // one without a checkpoint starts afresh. False, continuing nothing, when a
    // run is under way or a source is not available.
    bool resumeSearch(const std::string& keywordBox, const std::string& provinceBox,
                      const std::vector<int>& sources,
                      const std::vector<SourceCheckpoint>& checkpoints);

    // The stop command: clears the running flag and aborts transfers in flight.
    void stop();

    // A source's dispatcher (public for the search start and the tests).
    void dispatch(int source);

    bool searching() const;
    bool runningFlag() const { return running_.load(); }
    bool active(int source) const { return states_[source].active; }
    const std::string& runStatus() const { return runStatus_; }
    const SearchInputs& inputs() const { return inputs_; }
    std::string keywordBox() const { return keywordBox_; }
    WorkForm& form(int source) { return states_[source].form; }
    const WorkForm& form(int source) const { return states_[source].form; }
    const Source* source(int source) const { return states_[source].source.get(); }
    bool available(int source) const {
        return source >= 1 && source <= kSourceCount && states_[source].source != nullptr;
    }
    long long stepsFinished() const { return stepsFinished_; }
    // Steps started so far that were run ahead of their hand-out, and those
    // of them that were dropped unused (a stop, a page that ended the source).
    long long stepsRunAhead() const { return stepsAhead_; }
    long long stepsDiscarded() const { return stepsDiscarded_; }
    // Steps of a source running ahead now, not yet handed out.
    int stepsAhead(int source) const { return static_cast<int>(states_[source].ahead.size()); }
    // Connections a source has opened (one per step it had in flight at once).
    int connections(int source) const {
        return static_cast<int>(states_[source].connections.size());
    }
    const SourceProgress& progress(int source) const { return states_[source].progress; }
    const std::vector<std::string>& lastListingUrls(int source) const {
        return states_[source].lastListingUrls;
    }
    // Pages of the current (or last) run that could not be fetched, over all
    // sources: the list is missing what they held.
    int unfetchedPages() const;
    const SiteConfig& sites() const { return sites_; }

  private:
    struct SourceState;
    struct StepTask;
    using StepTaskPtr = std::shared_ptr<StepTask>;
    class SourceIntake;

    // The opening of a search, fresh or resumed: false while a source is
    // still busy or one asked for is not available.
    bool beginSearch(const std::string& keywordBox, const std::string& provinceBox,
                     const std::vector<int>& sources);
    // Source `s` from its first listing page.
    void startAfresh(int s, const std::string& provinceBox);
    void dispatchRecordSlot(int s);
    void dispatchPortal(int s);
    void dispatchYellowPages(int s);
    void finishSource(int s);
    // A listing page that yields no detail row, or exactly the rows of the
    // page before it, is the source's last: run after its step has parsed.
    void endRepeatedListing(int s);
    void completionCheck();
    // Hands `row` (detail row `detailRow`, or 0 for a listing row) to a step:
    // the step already running ahead for it, or a new one.
    void createWorker(int s, const WorkRow& row, int detailRow = 0);
    StepTaskPtr newStep(int s, const WorkRow& row, int detailRow, const WorkForm& from);
    void launch(const StepTaskPtr& task);
    // On the main thread when a step's work is over (handed out or ahead).
    void stepDone(const StepTaskPtr& task);
    // Takes the results of the handed-out step into the work form, then
    // signals the dispatcher.
    void finishStep(const StepTaskPtr& task);
    // Starts the steps that follow the handed-out one, up to the parallel limit.
    void runAhead(int s);
    // The step the dispatcher will hand out after the last one in line, or
    // null while that is not known yet (not launched).
    StepTaskPtr predictNextStep(int s);
    // The form as the dispatcher will see it once a listing step that ran
    // ahead has ended (the end-of-paging rule applied).
    const WorkForm& pageAfter(int s, StepTask& listing);
    void discardAhead(int s);
    bool listingWouldBeHandedOut(const WorkForm& form, bool webSearch) const;
    // The end-of-paging rule on a form that a listing step has just filled:
    // a page with no detail row, or with exactly the rows of the page before
    // (`lastUrls`), is the last; the rows of a repeated page are dropped.
    // Returns true for a repeated page; `urls` gets the page's detail urls.
    static bool settleListedPage(WorkForm& form, const std::vector<std::string>& lastUrls,
                                 std::vector<std::string>& urls);
    // Runs `task` and then, on the same thread, each next step of its source
    // that the dispatcher hands over while the thread waits for it.
    void runSteps(StepTaskPtr task);
    StepTaskPtr awaitNextStep(int s);
    bool handToWaitingThread(const StepTaskPtr& task);
    HttpClient* borrowConnection(int s);
    void returnConnection(int s, HttpClient* connection);
    void stepEnded(int s, bool listing, const StepOutcome& outcome);
    // Whether a failed step's page is given up (not handed out again).
    bool pageGivenUp(int s, bool listing) const;
    void setRunStatus(std::string text);
    bool pauseUnlessStopped(std::chrono::milliseconds wait);
    // Runs `task` on the main thread and waits; false when shutting down.
    bool callOnMain(std::function<void()> task);

    Executor& main_;
    CompanyList& list_;
    SiteConfig sites_;
    RunObserver* observer_ = nullptr;
    RunRecorder* recorder_ = nullptr;
    SearchStartHook startHook_;

    struct SourceState {
        std::unique_ptr<Source> source;
        // One connection (client) per step in flight, opened on demand, all
        // with the cookies of one jar; `idle` are those no step holds.
        std::vector<std::unique_ptr<HttpClient>> connections;
        std::vector<HttpClient*> idle;
        std::shared_ptr<CookieJar> cookies;
        // The step handed out, and the steps running ahead of it in the
        // order the dispatcher will hand them out.
        StepTaskPtr current;
        std::deque<StepTaskPtr> ahead;
        WorkForm form;
        bool active = false;
        bool stepInFlight = false;
        // Detail urls of the source's last listing page in this run.
        std::vector<std::string> lastListingUrls;
        SourceProgress progress;
    };
    std::array<SourceState, kSourceCount + 1> states_;
    // Spaces and bounds the requests to each host, for all sources together.
    std::shared_ptr<HostPacer> pacer_;

    std::atomic<bool> running_{false};
    std::atomic<bool> research_{true};
    std::atomic<bool> closing_{false};
    HttpClientFactory clients_;
    int parallel_ = 1;
    long long stepsAhead_ = 0;
    long long stepsDiscarded_ = 0;
    std::string runStatus_;
    std::string keywordBox_;
    SearchInputs inputs_;
    bool searching_ = false;
    std::chrono::milliseconds retryPause_{250};
    bool starting_ = false;
    long long stepsFinished_ = 0;

    // A thread whose step is over waits a moment for its source's next step,
    // which the dispatch on the main thread usually hands out at once: the
    // step then starts without a trip through the pool.
    struct Waiting {
        std::mutex mutex;
        std::condition_variable wake;
        int threads = 0;
        StepTaskPtr next;
        std::atomic<bool> handed{false};  // `next` is set
    };
    std::array<Waiting, kSourceCount + 1> waiting_;

    std::mutex pauseMutex_;
    std::condition_variable pauseWake_;

    // Tasks posted to the main thread check this before touching the object.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    // Each source has up to the parallel limit of steps in flight, and a
    // listing step of sources 5 and 6 waits for the lookups it runs ahead.
    ThreadPool pool_{kSourceCount * (SiteConfig::kMaxParallelSteps + 1)};
};

// Run-status texts (GBK).
namespace run_texts {
std::string starting(int marks);                      // "开始线程" + marks ">"
std::string stopping(int marks);                      // "正在停止" + marks "<"
std::string finished(const std::string& keywordBox);  // "搜索完毕:" + keyword
// For the status text at the end of a run that lost pages: "N 个页面未能取得…".
std::string unfetched(int pages);
}  // namespace run_texts

}  // namespace velmora

// The worker steps of a run: handing a row to a step, the steps that run
// ahead of their hand-out, the connections they use, and taking a step's
// results into the source's work form when the dispatcher reaches it.
//
// A detail step reads only its row's url and key, the search keyword, the
// re-search option and (web search) the website preset from the url, and
// writes only the record slot and the mail-hit table. So the detail steps
// that follow the one handed out can run at the same time, each on a private
// form; the dispatcher still hands the rows out in order and takes each
// record in where the one-at-a-time chain would. Which steps run ahead is
// decided in run_control_ahead.cpp.
#include <algorithm>
#include <thread>
#include <utility>

#include "app/engine/source_intake.h"
#include "app/engine/step_task.h"

namespace velmora {
namespace {

bool isListingKey(const std::string& key) {
    try {
        return WorkKey::parse(key).isListing();
    } catch (const std::exception&) {
        return false;  // a malformed key fails inside the step's guard
    }
}

// How long a thread whose step is over waits for its source's next step
// before it goes back to the pool.
constexpr auto kWaitForNextStep = std::chrono::milliseconds(5);
// How long it watches for it before it sleeps.
constexpr auto kWatchForNextStep = std::chrono::microseconds(100);

bool takesCompaniesInItself(DispatchRules rules) {
    return rules == DispatchRules::Portal || rules == DispatchRules::YellowPages;
}

}  // namespace

HttpClient* RunControl::borrowConnection(int s) {
    SourceState& state = states_[s];
    HttpClient* connection = nullptr;
    if (!state.idle.empty()) {
        connection = state.idle.back();
        state.idle.pop_back();
    } else {
        std::unique_ptr<HttpClient> client;
        if (clients_) client = clients_(s);
        if (!client) {
            HttpOptions options = sites_.http;
            // Source 6's site is spoken to with the older user agent.
            if (s == 6) options.userAgent = "Mozilla/3.0 (compatible; Indy Library)";
            if (!state.cookies) state.cookies = makeCookieJar();
            client = makeCurlHttpClient(options, state.cookies);
        }
        // Transient failures are tried again inside the step; all sources
        // and all their connections share one pacer, so a host sees them as
        // one polite client.
        client = makeResilientHttpClient(std::move(client), sites_.http, pacer_);
        connection = client.get();
        state.connections.push_back(std::move(client));
    }
    // A stop aborted it; this run's steps may use it again.
    connection->resume();
    return connection;
}

void RunControl::returnConnection(int s, HttpClient* connection) {
    if (connection != nullptr) states_[s].idle.push_back(connection);
}

RunControl::StepTaskPtr RunControl::newStep(int s, const WorkRow& row, int detailRow,
                                            const WorkForm& from) {
    auto task = std::make_shared<StepTask>();
    task->source = s;
    task->detailRow = detailRow;
    task->item = WorkItem{row.url, row.key};
    task->listing = isListingKey(row.key);
    task->retryPause = retryPause_;
    if (task->listing) {
        task->form = from;
    } else {
        // What a detail step reads: the search inputs and the slot as the
        // dispatcher leaves it (empty, or the web search's preset website).
        task->form = WorkForm(1);
        task->form.keyword = from.keyword;
        task->form.province = from.province;
        task->form.slot = from.slot;
    }
    return task;
}

void RunControl::launch(const StepTaskPtr& task) {
    int s = task->source;
    task->http = borrowConnection(s);
    if (task->listing && takesCompaniesInItself(states_[s].source->rules()))
        for (int i = 1; i < parallel_; ++i) task->spare.push_back(borrowConnection(s));
    if (handToWaitingThread(task)) return;
    pool_.submit([this, task] { runSteps(task); });
}

void RunControl::runSteps(StepTaskPtr task) {
    while (task && !closing_.load()) {
        SourceIntake intake(*this, *task);
        StepEnvironment env{*task->http,
                            running_,
                            research_,
                            sites_.websearch,
                            intake,
                            [this](std::chrono::milliseconds wait) {
                                return pauseUnlessStopped(wait); },
                            task->retryPause};
        env.transcodePages = sites_.http.transcodePages;
        task->outcome = runWorkerStep(*states_[task->source].source, task->form, task->item, env);
        if (closing_.load()) return;
        int s = task->source;
        // The step's one signal: the rest happens on the main thread.
        main_.post([this, task = std::move(task), alive = alive_] {
            if (*alive) stepDone(task);
        });
        task = awaitNextStep(s);
    }
}

RunControl::StepTaskPtr RunControl::awaitNextStep(int s) {
    Waiting& w = waiting_[s];
    {
        std::lock_guard lock(w.mutex);
        ++w.threads;
    }
    // The dispatch that hands the next step out runs right after the signal:
    // watched for a moment, it starts without the thread going to sleep.
    auto until = std::chrono::steady_clock::now() + kWatchForNextStep;
    while (!w.handed.load(std::memory_order_acquire) && !closing_.load() &&
           std::chrono::steady_clock::now() < until)
        std::this_thread::yield();
    std::unique_lock lock(w.mutex);
    w.wake.wait_for(lock, kWaitForNextStep, [&] { return w.next || closing_.load(); });
    --w.threads;
    w.handed.store(false, std::memory_order_relaxed);
    return std::exchange(w.next, nullptr);
}

bool RunControl::handToWaitingThread(const StepTaskPtr& task) {
    Waiting& w = waiting_[task->source];
    {
        std::lock_guard lock(w.mutex);
        if (w.threads == 0 || w.next) return false;
        w.next = task;
        w.handed.store(true, std::memory_order_release);
    }
    w.wake.notify_one();
    return true;
}

void RunControl::createWorker(int s, const WorkRow& row, int detailRow) {
    SourceState& state = states_[s];
    if (recorder_) recorder_->handingOut(s, row, detailRow, *this);
    state.stepInFlight = true;
    StepTaskPtr task;
    if (!state.ahead.empty()) {
        const StepTaskPtr& next = state.ahead.front();
        bool same = next->item.url == row.url && next->item.key == row.key &&
                    next->detailRow == detailRow &&
                    (!next->listing || (next->knownPagesBefore == state.form.knownPages &&
                                        next->nextPageBefore == state.form.nextPage));
        if (same) {
            task = next;
            state.ahead.pop_front();
        } else {
            discardAhead(s);
        }
    }
    if (!task) {
        task = newStep(s, row, detailRow, state.form);
        launch(task);
    }
    if (task->listing) state.progress.page = state.progress.resultPages + 1;
    task->handedOut = true;
    state.current = task;
    runAhead(s);
    // A step that ran ahead and is over already signals at once.
    if (task->done)
        main_.post([this, task, alive = alive_] {
            if (*alive) finishStep(task);
        });
}

void RunControl::stepDone(const StepTaskPtr& task) {
    int s = task->source;
    task->done = true;
    returnConnection(s, task->http);
    for (HttpClient* connection : task->spare) returnConnection(s, connection);
    task->http = nullptr;
    task->spare.clear();
    if (task->discarded) return;
    if (task == states_[s].current) {
        finishStep(task);
        return;
    }
    // A step ahead keeps its results until the dispatcher reaches it; its
    // place is free for another, and a listing step ahead that is over makes
    // the rows of its page known.
    runAhead(s);
}

void RunControl::finishStep(const StepTaskPtr& task) {
    int s = task->source;
    SourceState& state = states_[s];
    state.current.reset();
    WorkForm& form = state.form;
    if (task->listing) {
        // A listing step of a record-slot source leaves the mail-hit table
        // alone; its copy may be older than the form's.
        bool keepMailHits = !takesCompaniesInItself(state.source->rules());
        WorkTable mailHits = std::move(form.mailHits);
        form = std::move(task->form);
        if (keepMailHits) form.mailHits = std::move(mailHits);
    } else {
        form.slot = std::move(task->form.slot);
        if (task->outcome.lookedUp) form.mailHits = std::move(task->form.mailHits);
    }
    stepEnded(s, task->listing, task->outcome);
}

void RunControl::stepEnded(int s, bool listing, const StepOutcome& outcome) {
    states_[s].stepInFlight = false;
    ++stepsFinished_;
    SourceProgress& progress = states_[s].progress;
    if (outcome.unfetched && running_.load() && pageGivenUp(s, listing)) ++progress.unfetched;
    if (outcome.failed)
        ++progress.failed;
    else if (outcome.requested)
        ++(listing ? progress.resultPages : progress.detailPages);
    if (listing && outcome.parsed && !outcome.failed) endRepeatedListing(s);
    if (observer_) observer_->stepFinished(s, outcome);
    dispatch(s);
}

}  // namespace velmora

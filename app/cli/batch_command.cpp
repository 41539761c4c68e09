// `velmora-cli batch`: the searches of a plan, one after another into one
// list, with progress per search and in total. The state file OUT.batch and
// the journal OUT.journal let the same command, run again after a crash,
// skip the searches that have ended and continue the one in flight.
#include <unistd.h>

#include <iostream>

#include "app/cli/batch_plan.h"
#include "app/cli/cli_output.h"
#include "app/cli/cli_progress.h"
#include "app/cli/commands.h"
#include "app/cli/harvest_checks.h"
#include "app/cli/search_session.h"

namespace velmora::cli {
namespace {

std::string describe(const PlannedSearch& s) {
    return (s.keywordUtf8.empty() ? std::string("(no keyword)") : s.keywordUtf8) + " / " +
           (s.provinceUtf8.empty() ? std::string("all provinces") : s.provinceUtf8);
}

SearchDone summarizeSearch(const RunControl& run, const PlannedSearch& s, std::uint64_t firstRow,
                           size_t listSize) {
    SearchDone done;
    done.planIndex = s.index;
    done.firstRow = firstRow;
    done.added = listSize - firstRow;
    for (int source = 1; source <= kSourceCount; ++source) {
        const SourceProgress& p = run.progress(source);
        done.resultPages += p.resultPages;
        done.detailPages += p.detailPages;
        done.failed += p.failed;
    }
    return done;
}

BatchState::Done stateLine(const SearchDone& d) {
    return {d.planIndex, d.firstRow, d.added, d.resultPages, d.detailPages, d.failed};
}

}  // namespace

int runBatch(const BatchOptions& o) {
    std::vector<int> sources;
    std::string error;
    OutputFormat format;
    Plan plan;
    Shard shard;
    if (!parseSources(o.sources, sources, error) ||
        !chooseOutputFormat(o.format, o.out, format, error) ||
        (!o.shard.empty() && !parseShard(o.shard, shard, error))) {
        std::cerr << "velmora-cli: " << error << "\n";
        return kExitBadArguments;
    }
    if (!readPlan(o.plan, plan, error)) {
        std::cerr << "velmora-cli: " << o.plan << ": " << error << "\n";
        return kExitBadArguments;
    }
    SiteConfig sites;
    SourceSet set;
    if (int code = loadRunSites(o.sitesFile, o.out, o.parallel, sources, sites, set)) return code;

    std::string statePath = o.out + ".batch";
    BatchState state;
    bool stateExists = false;
    if (!readBatchState(statePath, state, stateExists, error)) {
        std::cerr << "velmora-cli: " << error << "\n";
        return kExitFileError;
    }
    bool continuing = stateExists && !state.complete;
    if (continuing &&
        (state.fingerprint != plan.fingerprint || state.searches != plan.searches.size() ||
         state.shard.k != shard.k || state.shard.m != shard.m || state.sources != o.sources)) {
        std::cerr << "velmora-cli: " << statePath
                  << " belongs to an unfinished batch of another plan, shard or --sources; "
                     "run that batch again to finish it, or remove the file (and "
                  << o.out << ".journal) to start this one\n";
        return kExitBadArguments;
    }

    SearchSession session(sites, std::move(set), o.sameNameFilter, !o.noResearch, o.out);
    ResumeState resume;
    bool resumed = false;
    if (!session.openJournal(continuing, resume, resumed, error)) {
        std::cerr << "velmora-cli: " << error << "\n";
        return kExitFileError;
    }
    state = BatchState{plan.fingerprint, plan.searches.size(), shard, o.sources, {}, false};
    if (continuing && !resumed)
        std::cerr << "velmora-cli: the unfinished batch left no journal; it starts again\n";
    // The journal says which searches have ended; the state file follows it.
    for (const auto& d : resume.done) state.done.push_back(stateLine(d));
    if (!writeBatchState(statePath, state, error)) {
        std::cerr << "velmora-cli: " << error << "\n";
        return kExitFileError;
    }

    std::vector<const PlannedSearch*> mine;
    for (const auto& s : plan.searches)
        if (shard.contains(s.index)) mine.push_back(&s);
    auto isDone = [&](size_t index) {
        for (const auto& d : state.done)
            if (d.index == index) return true;
        return false;
    };
    if (resumed)
        std::cerr << "resuming the batch: " << state.done.size() << " of " << mine.size()
                  << " searches done, " << resume.restored << " companies restored\n";

    bool terminal = ::isatty(STDERR_FILENO) == 1;
    bool completed = true;
    size_t position = 0;
    for (const PlannedSearch* s : mine) {
        ++position;
        if (isDone(s->index)) continue;
        SearchRecord search{s->index, s->keywordBox, s->provinceBox, sources, o.sameNameFilter};
        const std::vector<SourceCheckpoint>* from = nullptr;
        std::uint64_t firstRow = session.list().size();
        if (resumed && resume.inSearch && resume.current.planIndex == s->index &&
            resume.current.sameSearch(search)) {
            from = &resume.checkpoints;
            firstRow = resume.currentFirstRow;
        }
        std::cerr << "[" << position << "/" << mine.size() << "] search " << s->index << " of "
                  << plan.searches.size() << ": " << describe(*s) << (from ? " (resumed)" : "")
                  << "\n";
        CliProgress progress(session.list(), terminal);
        completed = session.runSearch(search, from, &progress);
        progress.finish();
        if (!completed) break;
        SearchDone done = summarizeSearch(session.run(), *s, firstRow, session.list().size());
        session.searchDone(done);
        state.done.push_back(stateLine(done));
        if (!writeBatchState(statePath, state, error))
            std::cerr << "velmora-cli: warning: " << error << "\n";
        std::cerr << "[" << position << "/" << mine.size() << "] " << done.added << " companies, "
                  << done.resultPages << " result pages, " << done.detailPages << " detail pages, "
                  << done.failed << " failed; " << session.list().size() << " companies in all, "
                  << state.done.size() << " of " << mine.size() << " searches done\n";
    }

    if (!session.writeOutput(format, o.withProfile, false)) return kExitFileError;
    if (!completed) {
        std::cerr << "stopped; wrote " << session.list().size() << " companies to " << o.out
                  << "; run the same command again to continue\n";
        return kExitOk;
    }
    state.complete = true;
    if (!writeBatchState(statePath, state, error)) {
        std::cerr << "velmora-cli: " << error << "\n";
        return kExitFileError;
    }
    session.removeJournal();

    std::cerr << "summary (" << mine.size() << " searches):\n";
    for (const PlannedSearch* s : mine)
        for (const auto& d : state.done)
            if (d.index == s->index)
                std::cerr << "  " << s->index << "\t" << describe(*s) << "\t" << d.added
                          << " companies\t" << d.resultPages << " result pages\t" << d.detailPages
                          << " detail pages\t" << d.failed << " failed\n";
    std::cerr << "wrote " << session.list().size() << " companies to " << o.out << "\n";
    return kExitOk;
}

}  // namespace velmora::cli

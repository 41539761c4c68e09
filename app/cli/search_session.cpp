#include "app/cli/search_session.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "app/engine/journal_reader.h"

namespace velmora::cli {
namespace {

// Ctrl-C is the stop command; a second one ends the program the hard way.
std::atomic<int> interrupts{0};

extern "C" void onInterrupt(int) {
    if (interrupts.fetch_add(1) >= 1) std::signal(SIGINT, SIG_DFL);
}

}  // namespace

SearchSession::SearchSession(const SiteConfig& sites, SourceSet sources, bool sameNameFilter,
                             bool research, std::string out)
    : out_(std::move(out)) {
    list_.setSameNameFilter(sameNameFilter);
    run_ = std::make_unique<RunControl>(main_, list_, sites, std::move(sources));
    run_->setResearch(research);
    run_->setRecorder(&recorder_);
    interrupts.store(0);
    std::signal(SIGINT, onInterrupt);
}

SearchSession::~SearchSession() {
    run_.reset();
    std::signal(SIGINT, SIG_DFL);
}

bool SearchSession::interrupted() const {
    return interrupts.load() > 0;
}

bool SearchSession::openJournal(bool resume, ResumeState& state, bool& resumed,
                                std::string& error) {
    resumed = false;
    std::string path = journalPath();
    if (ListJournal::inUse(path)) {
        error = path + " is in use by another run into the same output";
        return false;
    }
    JournalFile file;
    if (!readJournal(path, file, error)) return false;
    if (file.exists && resume) {
        std::string why;
        if (!restoreRun(file.scan, list_, state, why)) {
            error = "cannot resume from " + path + ": " + why;
            return false;
        }
        if (file.scan.damagedBytes > 0)
            std::cerr << "velmora-cli: " << path << ": a damaged tail of " << file.scan.damagedBytes
                      << " bytes was cut off\n";
        resumed = true;
        // The journal is written afresh (restored entries, then the marks);
        // the old one stays in place until the new one is whole.
        staged_ = true;
        if (!journal_.create(path, true, error)) return false;
        rewriteRun(state, journal_);
        return true;
    }
    if (file.exists) {
        std::error_code ec;
        std::filesystem::rename(path, path + ".old", ec);
        std::cerr << "velmora-cli: an earlier run's journal was kept as " << path << ".old"
                  << " (use --resume to continue such a run)\n";
    } else if (resume) {
        std::cerr << "velmora-cli: no journal " << path << " to resume; starting afresh\n";
    }
    return journal_.create(path, false, error);
}

bool SearchSession::runSearch(const SearchRecord& search,
                              const std::vector<SourceCheckpoint>* checkpoints,
                              RunObserver* observer) {
    RunControl& run = *run_;
    run.setObserver(observer);
    if (checkpoints) {
        run.resumeSearch(search.keywordBox, search.provinceBox, search.sources, *checkpoints);
    } else {
        recorder_.searchStarted(search);
        run.searchStart(search.keywordBox, search.provinceBox, search.sources);
    }
    if (staged_) {
        // Every source now stands in the rewritten journal.
        journal_.publish();
        staged_ = false;
    }
    bool stopped = false;
    while (run.searching()) {
        main_.runUntil([&] { return !run.searching() || (interrupted() && !stopped); },
                       std::chrono::milliseconds(200));
        if (interrupted() && !stopped) {
            stopped = true;
            run.stop();
        }
    }
    journal_.sync();
    run.setObserver(nullptr);
    return !stopped;
}

bool SearchSession::writeOutput(OutputFormat format, bool withProfile, bool removeJournal) {
    if (staged_) {
        journal_.publish();
        staged_ = false;
    }
    journal_.sync();
    if (std::string error = journal_.error(); !error.empty())
        std::cerr << "velmora-cli: warning: the journal could not be written (" << error
                  << "); a crash would have lost the harvest\n";
    if (!writeList(list_, out_, format, withProfile, main_)) {
        std::cerr << "velmora-cli: the list is kept in " << journalPath()
                  << " (velmora-cli recover " << journalPath() << " OUT)\n";
        return false;
    }
    if (removeJournal) journal_.remove();
    return true;
}

}  // namespace velmora::cli

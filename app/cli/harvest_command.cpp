#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "app/cli/cli_output.h"
#include "app/cli/cli_progress.h"
#include "app/cli/commands.h"
#include "app/cli/harvest_checks.h"
#include "app/cli/search_session.h"
#include "app/engine/provinces.h"
#include "platform/gbk.h"
#include "platform/system_info.h"

namespace velmora::cli {

std::string defaultSitesFile() {
    std::string dir = sysinfo::executableDir();
    return (dir.empty() ? std::string(".") : dir) + "/sites.ini";
}

int runHarvest(const HarvestOptions& o) {
    std::vector<int> sources;
    std::string error;
    OutputFormat format;
    if (!parseSources(o.sources, sources, error) ||
        !chooseOutputFormat(o.format, o.out, format, error)) {
        std::cerr << "velmora-cli: " << error << "\n";
        return kExitBadArguments;
    }

    std::string keywordBox = gbk::fromUtf8(o.keyword);
    std::string provinceBox;
    if (!provinceBoxText(o.province, o.provinceGiven, provinceBox, error)) {
        std::cerr << "velmora-cli: --province: " << error << "\n";
        return kExitBadArguments;
    }
    if (InputProblem problem = checkSearchInputs(keywordBox, provinceBox);
        problem != InputProblem::None) {
        std::cerr << utf8(inputProblemMessage(problem)) << "\n";
        return kExitBadArguments;
    }

    SiteConfig sites;
    SourceSet set;
    if (int code = loadRunSites(o.sitesFile, o.out, o.parallel, sources, sites, set)) return code;
    SearchSession session(sites, std::move(set), o.sameNameFilter, !o.noResearch, o.out);
    SearchRecord search{0, keywordBox, provinceBox, sources, o.sameNameFilter};
    ResumeState state;
    bool resumed = false;
    if (!session.openJournal(o.resume, state, resumed, error)) {
        std::cerr << "velmora-cli: " << error << "\n";
        return kExitFileError;
    }
    if (resumed && (!state.inSearch || !state.current.sameSearch(search))) {
        std::cerr << "velmora-cli: " << session.journalPath()
                  << " is not the journal of this search (keyword, province, sources and "
                     "--same-name-filter must be as before); run without --resume to start "
                     "afresh\n";
        return kExitBadArguments;
    }
    if (resumed)
        std::cerr << "resuming: " << state.restored << " companies restored"
                  << (state.dropped ? ", " + std::to_string(state.dropped) +
                                          " of a page that is fetched again left out"
                                    : std::string())
                  << "\n";

    CliProgress progress(session.list(), ::isatty(STDERR_FILENO) == 1);
    bool completed = session.runSearch(search, resumed ? &state.checkpoints : nullptr, &progress);
    progress.finish();

    int unfetched = session.run().unfetchedPages();
    if (!session.writeOutput(format, o.withProfile, true)) return kExitFileError;
    std::cerr << (completed ? "" : "stopped; ") << "wrote " << session.list().size()
              << " companies to " << o.out << "\n";
    if (unfetched > 0)
        std::cerr << unfetched << (unfetched == 1 ? " page" : " pages")
                  << " could not be fetched, even after retries; the list lacks what "
                  << (unfetched == 1 ? "it" : "they") << " held\n";
    return kExitOk;
}

}  // namespace velmora::cli

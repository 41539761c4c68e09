#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "app/cli/cli_output.h"
#include "app/cli/cli_progress.h"
#include "app/cli/commands.h"
#include "app/engine/provinces.h"
#include "platform/gbk.h"
#include "platform/queue_executor.h"
#include "platform/system_info.h"
#include "sources/registry.h"

namespace velmora::cli {
namespace {

// Ctrl-C is the stop command; a second one ends the program the hard way.
std::atomic<int> interrupts{0};

extern "C" void onInterrupt(int) {
    if (interrupts.fetch_add(1) >= 1) std::signal(SIGINT, SIG_DFL);
}

bool parseSources(const std::string& text, std::vector<int>& sources, std::string& error) {
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        int n = 0;
        try {
            size_t used = 0;
            n = std::stoi(item, &used);
            if (used != item.size()) throw std::invalid_argument(item);
        } catch (const std::exception&) {
            error = "--sources: '" + item + "' is not a source number";
            return false;
        }
        if (n < 1 || n > kSourceCount) {
            error = "--sources: there is no source " + std::to_string(n) + " (sources are 1 to 7)";
            return false;
        }
        if (std::find(sources.begin(), sources.end(), n) == sources.end()) sources.push_back(n);
    }
    if (sources.empty()) {
        error = "--sources: no source given";
        return false;
    }
    return true;
}

// Names the sources of the list that this build does not carry.
bool checkAvailable(const std::vector<int>& sources, const SourceSet& set, std::string& error) {
    std::string missing, carried;
    for (int s = 1; s <= kSourceCount; ++s)
        if (set[s]) carried += (carried.empty() ? "" : ", ") + std::to_string(s);
    for (int s : sources)
        if (!set[s]) missing += (missing.empty() ? "" : ", ") + std::to_string(s);
    if (missing.empty()) return true;
    error = "--sources: not in this build: " + missing + " (available: " + carried + ")";
    return false;
}

}  // namespace

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
    // Without --province the box shows its initial "(省份)".
    std::string provinceBox =
        o.provinceGiven ? gbk::fromUtf8(o.province) : provinces::placeholder();
    const auto& entries = provinces::boxEntries();
    if (o.provinceGiven && !provinceBox.empty() &&
        std::find(entries.begin(), entries.end(), provinceBox) == entries.end()) {
        std::cerr << "velmora-cli: --province: '" << o.province
                  << "' is not a province box entry (for example 浙江, 北京, 其它)\n";
        return kExitBadArguments;
    }
    if (InputProblem problem = checkSearchInputs(keywordBox, provinceBox);
        problem != InputProblem::None) {
        std::cerr << utf8(inputProblemMessage(problem)) << "\n";
        return kExitBadArguments;
    }

    std::string sitesPath = o.sitesFile.empty() ? defaultSitesFile() : o.sitesFile;
    if (!std::filesystem::exists(sitesPath)) {
        if (!o.sitesFile.empty()) {
            std::cerr << "velmora-cli: sites file not found: " << sitesPath << "\n";
            return kExitBadArguments;
        }
        std::cerr << "velmora-cli: warning: no " << sitesPath
                  << "; no site address is configured, so every source ends at once\n";
    }
    if (!outputFolderUsable(o.out, error)) {
        std::cerr << "velmora-cli: " << error << "\n";
        return kExitFileError;
    }

    SiteConfig sites = SiteConfig::load(sitesPath);
    if (o.parallel > 0) sites.parallelSteps = o.parallel;
    SourceSet set = makeSources(sites);
    if (!checkAvailable(sources, set, error)) {
        std::cerr << "velmora-cli: " << error << "\n";
        return kExitBadArguments;
    }
    QueueExecutor main;
    CompanyList list;
    list.setSameNameFilter(o.sameNameFilter);
    CliProgress progress(list, ::isatty(STDERR_FILENO) == 1);
    bool stopped = false;
    int unfetched = 0;
    {
        RunControl run(main, list, sites, std::move(set));
        run.setObserver(&progress);
        run.setResearch(!o.noResearch);
        interrupts.store(0);
        std::signal(SIGINT, onInterrupt);
        run.searchStart(keywordBox, provinceBox, sources);
        while (run.searching()) {
            main.runUntil([&] { return !run.searching() || (interrupts.load() > 0 && !stopped); },
                          std::chrono::milliseconds(200));
            if (interrupts.load() > 0 && !stopped) {
                stopped = true;
                run.stop();
            }
        }
        progress.finish();
        unfetched = run.unfetchedPages();
        run.setObserver(nullptr);
    }
    std::signal(SIGINT, SIG_DFL);

    if (!writeList(list, o.out, format, o.withProfile, main)) return kExitFileError;
    std::cerr << (stopped ? "stopped; " : "") << "wrote " << list.size() << " companies to "
              << o.out << "\n";
    if (unfetched > 0)
        std::cerr << unfetched << (unfetched == 1 ? " page" : " pages")
                  << " could not be fetched, even after retries; the list lacks what "
                  << (unfetched == 1 ? "it" : "they") << " held\n";
    return kExitOk;
}

}  // namespace velmora::cli

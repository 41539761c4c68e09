#include "app/cli/harvest_checks.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "app/cli/cli_output.h"
#include "app/cli/commands.h"
#include "app/engine/provinces.h"
#include "platform/gbk.h"
#include "sources/registry.h"

namespace velmora::cli {

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

bool provinceBoxText(const std::string& utf8Province, bool given, std::string& box,
                     std::string& error) {
    // Without a province the box shows its initial "(省份)".
    box = given ? gbk::fromUtf8(utf8Province) : provinces::placeholder();
    const auto& entries = provinces::boxEntries();
    if (given && !box.empty() && std::find(entries.begin(), entries.end(), box) == entries.end()) {
        error = "'" + utf8Province + "' is not a province box entry (for example 浙江, 北京, 其它)";
        return false;
    }
    return true;
}

bool chooseSitesFile(const std::string& given, std::string& path, std::string& error) {
    path = given.empty() ? defaultSitesFile() : given;
    if (std::filesystem::exists(path)) return true;
    if (!given.empty()) {
        error = "sites file not found: " + path;
        return false;
    }
    std::cerr << "velmora-cli: warning: no " << path
              << "; no site address is configured, so every source ends at once\n";
    return true;
}

int loadRunSites(const std::string& sitesFile, const std::string& out, int parallel,
                 const std::vector<int>& sources, SiteConfig& sites, SourceSet& set) {
    std::string sitesPath, error;
    if (!chooseSitesFile(sitesFile, sitesPath, error)) {
        std::cerr << "velmora-cli: " << error << "\n";
        return kExitBadArguments;
    }
    if (!outputFolderUsable(out, error)) {
        std::cerr << "velmora-cli: " << error << "\n";
        return kExitFileError;
    }
    sites = SiteConfig::load(sitesPath);
    if (parallel > 0) sites.parallelSteps = parallel;
    set = makeSources(sites);
    if (!checkAvailable(sources, set, error)) {
        std::cerr << "velmora-cli: " << error << "\n";
        return kExitBadArguments;
    }
    return 0;
}

}  // namespace velmora::cli

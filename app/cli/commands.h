#pragma once
// The subcommands of velmora-cli.
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

namespace velmora::cli {

struct HarvestOptions {
    std::string keyword;
    std::string province;
    bool provinceGiven = false;
    std::string sitesFile;
    std::string sources = "2,7";
    bool sameNameFilter = false;
    bool noResearch = false;
    bool withProfile = false;
    int parallel = 0;  // 0: from sites.ini
    std::string out;
    std::string format;
};
int runHarvest(const HarvestOptions& options);

struct ParseOptions {
    int source = 0;
    std::string step;
    std::string key;
    int knownPages = 1;
    int nextPage = 1;
    int nextDetailRow = 0;
    int resultPage = 0;
    std::string website;  // UTF-8; preset in the record slot (source 1)
    std::string keyword;
    std::string sitesFile;
    std::string pageFile;
};
int runParse(const ParseOptions& options);

struct ConvertOptions {
    std::string in;
    std::string out;
    bool sameNameFilter = false;
    bool withProfile = false;
    std::string format;
};
int runConvert(const ConvertOptions& options);

// sites.ini beside the executable, used when --sites is not given.
std::string defaultSitesFile();

}  // namespace velmora::cli

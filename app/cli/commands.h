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
    bool resume = false;  // continue from OUT.journal
};
int runHarvest(const HarvestOptions& options);

// A plan of searches run one after another into one list (batch_command.cpp).
struct BatchOptions {
    std::string plan;
    std::string shard;  // "K/M", empty for the whole plan
    std::string sitesFile;
    std::string sources = "2,7";
    bool sameNameFilter = false;
    bool noResearch = false;
    bool withProfile = false;
    int parallel = 0;  // 0: from sites.ini
    std::string out;
    std::string format;
};
int runBatch(const BatchOptions& options);

// Writes what a journal holds (recover_command.cpp).
struct RecoverOptions {
    std::string journal;
    std::string out;
    bool withProfile = false;
    std::string format;
};
int runRecover(const RecoverOptions& options);

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
    // --merge: the inputs (in order) merged into one list, IDs 1..n (merge_command.cpp).
    bool merge = false;
    std::vector<std::string> files;
    bool sameNameFilter = false;
    bool withProfile = false;
    std::string format;
};
int runConvert(const ConvertOptions& options);
int runMerge(const ConvertOptions& options);

// sites.ini beside the executable, used when --sites is not given.
std::string defaultSitesFile();

}  // namespace velmora::cli

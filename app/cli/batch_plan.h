#pragma once
// A batch plan (one search per line: keyword, a tab, province) and the state
// file a batch keeps beside its output (OUT.batch): which searches of which
// plan and shard have ended, and where their entries stand in the list.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora::cli {

struct PlannedSearch {
    size_t index = 0;          // place in the plan, from 1 (after "*" is spread out)
    size_t line = 0;           // line of the plan file
    std::string keywordUtf8;   // as written
    std::string provinceUtf8;  // as written; empty for all of China
    std::string keywordBox;    // GBK, as the keyword box would hold it
    std::string provinceBox;   // GBK, as the province box would show it
};

struct Plan {
    std::vector<PlannedSearch> searches;
    std::string fingerprint;  // of the searches, so a state file knows its plan
};

// Reads a UTF-8 plan. Empty lines and lines starting with "#" are skipped; a
// line without a tab is a keyword for all of China; the province "*" stands
// for each of the 34 named provinces in province box order. False with a
// message naming the line on anything the search command would refuse.
bool readPlan(const std::string& path, Plan& plan, std::string& error);

struct Shard {
    int k = 1;
    int m = 1;
    bool contains(size_t index) const {
        return (index - 1) % static_cast<size_t>(m) == static_cast<size_t>(k - 1);
    }
};
bool parseShard(const std::string& text, Shard& shard, std::string& error);

struct BatchState {
    struct Done {
        std::uint64_t index = 0;
        std::uint64_t firstRow = 0;
        std::uint64_t added = 0;
        std::int32_t resultPages = 0;
        std::int32_t detailPages = 0;
        std::int32_t failed = 0;
    };
    std::string fingerprint;
    std::size_t searches = 0;  // in the whole plan
    Shard shard;
    std::string sources;  // the --sources of the batch
    std::vector<Done> done;
    bool complete = false;
};

// A missing file is no error (`exists` false).
bool readBatchState(const std::string& path, BatchState& state, bool& exists, std::string& error);
// Written whole or not at all.
bool writeBatchState(const std::string& path, const BatchState& state, std::string& error);

}  // namespace velmora::cli

// `velmora-cli convert --merge`: the lists of several files in one, IDs
// renumbered 1..n. Outputs of the shards of one batch plan are merged in plan
// order, search by search, as their state files (FILE.batch) place them; any
// other files one after another in the order given.
#include <algorithm>
#include <iostream>
#include <memory>

#include "app/cli/batch_plan.h"
#include "app/cli/cli_output.h"
#include "app/cli/commands.h"
#include "app/cli/list_readers.h"
#include "platform/queue_executor.h"

namespace velmora::cli {
namespace {

struct Segment {
    std::uint64_t planIndex = 0;
    size_t input = 0;
    size_t first = 0;
    size_t count = 0;
};

// The searches of every input in plan order, or nothing when the inputs are
// not the complete shards of one plan (then they are merged as given).
std::vector<Segment> planOrder(const std::vector<std::string>& inputs,
                               const std::vector<std::unique_ptr<CompanyList>>& lists) {
    std::vector<Segment> segments;
    std::string fingerprint;
    for (size_t i = 0; i < inputs.size(); ++i) {
        BatchState state;
        bool exists = false;
        std::string error;
        if (!readBatchState(inputs[i] + ".batch", state, exists, error) || !exists ||
            !state.complete)
            return {};
        if (i == 0) fingerprint = state.fingerprint;
        if (state.fingerprint != fingerprint) return {};
        size_t next = 0;
        for (const auto& d : state.done) {
            if (d.firstRow != next) return {};
            segments.push_back(
                {d.index, i, static_cast<size_t>(d.firstRow), static_cast<size_t>(d.added)});
            next += static_cast<size_t>(d.added);
        }
        if (next != lists[i]->size()) return {};
    }
    std::stable_sort(segments.begin(), segments.end(),
                     [](const Segment& a, const Segment& b) { return a.planIndex < b.planIndex; });
    for (size_t i = 1; i < segments.size(); ++i)
        if (segments[i].planIndex == segments[i - 1].planIndex) return {};
    return segments;
}

}  // namespace

int runMerge(const ConvertOptions& o) {
    if (o.files.size() < 2) {
        std::cerr << "velmora-cli: convert --merge takes the inputs and then OUT\n";
        return kExitBadArguments;
    }
    std::vector<std::string> inputs(o.files.begin(), o.files.end() - 1);
    std::string out = o.files.back();
    std::string error;
    OutputFormat format;
    if (!chooseOutputFormat(o.format, out, format, error)) {
        std::cerr << "velmora-cli: " << error << "\n";
        return kExitBadArguments;
    }
    if (!outputFolderUsable(out, error)) {
        std::cerr << "velmora-cli: " << error << "\n";
        return kExitFileError;
    }

    QueueExecutor main;
    std::vector<std::unique_ptr<CompanyList>> lists;
    for (const auto& input : inputs) {
        lists.push_back(std::make_unique<CompanyList>());
        if (!readListFile(input, *lists.back(), main, error)) {
            std::cerr << "velmora-cli: " << error << "\n";
            return kExitFileError;
        }
    }
    std::vector<Segment> segments = planOrder(inputs, lists);
    if (segments.empty()) {
        for (size_t i = 0; i < inputs.size(); ++i) segments.push_back({0, i, 0, lists[i]->size()});
    } else {
        std::cerr << "merging " << segments.size() << " searches in plan order\n";
    }

    CompanyList merged;
    merged.setSameNameFilter(o.sameNameFilter);
    EntryFields columns;
    std::string id;
    for (const auto& segment : segments) {
        const CompanyList& from = *lists[segment.input];
        for (size_t row = segment.first; row < segment.first + segment.count; ++row) {
            if (!merged.acceptsName(from.field(row, Column::Name))) continue;
            for (int c = 0; c < kColumns; ++c) columns[c] = from.field(row, c);
            id = std::to_string(merged.size() + 1);
            columns[static_cast<int>(Column::Id)] = id;
            merged.addEntry(columns);
        }
    }
    if (!writeList(merged, out, format, o.withProfile, main)) return kExitFileError;
    std::cerr << "wrote " << merged.size() << " companies to " << out << "\n";
    return kExitOk;
}

}  // namespace velmora::cli

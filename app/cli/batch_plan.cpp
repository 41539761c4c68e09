#include "app/cli/batch_plan.h"

#include <algorithm>
#include <fstream>
#include <iomanip>
#include <sstream>

#include "app/engine/provinces.h"
#include "app/engine/search_inputs.h"
#include "io/atomic_file.h"
#include "platform/gbk.h"

namespace velmora::cli {
namespace {

constexpr const char* kStateHead = "velmora-batch 1";

std::string fnv1a(const std::string& bytes) {
    std::uint64_t h = 1469598103934665603ULL;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 1099511628211ULL;
    }
    std::ostringstream out;
    out << std::hex << std::setw(16) << std::setfill('0') << h;
    return out.str();
}

std::string lineError(size_t line, const std::string& what) {
    return "line " + std::to_string(line) + ": " + what;
}

}  // namespace

bool readPlan(const std::string& path, Plan& plan, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read the plan " + path;
        return false;
    }
    plan = Plan{};
    std::string text, all;
    size_t line = 0;
    const auto& entries = provinces::boxEntries();
    while (std::getline(in, text)) {
        ++line;
        if (!text.empty() && text.back() == '\r') text.pop_back();
        if (line == 1 && text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
        if (text.empty() || text[0] == '#') continue;
        size_t tab = text.find('\t');
        std::string keyword = text.substr(0, tab);
        std::string province = tab == std::string::npos ? std::string() : text.substr(tab + 1);
        while (!province.empty() && (province.back() == ' ' || province.back() == '\t'))
            province.pop_back();
        while (!province.empty() && province.front() == ' ') province.erase(0, 1);
        std::vector<std::pair<std::string, std::string>> spread;  // utf8, box text
        if (province == "*") {
            // The 34 named provinces; "其它" (the last entry) is not one.
            for (size_t i = 1; i + 1 < entries.size(); ++i)
                spread.emplace_back(gbk::toUtf8(entries[i]), entries[i]);
        } else if (province.empty()) {
            spread.emplace_back(std::string(), provinces::placeholder());
        } else {
            std::string box = gbk::fromUtf8(province);
            if (std::find(entries.begin(), entries.end(), box) == entries.end()) {
                error = lineError(line, "'" + province + "' is not a province box entry");
                return false;
            }
            spread.emplace_back(province, box);
        }
        std::string keywordBox = gbk::fromUtf8(keyword);
        for (auto& [utf8, box] : spread) {
            if (InputProblem p = checkSearchInputs(keywordBox, box); p != InputProblem::None) {
                error = lineError(line, gbk::toUtf8(inputProblemMessage(p)));
                return false;
            }
            PlannedSearch s{plan.searches.size() + 1, line, keyword, utf8, keywordBox, box};
            all += keywordBox + '\t' + box + '\n';
            plan.searches.push_back(std::move(s));
        }
    }
    if (plan.searches.empty()) {
        error = "the plan " + path + " holds no search";
        return false;
    }
    plan.fingerprint = fnv1a(all);
    return true;
}

bool parseShard(const std::string& text, Shard& shard, std::string& error) {
    int k = 0, m = 0;
    char slash = 0, extra = 0;
    std::istringstream in(text);
    if (!(in >> k >> slash >> m) || slash != '/' || (in >> extra) || m < 1 || k < 1 || k > m) {
        error = "--shard: '" + text + "' is not K/M with 1 <= K <= M";
        return false;
    }
    shard = Shard{k, m};
    return true;
}

bool readBatchState(const std::string& path, BatchState& state, bool& exists, std::string& error) {
    state = BatchState{};
    std::ifstream in(path, std::ios::binary);
    exists = static_cast<bool>(in);
    if (!exists) return true;
    std::string line;
    if (!std::getline(in, line) || line != kStateHead) {
        error = path + " is not a batch state file";
        return false;
    }
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string key;
        fields >> key;
        if (key == "plan") {
            fields >> state.fingerprint >> state.searches;
        } else if (key == "shard") {
            char slash = 0;
            fields >> state.shard.k >> slash >> state.shard.m;
        } else if (key == "sources") {
            fields >> state.sources;
        } else if (key == "done") {
            BatchState::Done d;
            fields >> d.index >> d.firstRow >> d.added >> d.resultPages >> d.detailPages >>
                d.failed;
            state.done.push_back(d);
        } else if (key == "complete") {
            state.complete = true;
            continue;
        } else {
            continue;  // a later version's line
        }
        if (fields.fail()) {
            error = path + ": a damaged line: " + line;
            return false;
        }
    }
    return true;
}

bool writeBatchState(const std::string& path, const BatchState& state, std::string& error) {
    std::ostringstream out;
    out << kStateHead << "\n"
        << "plan " << state.fingerprint << " " << state.searches << "\n"
        << "shard " << state.shard.k << "/" << state.shard.m << "\n"
        << "sources " << state.sources << "\n";
    for (const auto& d : state.done)
        out << "done " << d.index << " " << d.firstRow << " " << d.added << " " << d.resultPages
            << " " << d.detailPages << " " << d.failed << "\n";
    if (state.complete) out << "complete\n";
    io::AtomicFile file(path);
    if (!file.open()) {
        error = file.error();
        return false;
    }
    file.append(out.str());
    if (!file.commit()) {
        error = file.error();
        return false;
    }
    return true;
}

}  // namespace velmora::cli

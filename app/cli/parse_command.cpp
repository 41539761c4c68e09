// `velmora-cli parse`: one worker step's page check and parser on a saved page.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "app/cli/cli_output.h"
#include "app/cli/commands.h"
#include "app/engine/company_columns.h"
#include "platform/gbk.h"
#include "sources/framework/worker_step.h"
#include "sources/registry.h"

namespace velmora::cli {
namespace {

nlohmann::json rows(const WorkTable& table) {
    int last = 0;
    for (int r = 1; r <= table.size(); ++r) {
        const WorkRow& row = table.row(r);
        if (!row.mark.empty() || !row.url.empty() || !row.key.empty()) last = r;
    }
    nlohmann::json out = nlohmann::json::array();
    for (int r = 1; r <= last; ++r) {
        const WorkRow& row = table.row(r);
        out.push_back({utf8(row.mark), utf8(row.url), utf8(row.key)});
    }
    return out;
}

// In `parse` the same-name filter accepts every name and no e-mail lookup is
// made; the companies a step takes in itself (sources 5 and 6) are kept.
class RecordingIntake : public IntakeContext {
  public:
    bool acceptName(const std::string&) override { return true; }
    void lookupEmailIfWanted(RecordSlot&) override {}
    void takeIn(const RecordSlot& record) override { entries.push_back(record); }
    std::vector<RecordSlot> entries;
};

nlohmann::json slotJson(const RecordSlot& record) {
    nlohmann::json slot = nlohmann::json::object();
    for (int i = 0; i < kSlotFields; ++i)
        slot[std::string(kColumnKeys[i + 1])] = utf8(record.fields[i]);
    return slot;
}

std::string available(const SourceSet& set) {
    std::string list;
    for (int s = 1; s <= kSourceCount; ++s)
        if (set[s]) list += (list.empty() ? "" : ", ") + std::to_string(s);
    return list;
}

}  // namespace

int runParse(const ParseOptions& o) {
    std::string sitesPath = o.sitesFile.empty() ? defaultSitesFile() : o.sitesFile;
    if (!o.sitesFile.empty() && !std::filesystem::exists(sitesPath)) {
        std::cerr << "velmora-cli: sites file not found: " << sitesPath << "\n";
        return kExitBadArguments;
    }
    SiteConfig sites = SiteConfig::load(sitesPath);
    SourceSet set = makeSources(sites);
    if (o.source < 1 || o.source > kSourceCount || !set[o.source]) {
        std::cerr << "velmora-cli: --source " << o.source
                  << " is not available in this build (available: " << available(set) << ")\n";
        return kExitBadArguments;
    }
    const Source& source = *set[o.source];

    std::string keyText = o.key;
    if (keyText.empty())
        keyText = std::to_string(o.source) + (o.step == "listing" ? "[0]0{0}" : "[0]1{0}");
    WorkKey key;
    try {
        key = WorkKey::parse(keyText);
    } catch (const std::exception&) {
        std::cerr << "velmora-cli: --key '" << keyText
                  << "' is not a work key of the form S[I]D{X}\n";
        return kExitBadArguments;
    }
    if (key.isListing() != (o.step == "listing")) {
        std::cerr << "velmora-cli: --key '" << keyText << "' does not name a " << o.step
                  << " step (D is 0 for a listing, above 0 for a detail)\n";
        return kExitBadArguments;
    }

    std::ifstream in(o.pageFile, std::ios::binary);
    if (!in) {
        std::cerr << "velmora-cli: cannot read " << o.pageFile << "\n";
        return kExitFileError;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    std::string page = bytes.str();

    WorkForm form(source.listingRows());
    form.knownPages = o.knownPages;
    form.nextPage = o.nextPage;
    form.nextDetailRow = o.nextDetailRow;
    form.resultPage = o.resultPage;
    form.keyword = gbk::fromUtf8(o.keyword);
    form.slot[Field::Website] = gbk::fromUtf8(o.website);
    RecordingIntake intake;
    parseFetchedPage(source, form, key, page, intake);

    nlohmann::json entries = nlohmann::json::array();
    for (const RecordSlot& entry : intake.entries) entries.push_back(slotJson(entry));
    nlohmann::json result = {
        {"known_pages", form.knownPages},   {"next_page", form.nextPage},
        {"detail_count", form.detailCount}, {"next_detail_row", form.nextDetailRow},
        {"result_page", form.resultPage},   {"listing", rows(form.listing)},
        {"detail", rows(form.detail)},      {"slot", slotJson(form.slot)},
        {"entries", std::move(entries)},
    };
    std::cout << result.dump() << "\n";
    return kExitOk;
}

}  // namespace velmora::cli

// velmora-cli: the headless front end on the harvesting engine.
#include <CLI/CLI.hpp>

#include "app/cli/cli_output.h"
#include "app/cli/commands.h"

int main(int argc, char** argv) {
    using namespace velmora::cli;
    CLI::App app{"Velmora: harvests company contact data from business directories."};
    app.require_subcommand(1);

    HarvestOptions harvest;
    auto* h = app.add_subcommand(
        "harvest", "Run a search against the configured sites and write the company list.");
    h->add_option("--keyword", harvest.keyword,
                  "Search keyword (UTF-8); may be empty when --province is given")
        ->required();
    h->add_option("--province", harvest.province,
                  "Province box entry (UTF-8), e.g. 浙江 or 其它; all provinces when omitted")
        ->each([&](const std::string&) { harvest.provinceGiven = true; });
    h->add_option("--sites", harvest.sitesFile,
                  "sites.ini naming the sites' addresses (default: beside the program)");
    h->add_option("--sources", harvest.sources,
                  "Comma-separated source numbers 1-7 to start, in any order; they start as "
                  "7, 2, then the others by number (default 2,7)");
    h->add_flag("--same-name-filter", harvest.sameNameFilter,
                "Refuse a company whose name is among the newest 5001 entries");
    h->add_flag("--no-research", harvest.noResearch,
                "Do not look up missing e-mail addresses through the web search");
    h->add_flag("--with-profile", harvest.withProfile, "Fill the profile line of the text format");
    h->add_option("--parallel", harvest.parallel,
                  "Steps of one source in flight at once, 1 to 16 (default: [http] parallel_steps "
                  "of sites.ini, else 1 = one step at a time); the list is the same for any N")
        ->check(CLI::Range(1, 16));
    h->add_option("--out", harvest.out, "Output file")->required();
    h->add_option("--format", harvest.format,
                  "txt, jsonl, csv or xlsx (default: from the output file's extension)");

    ParseOptions parse;
    auto* p = app.add_subcommand(
        "parse", "Run the page check and one parser of a source on a saved page (no network).");
    p->add_option("--source", parse.source, "Source number (1 to 7)")->required();
    p->add_option("--step", parse.step, "listing or detail")
        ->required()
        ->check(CLI::IsMember({"listing", "detail"}));
    p->add_option("--key", parse.key, "Work key (default N[0]0{0} or N[0]1{0})");
    p->add_option("--known-pages", parse.knownPages, "Known pages counter (default 1)");
    p->add_option("--next-page", parse.nextPage, "Next page counter (default 1)");
    p->add_option("--next-detail-row", parse.nextDetailRow, "Next detail row counter (default 0)");
    p->add_option("--result-page", parse.resultPage,
                  "Result page counter of the yellow pages (default 0)");
    p->add_option("--website", parse.website,
                  "Website (UTF-8) preset in the record slot before the step, as the web "
                  "search's dispatcher does");
    p->add_option("--keyword", parse.keyword, "Search keyword (UTF-8) on the work form");
    p->add_option("--sites", parse.sitesFile, "sites.ini (addresses used to build detail links)");
    p->add_option("PAGE_FILE", parse.pageFile, "The page, raw bytes")->required();

    ConvertOptions convert;
    auto* c = app.add_subcommand(
        "convert", "Import a .txt, .xls or .xlsx list and write it in another format.");
    c->add_option("IN", convert.in, "Input file (.txt text format; .xls/.xlsx workbook)")
        ->required();
    c->add_option("OUT", convert.out, "Output file")->required();
    c->add_flag("--same-name-filter", convert.sameNameFilter,
                "Apply the same-name filter while importing");
    c->add_flag("--with-profile", convert.withProfile,
                "Fill the profile of the text and workbook formats");
    c->add_option("--format", convert.format,
                  "txt, jsonl, csv or xlsx (default: from the output file's extension)");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int rc = app.exit(e);
        return rc == 0 ? kExitOk : kExitBadArguments;
    }
    if (*h) return runHarvest(harvest);
    if (*p) return runParse(parse);
    return runConvert(convert);
}

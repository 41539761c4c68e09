// velmora-cli: the headless front end on the harvesting engine.
#include <CLI/CLI.hpp>

#include <iostream>

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
    h->add_flag("--resume", harvest.resume,
                "Continue the harvest that OUT.journal holds (one that was killed or crashed)");

    ParseOptions parse;
    auto* p = app.add_subcommand(
        "parse", "Run the page check and one parser of a source on a saved page (no network).");
    p->add_option("--source", parse.source, "Source number (1 to 7)")->required();
    p->add_option("--step", parse.step, "listing or detail")
        ->required()
        ->check(CLI::IsMember({"listing", "detail"}));
    p->add_option("--key", parse.key, "Work key (default N[0]0{0} or N[0]1{0})");
    // The web search writes its next pager row at this row of the listing
    // table, which grows to it: a sane bound, as for a resumed checkpoint.
    p->add_option("--known-pages", parse.knownPages, "Known pages counter (default 1)")
        ->check(CLI::Range(0, 65535));
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
    c->add_option("FILES", convert.files,
                  "IN OUT: the input (.txt text format; .xls/.xlsx workbook) and the output; "
                  "with --merge: the inputs A B ... and then OUT")
        ->required()
        ->expected(2, -1);
    c->add_flag("--merge", convert.merge,
                "Merge the inputs (also .jsonl and .csv) into one list in plan order (batch "
                "shards, by their OUT.batch files) or else in the order given; IDs become 1..n");
    c->add_flag("--same-name-filter", convert.sameNameFilter,
                "Apply the same-name filter while importing");
    c->add_flag("--with-profile", convert.withProfile,
                "Fill the profile of the text and workbook formats");
    c->add_option("--format", convert.format,
                  "txt, jsonl, csv or xlsx (default: from the output file's extension)");

    BatchOptions batch;
    auto* b = app.add_subcommand(
        "batch", "Run a plan of searches one after another into one list, resumably.");
    b->add_option("PLAN", batch.plan,
                  "UTF-8 text file, one search per line: keyword, a tab, province (* for each "
                  "of the 34 provinces; empty for all of China)")
        ->required();
    b->add_option("--shard", batch.shard,
                  "K/M: run only every M-th search of the plan, from the K-th on");
    b->add_option("--sites", batch.sitesFile,
                  "sites.ini naming the sites' addresses (default: beside the program)");
    b->add_option("--sources", batch.sources, "Comma-separated source numbers 1-7 (default 2,7)");
    b->add_flag("--same-name-filter", batch.sameNameFilter,
                "Refuse a company whose name is among the newest 5001 entries");
    b->add_flag("--no-research", batch.noResearch,
                "Do not look up missing e-mail addresses through the web search");
    b->add_flag("--with-profile", batch.withProfile, "Fill the profile line of the text format");
    b->add_option("--parallel", batch.parallel,
                  "Steps of one source in flight at once, 1 to 16, as for harvest")
        ->check(CLI::Range(1, 16));
    b->add_option("--out", batch.out, "Output file (OUT.batch and OUT.journal beside it)")
        ->required();
    b->add_option("--format", batch.format,
                  "txt, jsonl, csv or xlsx (default: from the output file's extension)");

    RecoverOptions recover;
    auto* r = app.add_subcommand("recover", "Write the companies a journal holds.");
    r->add_option("JOURNAL", recover.journal, "velmora.journal or OUT.journal")->required();
    r->add_option("OUT", recover.out, "Output file")->required();
    r->add_flag("--with-profile", recover.withProfile,
                "Fill the profile of the text and workbook formats");
    r->add_option("--format", recover.format,
                  "txt, jsonl, csv or xlsx (default: from the output file's extension)");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int rc = app.exit(e);
        return rc == 0 ? kExitOk : kExitBadArguments;
    }
    if (*h) return runHarvest(harvest);
    if (*p) return runParse(parse);
    if (*b) return runBatch(batch);
    if (*r) return runRecover(recover);
    if (convert.merge) return runMerge(convert);
    if (convert.files.size() != 2) {
        std::cerr << "velmora-cli: convert takes IN and OUT (several inputs need --merge)\n";
        return kExitBadArguments;
    }
    convert.in = convert.files[0];
    convert.out = convert.files[1];
    return runConvert(convert);
}

// velmora-sites: the demo sites as a program, for trying the harvester
// against a local stand-in of the real sites.
#include <CLI/CLI.hpp>

#include <pthread.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <sstream>

#include "demo/demo_sites.h"

int main(int argc, char** argv) {
    using velmora::demo::DemoOptions;
    using velmora::demo::Fault;
    using velmora::demo::PagerEnd;

    CLI::App app{
        "Velmora demo sites: the regional directory, the marketplace company search, the "
        "portal search, the yellow pages and the web search, served on 127.0.0.1"};
    DemoOptions options;
    std::vector<std::string> faultTexts;
    std::string sitesIni;
    std::size_t pageKiB = options.pageBytes / 1024;
    app.add_option("--port", options.port, "port to listen on (0: any free port)")
        ->check(CLI::Range(0, 65535));
    app.add_option("--companies", options.companies, "companies per keyword, province and site")
        ->check(CLI::Range(0, 100000));
    app.add_option("--page-size", options.pageSize, "companies per result page")
        ->check(CLI::Range(1, 1000));
    app.add_option("--seed", options.seed, "seed of the generated data");
    app.add_option("--latency-ms", options.latencyMs,
                   "wait this long before every answer, as over a real network (e.g. 50)")
        ->check(CLI::Range(0, 60000));
    app.add_option("--page-kib", pageKiB, "approximate size of listing and detail pages in KiB")
        ->check(CLI::Range(1, 4096));
    app.add_option(
        "--fault", faultTexts,
        "fault switch SOURCE:STEP:WHICH:KIND[:MS], repeatable; e.g. 7:detail:3:hang, "
        "2:listing:*:500, 0:hit:all:delay:1500, 5:listing:2:hang, 6:detail:3:500 (sources "
        "2, 5, 6, 7, 0 = web search; steps listing, detail, search, hit; "
        "kinds delay, hang, 500, drop, redirect, oversized, garbage, truncated, "
        "invalid-gbk, huge, flaky:N (the first N answers fail transiently))");
    std::map<std::string, PagerEnd> pagerEnds = {{"plain", PagerEnd::Plain},
                                                 {"empty", PagerEnd::EmptyBeyond},
                                                 {"repeat", PagerEnd::LastAgain}};
    app.add_option(
           "--pager-end", options.pagerEnd,
           "how the directories' pagers end (sources 3 and 7): plain; empty (a disabled next-page "
           "mark on the last page, empty pages beyond it); repeat (the last page again)")
        ->transform(CLI::CheckedTransformer(pagerEnds, CLI::ignore_case));
    std::string flakyText, utf8Text;
    app.add_option("--flaky", flakyText,
                   "transient failures: the first K answers of PERCENT of the urls fail, "
                   "K[:PERCENT[:KIND[:RETRY_AFTER_S[:SITE]]]], e.g. 1:20 (a fifth of the urls "
                   "fail once), 2:100:503:3 (KIND mixed, 408, 429, 500, 502, 503, 504, drop, "
                   "stall)");
    app.add_option("--utf8", utf8Text,
                   "serve these sites in UTF-8: source numbers separated by commas (1 = the web "
                   "search with its hit pages and homepages), or all");
    app.add_flag("--gzip", options.gzip, "compress answers for clients that accept gzip");
    app.add_option("--write-sites-ini", sitesIni, "write a sites.ini that points at these sites");
    CLI11_PARSE(app, argc, argv);

    if (!flakyText.empty()) {
        std::string error;
        if (!velmora::demo::parseFlakiness(flakyText, options.flaky, error)) {
            std::cerr << "velmora-sites: --flaky: " << error << "\n";
            return 2;
        }
    }
    if (utf8Text == "all") {
        options.utf8Sites = {1, 2, 3, 4, 5, 6, 7};
    } else if (!utf8Text.empty()) {
        std::stringstream list(utf8Text);
        std::string item;
        while (std::getline(list, item, ',')) {
            int site = std::atoi(item.c_str());
            if (site < 1 || site > 7 || item != std::to_string(site)) {
                std::cerr << "velmora-sites: --utf8: '" << item << "' is not a source 1 to 7\n";
                return 2;
            }
            options.utf8Sites.push_back(site);
        }
    }

    options.pageBytes = pageKiB * 1024;
    for (const std::string& text : faultTexts) {
        Fault fault;
        std::string error;
        if (!velmora::demo::parseFault(text, fault, error)) {
            std::cerr << "velmora-sites: --fault: " << error << "\n";
            return 2;
        }
        options.faults.push_back(fault);
    }

    // Block the stop signals in every thread, so that only sigwait() sees them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    try {
        velmora::demo::DemoSites sites(options);
        if (!sitesIni.empty() && !sites.siteConfig().save(sitesIni)) {
            std::cerr << "velmora-sites: cannot write " << sitesIni << "\n";
            return 1;
        }
        std::cout << "listening on " << sites.address() << std::endl;
        int received = 0;
        sigwait(&signals, &received);
        std::cerr << "velmora-sites: stopping (" << sites.requestCount() << " requests served)\n";
    } catch (const std::exception& e) {
        std::cerr << "velmora-sites: " << e.what() << "\n";
        return 1;
    }
    return 0;
}

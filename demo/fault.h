#pragma once
// Fault switches of the demo sites: a chosen kind of misbehaviour for chosen
// requests, to show how a harvester copes with sites that go wrong.
#include <string>
#include <string_view>
#include <vector>

namespace velmora::demo {

struct Fault {
    enum Step {
        Listing,  // a result page (sources 1, 2, 3, 4 and 7); `which` is the page number
                  // from 1. Source 5: its answer page, counted from 1; source 6: its
                  // category search (1)
        Detail,   // a company page (sources 2, 3, 4 and 7); `which` is the company's 1-based
                  // index in that source's listing order. Source 1: the homepage's number;
                  // source 6: a result page, `which` its place in the order a harvest
                  // requests them
        Search,   // the web search for a company name (source 0); `which` as for Detail,
                  // counted in the regional directory's order
        Hit,      // a hit page of that search (source 0); `which` as for Search
    };
    enum Kind {
        Delay,                // answers normally after delayMs
        Hang,                 // never answers until the server stops
        Status500,            // HTTP 500 with an error page
        DropMidBody,          // announces the whole page, sends half and closes the connection
        Redirect,             // 302 to another address (the harvester follows no redirects)
        Oversized,            // the page padded to DemoOptions::oversizedBytes (20 MiB)
        Garbage,              // binary bytes instead of a page
        TruncatedDoubleByte,  // the page ends inside a GBK double-byte character
        InvalidGbk,           // the page carries byte sequences that are no GBK
        HugeNoMarkers,        // DemoOptions::hugeBytes (10 MiB) of page without any marker
        Flaky,                // the first `times` answers fail transiently (503, a dropped
                              // connection, 500, ...), later ones bring the page
    };

    int source = 0;  // 1 to 7, or 0 for the web search of the e-mail lookup
    Step step = Listing;
    int which = -1;  // -1: every request of that step
    Kind kind = Status500;
    int delayMs = 0;  // Delay only
    int times = 0;    // Flaky only
};

// Text form SOURCE:STEP:WHICH:KIND[:N], for example "7:detail:3:hang",
// "2:listing:*:500", "0:hit:all:delay:1500", "7:detail:13:flaky:2". STEP is
// listing, detail, search or hit; WHICH a number, "*" or "all"; KIND one of
// delay (N milliseconds), hang, 500, drop, redirect, oversized, garbage,
// truncated, invalid-gbk, huge, flaky (N failed answers).
bool parseFault(std::string_view text, Fault& fault, std::string& error);
std::string formatFault(const Fault& fault);

// The first fault that applies to a request, or nullptr.
const Fault* findFault(const std::vector<Fault>& faults, int source, Fault::Step step, int which);

}  // namespace velmora::demo

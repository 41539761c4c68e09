#pragma once
// Transient failures of the demo sites: the first answers of a url fail the
// way real sites fail under load (a dropped connection, 502, 503, a 429 that
// asks to slow down), and the url answers normally afterwards. A harvester
// that tries again inside its step loses nothing to them.
#include <string>
#include <string_view>

namespace velmora::demo {

enum class TransientKind {
    Mixed,  // answer n of a url fails as kMixedKinds[n % 7]
    Status408,
    Status429,
    Status500,
    Status502,
    Status503,
    Status504,
    Drop,   // announces the page, sends half of it and closes the connection
    Stall,  // announces the page, sends half of it and then nothing until the server stops
};

// The order in which a Mixed url fails (Stall is never mixed in: it costs a
// stall time-out).
inline constexpr TransientKind kMixedKinds[] = {
    TransientKind::Status503, TransientKind::Drop,      TransientKind::Status500,
    TransientKind::Status502, TransientKind::Status504, TransientKind::Status408,
    TransientKind::Status429,
};

struct Flakiness {
    int answers = 0;    // K: the first K answers of each chosen url fail; 0: off
    int percent = 100;  // share of the urls chosen, by a hash of the url and the seed
    TransientKind kind = TransientKind::Mixed;
    int retryAfterS = -1;  // Retry-After of the 429 and 503 answers; -1: none
    int site = -1;         // only the urls of this site (source number, 1 = the web search
                           // with its hit pages and homepages); -1: every site
};

// Text form K[:PERCENT[:KIND[:RETRY_AFTER_S[:SITE]]]], for example "2",
// "1:20", "1:100:503:3", "2:100:mixed:-1:7". KIND is mixed, 408, 429, 500,
// 502, 503, 504, drop or stall.
bool parseFlakiness(std::string_view text, Flakiness& flakiness, std::string& error);
std::string transientKindName(TransientKind kind);

}  // namespace velmora::demo

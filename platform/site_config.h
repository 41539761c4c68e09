#pragma once
// Addresses of every outside site and the HTTP bounds, read from sites.ini:
//
//   [sites]
//   regional=http://host:port     ; in front of /main/corp/ (source 7)
//   alibaba=...                   ; in front of /company/k- (source 2)
//   websearch=...                 ; in front of /baidu?word= (e-mail lookup, source 1)
//   portal=...                    ; in front of /search? (source 5)
//   scriptdirectory=...           ; search endpoint url of source 3
//   detaildirectory=...           ; search endpoint url of source 4
//   yellowpages=...               ; search page url of source 6
//   yellowpagesbase=...           ; in front of /categorycontent.aspx? (source 6)
//   publisher=...                 ; banner server (/Velmora/ad.txt, /Velmora/ad.gif)
//   publisherhome=...             ; opened by a banner click without a link
//   probe=...                     ; address the network check connects to
//   [http]
//   connect_timeout_s=15
//   stall_timeout_s=30
//   max_page_mb=16                ; also the bound of a compressed page once decoded
//   retries=2                     ; further tries of a request that failed transiently
//                                 ; (refused, reset, dropped, time-out, 408, 429, 500,
//                                 ; 502, 503, 504), 0 to 10
//   retry_pause_ms=500            ; pause before the first further try; doubles for each
//                                 ; next one, with jitter; a 429/503 Retry-After (at most
//                                 ; 60 s) takes its place
//   min_interval_ms=0             ; least time between the starts of two requests to one
//                                 ; host, across all sources
//   max_per_host=4                ; requests in flight to one host; when not given,
//                                 ; loopback hosts (the demo sites) are not bounded
//   proxy=                        ; http://, https:// or socks5:// proxy for every source,
//                                 ; the banner and the network check ("http://user:pw@
//                                 ; host:port"); empty: the proxy environment variables
//   transcode_pages=1             ; 0: pages declaring UTF-8 or another non-GBK charset
//                                 ; are no longer converted to GBK
//   parallel_steps=1              ; steps of one source in flight at once (1 to 16)
//
// A missing or empty address leaves the source's work items without
// "http://", so that source finishes at once.
#include <string>

#include "platform/http_client.h"

namespace velmora {

struct SiteConfig {
    std::string regional;
    std::string alibaba;
    std::string websearch;
    std::string portal;
    std::string scriptDirectory;
    std::string detailDirectory;
    std::string yellowPages;
    std::string yellowPagesBase;
    std::string publisher;
    std::string publisherHome = "http://www.velmora.example/";
    std::string probe = "http://www.baidu.com/";

    HttpOptions http;
    // Steps of one source that may be in flight at once: 1 is the plain
    // chain of one step at a time; more lets the detail steps that follow run
    // ahead (the list stays the same).
    int parallelSteps = 1;
    static constexpr int kMaxParallelSteps = 16;

    // Reads the file; a missing file or key keeps the default. Trailing "/"
    // of an address is dropped, since the paths are appended with their own.
    static SiteConfig load(const std::string& path);
    // Writes every key (used by the demo sites to describe themselves).
    bool save(const std::string& path) const;
};

}  // namespace velmora

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
//   max_page_mb=16
//   parallel_steps=1              ; detail steps of a source in flight at once (1 to 16)
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

#pragma once
// Switches that change how a demo site answers without changing its pages:
// transient failures of a url's first answers, and a site served in UTF-8.
#include <httplib.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "demo/flakiness.h"
#include "demo/stop_signal.h"

namespace velmora::demo {

// The site a request path belongs to, as a source number (1: the web search
// with its hit pages and homepages); 0 for a path of no site.
int siteOfPath(std::string_view path);

// Counts the answers given per url (thread-safe).
class AnswerCounter {
  public:
    // 0 for the first answer of `key`, then 1, 2, ...
    int next(const std::string& key);

  private:
    std::mutex mutex_;
    std::unordered_map<std::string, int> counts_;
};

// A transient failure; `answer` picks the kind of a Mixed one.
void answerTransient(httplib::Response& res, TransientKind kind, int answer, int retryAfterS,
                     StopSignal& stop);

// Fails the request when the flakiness chooses its url and it is among the
// url's first answers; returns true when it did.
bool failTransiently(const Flakiness& flaky, std::uint32_t seed, const httplib::Request& req,
                     AnswerCounter& counter, StopSignal& stop, httplib::Response& res);

// Re-encodes a GBK answer of one of `utf8Sites` as UTF-8: a page that names
// its charset in a <meta> tag names UTF-8 there (and the header names none),
// any other page gets "charset=utf-8" in its Content-Type.
void serveAsUtf8IfChosen(const std::vector<int>& utf8Sites, std::string_view path,
                         httplib::Response& res);

// Makes the server send the answer as it is, also to a client that accepts
// gzip (the sites compress only when DemoOptions::gzip is on).
void keepUncompressed(httplib::Response& res);

}  // namespace velmora::demo

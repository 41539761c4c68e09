#pragma once
// A small loopback HTTP server with scripted pages, and fake sources that
// parse a trivial page syntax, for driving dispatcher chains in tests.
//
// Page syntax (pages are lower-cased by the page check):
//   listing: lines "detail <url>" and a line "more" when a further page exists
//   detail:  a line "name <name>"
#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sources/framework/source.h"

namespace httplib {
class Server;
}

namespace velmora::testing {

class FakeSite {
  public:
    FakeSite();
    ~FakeSite();

    std::string address() const;
    // Serves `body` at `path` (path without query).
    void page(const std::string& path, std::string body, int status = 200);
    // Requests to `path` never get an answer until the site is destroyed.
    void hang(const std::string& path);
    // Every request target received, in order (path and query).
    std::vector<std::string> requests() const;
    int count(const std::string& pathPrefix) const;

  private:
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::condition_variable released_;
    bool closing_ = false;
    std::map<std::string, std::pair<int, std::string>> pages_;
    std::vector<std::string> hung_;
    std::vector<std::string> requests_;
};

// A record-slot style source whose listing request is GET url + "?page=N".
class FakeSource : public Source {
  public:
    FakeSource(int number, DispatchRules rules = DispatchRules::RecordSlot,
               bool emailLookup = false)
        : number_(number), rules_(rules), emailLookup_(emailLookup) {}
    int number() const override { return number_; }
    DispatchRules rules() const override { return rules_; }
    bool hasEmailLookup() const override { return emailLookup_; }
    ListingRequest listingRequest(const std::string& url, const WorkKey& key,
                                  WorkForm& form) const override;
    void parseListing(std::string_view page, WorkForm& form, const WorkKey& key,
                      IntakeContext& intake) const override;
    void parseDetail(std::string_view page, WorkForm& form) const override;

    // Whether listing requests carry (and count) a page number.
    bool countsPages = true;

  private:
    int number_;
    DispatchRules rules_;
    bool emailLookup_;
};

}  // namespace velmora::testing

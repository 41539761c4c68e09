#pragma once
// Turns each request of the demo server into the page of the site it
// addresses (read from the raw request target: the harvester's GBK query
// values and its literal "+" must not go through a form decoder), applying
// the fault switch that matches it.
#include <httplib.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "demo/company_catalog.h"
#include "demo/demo_sites.h"
#include "demo/fault_response.h"
#include "demo/stop_signal.h"
#include "demo/url_codec.h"

namespace velmora::demo {

class RequestRouter {
  public:
    RequestRouter(const DemoOptions& options, CompanyCatalog& catalog, StopSignal& stop,
                  std::string address);

    void handle(const httplib::Request& req, httplib::Response& res);

  private:
    void regionalListing(const std::string& target, httplib::Response& res);
    void regionalDetail(const std::string& target, httplib::Response& res);
    void alibabaListing(std::string_view path, httplib::Response& res);
    void alibabaDetail(std::string_view path, httplib::Response& res);
    // demo/detail_directory_routes.cpp
    void detailDirectoryListing(const httplib::Request& req, httplib::Response& res);
    void detailDirectoryDetail(const std::string& target, httplib::Response& res);
    void webSearch(const std::string& target, httplib::Response& res);
    void keywordSearch(const RawQuery& query, httplib::Response& res);
    void hit(std::string_view path, httplib::Response& res);
    // The directory with script-embedded records (script_directory_routes.cpp).
    void scriptSearch(const httplib::Request& req, httplib::Response& res);
    void scriptDetail(std::string_view path, httplib::Response& res);
    void homepage(std::string_view path, httplib::Response& res);
    void index(httplib::Response& res);

    AnswerContext context(std::uint64_t salt);
    std::shared_ptr<const std::string> hugePage();

    const DemoOptions& options_;
    CompanyCatalog& catalog_;
    StopSignal& stop_;
    std::string address_;
    std::mutex hugeMutex_;
    std::shared_ptr<const std::string> huge_;
    AnswerCounter answers_;  // of the Flaky faults
};

// A six-digit province code the sites know, or "000000".
std::string normalizedProvinceCode(std::string_view code);

}  // namespace velmora::demo

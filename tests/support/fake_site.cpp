#include "support/fake_site.h"

#include <httplib.h>

#include <sstream>

#include "sources/framework/paging.h"
#include "sources/framework/text_scan.h"

namespace velmora::testing {

FakeSite::FakeSite() : server_(std::make_unique<httplib::Server>()) {
    server_->set_keep_alive_max_count(1000);
    server_->set_tcp_nodelay(true);
    auto handler = [this](const httplib::Request& req, httplib::Response& res) {
        std::unique_lock lock(mutex_);
        std::string target = req.path;
        if (!req.params.empty()) {
            std::string q;
            for (const auto& [k, v] : req.params) q += (q.empty() ? "?" : "&") + k + "=" + v;
            target += q;
        }
        requests_.push_back(target);
        for (const auto& h : hung_) {
            if (req.path == h) {
                released_.wait(lock, [this] { return closing_; });
                res.status = 500;
                return;
            }
        }
        auto it = pages_.find(req.path);
        if (it == pages_.end()) {
            res.status = 404;
            return;
        }
        res.status = it->second.first;
        res.set_content(it->second.second, "text/html");
    };
    server_->Get(".*", handler);
    server_->Post(".*", handler);
    port_ = server_->bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

FakeSite::~FakeSite() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    released_.notify_all();
    server_->stop();
    thread_.join();
}

std::string FakeSite::address() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

void FakeSite::page(const std::string& path, std::string body, int status) {
    std::lock_guard lock(mutex_);
    pages_[path] = {status, std::move(body)};
}

void FakeSite::hang(const std::string& path) {
    std::lock_guard lock(mutex_);
    hung_.push_back(path);
}

std::vector<std::string> FakeSite::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

int FakeSite::count(const std::string& pathPrefix) const {
    std::lock_guard lock(mutex_);
    int n = 0;
    for (const auto& r : requests_)
        if (r.rfind(pathPrefix, 0) == 0) ++n;
    return n;
}

ListingRequest FakeSource::listingRequest(const std::string& url, const WorkKey&,
                                          WorkForm& form) const {
    if (!countsPages) return {ListingRequest::Method::Get, url, {}};
    std::string full = url + "?page=" + std::to_string(form.nextPage);
    ++form.nextPage;
    return {ListingRequest::Method::Get, full, {}};
}

void FakeSource::parseListing(std::string_view page, WorkForm& form, const WorkKey& key,
                              IntakeContext& intake) const {
    std::istringstream lines{std::string(page)};
    std::string line;
    bool more = false;
    if (rules_ == DispatchRules::RecordSlot || rules_ == DispatchRules::WebSearch)
        form.detailCount = 0;
    while (std::getline(lines, line)) {
        if (line == "more") more = true;
        if (line.rfind("detail ", 0) == 0) {
            if (rules_ == DispatchRules::YellowPages) {  // category rows: S[k]0{0}
                ++form.detailCount;
                form.detail.write(form.detailCount, "N", line.substr(7),
                                  WorkKey::make(key.source, form.detailCount, 0));
            } else {
                addDetailRow(form, key, line.substr(7));
            }
        }
        if (line.rfind("company ", 0) == 0) {  // taken in during the step
            RecordSlot record;
            record[Field::Name] = line.substr(8);
            if (intake.acceptName(record[Field::Name])) {
                intake.lookupEmailIfWanted(record);
                intake.takeIn(record);
            }
        }
        if (line.rfind("listing ", 0) == 0) {  // web search: one row per result page
            ++form.knownPages;
            form.listing.write(form.knownPages, "N", line.substr(8), key.str());
        }
    }
    if (rules_ == DispatchRules::RecordSlot || rules_ == DispatchRules::Portal)
        applyPaging(form, more);
}

void FakeSource::parseDetail(std::string_view page, WorkForm& form) const {
    std::istringstream lines{std::string(page)};
    std::string line;
    while (std::getline(lines, line))
        if (line.rfind("name ", 0) == 0) form.slot[Field::Name] = line.substr(5);
}

}  // namespace velmora::testing

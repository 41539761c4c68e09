#include "loopback_server.h"

#include <httplib.h>

#include <chrono>

namespace velmora::testing {

LoopbackServer::LoopbackServer() : server_(std::make_unique<httplib::Server>()) {
    server_->Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
        std::unique_lock lock(mutex_);
        ++counts_[req.path];
        if (held_.count(req.path)) {
            ++waiting_[req.path];
            released_.wait(lock, [&] { return open_; });
            --waiting_[req.path];
        }
        auto it = pages_.find(req.path);
        if (it == pages_.end()) {
            res.status = 404;
            return;
        }
        res.set_content(it->second, "application/octet-stream");
    });
    // One request per connection, so that stopping never waits for an idle
    // kept-alive connection to time out.
    server_->set_keep_alive_max_count(1);
    port_ = server_->bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

LoopbackServer::~LoopbackServer() {
    release();
    server_->stop();
    thread_.join();
}

std::string LoopbackServer::address() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

void LoopbackServer::page(const std::string& path, std::string body) {
    std::lock_guard lock(mutex_);
    pages_[path] = std::move(body);
}

void LoopbackServer::hold(const std::string& path) {
    std::lock_guard lock(mutex_);
    held_.insert(path);
    open_ = false;
}

void LoopbackServer::release() {
    std::lock_guard lock(mutex_);
    open_ = true;
    released_.notify_all();
}

int LoopbackServer::count(const std::string& path) const {
    std::lock_guard lock(mutex_);
    auto it = counts_.find(path);
    return it == counts_.end() ? 0 : it->second;
}

bool LoopbackServer::holding(const std::string& path) const {
    std::lock_guard lock(mutex_);
    auto it = waiting_.find(path);
    return it != waiting_.end() && it->second > 0;
}

}  // namespace velmora::testing

#pragma once
// A loopback HTTP server with fixed answers, for the banner tests.
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

namespace velmora::testing {

class LoopbackServer {
  public:
    LoopbackServer();
    ~LoopbackServer();

    std::string address() const;  // "http://127.0.0.1:PORT"
    void page(const std::string& path, std::string body);
    // Requests to `path` wait until release() (or the server's end).
    void hold(const std::string& path);
    void release();
    int count(const std::string& path) const;
    // True once a request to `path` is waiting in hold().
    bool holding(const std::string& path) const;

  private:
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::condition_variable released_;
    bool open_ = false;
    std::map<std::string, std::string> pages_;
    std::set<std::string> held_;
    std::map<std::string, int> waiting_;
    std::map<std::string, int> counts_;
};

}  // namespace velmora::testing

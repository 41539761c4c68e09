#pragma once
// A small forwarding HTTP proxy on loopback: takes requests in absolute form
// ("GET http://host:port/path HTTP/1.1"), sends them on and returns the
// answers. With a user it asks for Basic credentials (407 without them).
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
}

namespace velmora::testing {

class ForwardingProxy {
  public:
    explicit ForwardingProxy(std::string user = {}, std::string password = {});
    ~ForwardingProxy();

    // "http://127.0.0.1:PORT", or with "user:password@" in front of the host.
    std::string address(bool withCredentials = true) const;
    // Request lines forwarded ("METHOD target"), in order.
    std::vector<std::string> forwarded() const;
    int refused() const { return refused_.load(); }

  private:
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
    std::string user_, password_;
    mutable std::mutex mutex_;
    std::vector<std::string> forwarded_;
    std::atomic<int> refused_{0};
};

}  // namespace velmora::testing

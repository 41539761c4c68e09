#include "app/gui/network_probe.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <memory>

namespace velmora::gui {
namespace {

using Clock = std::chrono::steady_clock;

bool connectOne(const addrinfo& ai, Clock::time_point deadline, const std::atomic<bool>& cancel) {
    int fd = ::socket(ai.ai_family, ai.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai.ai_protocol);
    if (fd < 0) return false;
    std::unique_ptr<int, void (*)(int*)> guard(&fd, [](int* f) { ::close(*f); });
    if (::connect(fd, ai.ai_addr, ai.ai_addrlen) == 0) return true;
    if (errno != EINPROGRESS) return false;
    // Waits in short slices so that a cancel is seen quickly.
    while (!cancel.load()) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return false;
        pollfd p{fd, POLLOUT, 0};
        int slice = static_cast<int>(left.count() < 100 ? left.count() : 100);
        int ready = ::poll(&p, 1, slice);
        if (ready < 0 && errno != EINTR) return false;
        if (ready > 0) {
            int error = 0;
            socklen_t len = sizeof error;
            if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) != 0) return false;
            return error == 0;
        }
    }
    return false;
}

}  // namespace

ProbeTarget probeTarget(const std::string& address) {
    ProbeTarget target;
    std::string rest = address;
    std::string port = "80";
    if (auto scheme = rest.find("://"); scheme != std::string::npos) {
        std::string name = rest.substr(0, scheme);
        for (auto& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (name == "https") port = "443";
        rest = rest.substr(scheme + 3);
    }
    rest = rest.substr(0, rest.find_first_of("/?#"));
    if (auto at = rest.rfind('@'); at != std::string::npos) rest = rest.substr(at + 1);
    if (!rest.empty() && rest.front() == '[') {  // [::1]:8080
        auto close = rest.find(']');
        if (close == std::string::npos) return {};
        target.host = rest.substr(1, close - 1);
        if (close + 1 < rest.size() && rest[close + 1] == ':') port = rest.substr(close + 2);
    } else if (auto colon = rest.rfind(':'); colon != std::string::npos) {
        target.host = rest.substr(0, colon);
        port = rest.substr(colon + 1);
    } else {
        target.host = rest;
    }
    target.port = port.empty() ? "80" : port;
    return target;
}

bool probeConnection(const std::string& address, std::chrono::milliseconds timeout,
                     const std::atomic<bool>& cancel) {
    ProbeTarget target = probeTarget(address);
    if (target.host.empty()) return false;
    auto deadline = Clock::now() + timeout;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(target.host.c_str(), target.port.c_str(), &hints, &found) != 0) return false;
    std::unique_ptr<addrinfo, void (*)(addrinfo*)> list(found, ::freeaddrinfo);
    for (addrinfo* ai = found; ai && !cancel.load(); ai = ai->ai_next)
        if (connectOne(*ai, deadline, cancel)) return true;
    return false;
}

}  // namespace velmora::gui

#include "demo/stoppable_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace velmora::demo {
namespace {

int waitMs(time_t sec, time_t usec) {
    return static_cast<int>(sec * 1000 + usec / 1000);
}

bool ready(socket_t sock, short events, int timeoutMs) {
    pollfd p{sock, events, 0};
    int n;
    do n = ::poll(&p, 1, timeoutMs);
    while (n < 0 && errno == EINTR);
    return n > 0;
}

void describe(socket_t sock, bool peer, std::string& ip, int& port) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    auto* raw = reinterpret_cast<sockaddr*>(&address);
    if ((peer ? getpeername(sock, raw, &length) : getsockname(sock, raw, &length)) != 0 ||
        address.ss_family != AF_INET)
        return;
    auto* in = reinterpret_cast<sockaddr_in*>(&address);
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &in->sin_addr, text, sizeof text);
    ip = text;
    port = ntohs(in->sin_port);
}

// One accepted connection as the library's request reader sees it: reads
// are buffered, since request lines are read a byte at a time.
class ConnectionStream : public httplib::Stream {
  public:
    ConnectionStream(socket_t sock, int readTimeoutMs, int writeTimeoutMs)
        : sock_(sock), readTimeoutMs_(readTimeoutMs), writeTimeoutMs_(writeTimeoutMs) {}

    bool is_readable() const override {
        return begin_ < end_ || ready(sock_, POLLIN, readTimeoutMs_);
    }
    bool is_writable() const override { return ready(sock_, POLLOUT, writeTimeoutMs_); }

    ssize_t read(char* ptr, size_t size) override {
        if (begin_ == end_) {
            if (!is_readable()) return -1;
            ssize_t n;
            do n = ::recv(sock_, buffer_.data(), buffer_.size(), 0);
            while (n < 0 && errno == EINTR);
            if (n <= 0) return n;
            begin_ = 0;
            end_ = static_cast<std::size_t>(n);
        }
        std::size_t taken = std::min(size, end_ - begin_);
        std::memcpy(ptr, buffer_.data() + begin_, taken);
        begin_ += taken;
        return static_cast<ssize_t>(taken);
    }

    ssize_t write(const char* ptr, size_t size) override {
        if (!is_writable()) return -1;
        ssize_t n;
        do n = ::send(sock_, ptr, size, MSG_NOSIGNAL);
        while (n < 0 && errno == EINTR);
        return n;
    }

    void get_remote_ip_and_port(std::string& ip, int& port) const override {
        describe(sock_, true, ip, port);
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override {
        describe(sock_, false, ip, port);
    }
    socket_t socket() const override { return sock_; }

  private:
    socket_t sock_;
    int readTimeoutMs_;
    int writeTimeoutMs_;
    std::array<char, 4096> buffer_{};
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
};

}  // namespace

void StoppableServer::endConnections() {
    std::lock_guard lock(mutex_);
    ending_ = true;
    for (socket_t sock : open_) ::shutdown(sock, SHUT_RDWR);
}

bool StoppableServer::awaitRequest(socket_t sock) const {
    return is_running() && ready(sock, POLLIN, waitMs(keep_alive_timeout_sec_, 0));
}

bool StoppableServer::process_and_close_socket(socket_t sock) {
    {
        std::lock_guard lock(mutex_);
        if (ending_) {
            ::close(sock);
            return false;
        }
        open_.insert(sock);
    }
    // An answer goes out in several writes; Nagle's algorithm would hold the
    // last one for the client's delayed acknowledgement.
    int on = 1;
    setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);

    ConnectionStream stream(sock, waitMs(read_timeout_sec_, read_timeout_usec_),
                            waitMs(write_timeout_sec_, write_timeout_usec_));
    bool served = false;
    for (std::size_t left = keep_alive_max_count_; left > 0 && awaitRequest(sock); --left) {
        bool closed = false;
        served = process_request(stream, left == 1, closed, nullptr);
        if (!served || closed) break;
    }
    // Closed under the lock: endConnections() never sees a number that has
    // already been given to another file.
    std::lock_guard lock(mutex_);
    open_.erase(sock);
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return served;
}

}  // namespace velmora::demo

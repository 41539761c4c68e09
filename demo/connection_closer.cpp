#include "demo/connection_closer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <charconv>
#include <filesystem>
#include <string>
#include <system_error>

namespace velmora::demo {
namespace {

bool isAcceptedBy(int fd, int port) {
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISSOCK(info.st_mode)) return false;
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) != 0) return false;
    if (local.sin_family != AF_INET || ntohs(local.sin_port) != port) return false;
    int listening = 0;
    socklen_t size = sizeof listening;
    if (getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &listening, &size) != 0) return false;
    return listening == 0;
}

}  // namespace

void shutDownAcceptedConnections(int port) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        std::string name = entry.path().filename().string();
        int fd = -1;
        auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), fd);
        if (ec != std::errc() || end != name.data() + name.size()) continue;
        if (isAcceptedBy(fd, port)) ::shutdown(fd, SHUT_RDWR);
    }
}

}  // namespace velmora::demo

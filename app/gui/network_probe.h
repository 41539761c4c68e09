#pragma once
// A forced connection attempt to the probe address: the network check's
// question "can this computer reach the internet". A plain TCP connect to the
// address's host and port, bounded in time and cancellable.
#include <atomic>
#include <chrono>
#include <string>

namespace velmora::gui {

struct ProbeTarget {
    std::string host;
    std::string port;  // service or number
};

// Host and port of an address such as "http://www.baidu.com/" or
// "https://host:8443/path" (default ports 80 and 443). Empty host when the
// address has none.
ProbeTarget probeTarget(const std::string& address);

// True when a TCP connection to the address could be opened within `timeout`.
// Returns false early when `cancel` becomes true.
bool probeConnection(const std::string& address, std::chrono::milliseconds timeout,
                     const std::atomic<bool>& cancel);

}  // namespace velmora::gui

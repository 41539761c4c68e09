#pragma once
// Which proxy a request goes through, and the network check's question
// "can this computer reach the internet" asked through that proxy: a direct
// connection attempt says nothing when every request leaves through a proxy.
#include <atomic>
#include <chrono>
#include <string>
#include <string_view>

#include "platform/http_client.h"

namespace velmora {

// The proxy for `url`: `configured` when given, else the environment as curl
// reads it (http_proxy for http://, https_proxy or HTTPS_PROXY for https://,
// then all_proxy or ALL_PROXY), unless no_proxy / NO_PROXY names the host
// ("*", the host, or a domain it lies in). Empty: a direct connection.
std::string proxyFor(std::string_view url, const std::string& configured);

// A HEAD request for `address` through `proxy` (the client's other options
// from `http`): true when the site answered through it. A proxy that cannot
// reach the site (502, 503, 504), asks for credentials (407), or cannot be
// reached itself gives false. Returns false early once `cancel` is true.
bool probeThroughProxy(const std::string& address, const std::string& proxy,
                       const HttpOptions& http, std::chrono::milliseconds timeout,
                       const std::atomic<bool>& cancel);

}  // namespace velmora

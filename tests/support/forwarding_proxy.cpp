#include "support/forwarding_proxy.h"

#include <httplib.h>

namespace velmora::testing {
namespace {

std::string base64(const std::string& in) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < in.size(); i += 3) {
        unsigned n = static_cast<unsigned char>(in[i]) << 16;
        if (i + 1 < in.size()) n |= static_cast<unsigned char>(in[i + 1]) << 8;
        if (i + 2 < in.size()) n |= static_cast<unsigned char>(in[i + 2]);
        out.push_back(kAlphabet[(n >> 18) & 63]);
        out.push_back(kAlphabet[(n >> 12) & 63]);
        out.push_back(i + 1 < in.size() ? kAlphabet[(n >> 6) & 63] : '=');
        out.push_back(i + 2 < in.size() ? kAlphabet[n & 63] : '=');
    }
    return out;
}

}  // namespace

ForwardingProxy::ForwardingProxy(std::string user, std::string password)
    : server_(std::make_unique<httplib::Server>()),
      user_(std::move(user)),
      password_(std::move(password)) {
    server_->set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
        if (!user_.empty() && req.get_header_value("Proxy-Authorization") !=
                                  "Basic " + base64(user_ + ":" + password_)) {
            refused_.fetch_add(1);
            res.status = 407;
            res.set_header("Proxy-Authenticate", "Basic realm=\"test\"");
            return httplib::Server::HandlerResponse::Handled;
        }
        // Absolute form: http://host:port/rest
        const std::string& target = req.target;
        size_t hostAt = target.find("://");
        size_t pathAt =
            hostAt == std::string::npos ? std::string::npos : target.find('/', hostAt + 3);
        if (pathAt == std::string::npos) {
            res.status = 400;
            return httplib::Server::HandlerResponse::Handled;
        }
        std::string authority = target.substr(hostAt + 3, pathAt - hostAt - 3);
        std::string rest = target.substr(pathAt);
        size_t colon = authority.rfind(':');
        std::string host = authority.substr(0, colon);
        int port = colon == std::string::npos ? 80 : std::stoi(authority.substr(colon + 1));
        {
            std::lock_guard lock(mutex_);
            forwarded_.push_back(req.method + " " + target);
        }
        httplib::Client client(host, port);
        client.set_url_encode(false);  // the harvester's bytes go on as they are
        client.set_connection_timeout(2);
        httplib::Headers headers;
        for (const char* name : {"User-Agent", "Accept", "Cookie"})
            if (req.has_header(name)) headers.emplace(name, req.get_header_value(name));
        httplib::Result answer =
            req.method == "POST"
                ? client.Post(rest, headers, req.body, req.get_header_value("Content-Type"))
            : req.method == "HEAD" ? client.Head(rest, headers)
                                   : client.Get(rest, headers);
        if (!answer) {
            res.status = 502;  // the site cannot be reached
            return httplib::Server::HandlerResponse::Handled;
        }
        res.status = answer->status;
        for (const char* name : {"Retry-After", "Set-Cookie", "Location"})
            if (answer->has_header(name)) res.set_header(name, answer->get_header_value(name));
        std::string type = answer->get_header_value("Content-Type");
        res.set_content(answer->body, type.empty() ? "text/html" : type);
        return httplib::Server::HandlerResponse::Handled;
    });
    port_ = server_->bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

ForwardingProxy::~ForwardingProxy() {
    server_->stop();
    if (thread_.joinable()) thread_.join();
}

std::string ForwardingProxy::address(bool withCredentials) const {
    std::string credentials =
        withCredentials && !user_.empty() ? user_ + ":" + password_ + "@" : std::string();
    return "http://" + credentials + "127.0.0.1:" + std::to_string(port_);
}

std::vector<std::string> ForwardingProxy::forwarded() const {
    std::lock_guard lock(mutex_);
    return forwarded_;
}

}  // namespace velmora::testing

#include "app/gui/network_check.h"

#include "app/gui/network_probe.h"
#include "platform/proxy_route.h"

namespace velmora::gui {

NetworkCheck::NetworkCheck(Executor& main, std::string probeAddress, Hooks hooks,
                           std::chrono::milliseconds timeout, QObject* parent)
    : QObject(parent),
      main_(main),
      probe_(std::move(probeAddress)),
      hooks_(std::move(hooks)),
      timeout_(timeout) {}

NetworkCheck::~NetworkCheck() {
    *alive_ = false;
    cancel_.store(true);
    if (thread_.joinable()) thread_.join();
}

void NetworkCheck::start() {
    hooks_.setStatus(QStringLiteral("目前未联网。测试中，稍候..."));
    if (running_.load()) return;
    if (thread_.joinable()) thread_.join();  // the last check has ended
    running_.store(true);
    thread_ = std::thread([this, http = http_] {
        // Behind a proxy, reaching the proxy says nothing: the probe is asked through it.
        std::string proxy = proxyFor(probe_, http.proxy);
        bool connected = proxy.empty() ? probeConnection(probe_, timeout_, cancel_)
                                       : probeThroughProxy(probe_, proxy, http, timeout_, cancel_);
        if (cancel_.load()) return;
        main_.post([this, alive = alive_, connected] {
            if (*alive) report(connected);
        });
    });
}

void NetworkCheck::report(bool connected) {
    running_.store(false);
    if (connected) {
        hooks_.setStatus(QStringLiteral("已经是联网状态。"));
        hooks_.message(QStringLiteral("已经联网"));
    } else {
        hooks_.setStatus(QStringLiteral("目前是未联网状态。"));
        hooks_.message(QStringLiteral("没有联网"));
    }
    emit finished(connected);
}

}  // namespace velmora::gui

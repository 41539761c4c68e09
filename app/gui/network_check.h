#pragma once
// The network test command: a connection attempt to the probe address on a
// thread of its own, with the outcome in the status text and a message box.
// The window stays usable meanwhile.
#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/executor.h"
#include "platform/http_client.h"

namespace velmora::gui {

class NetworkCheck : public QObject {
    Q_OBJECT
  public:
    struct Hooks {
        std::function<void(const QString& text)> setStatus;
        std::function<void(const QString& text)> message;  // box with an empty caption
    };

    NetworkCheck(Executor& main, std::string probeAddress, Hooks hooks,
                 std::chrono::milliseconds timeout = std::chrono::seconds(5),
                 QObject* parent = nullptr);
    // Cancels a check under way and waits for its thread.
    ~NetworkCheck() override;

    // The harvest's HTTP options: a check goes out through the same proxy.
    void setHttpOptions(const HttpOptions& http) { http_ = http; }

    // Starts a check; while one is under way only the status text is set again.
    void start();
    bool running() const { return running_.load(); }

  signals:
    void finished(bool connected);

  private:
    void report(bool connected);

    Executor& main_;
    std::string probe_;
    Hooks hooks_;
    std::chrono::milliseconds timeout_;
    HttpOptions http_;
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<bool> cancel_{false};
    // Checked by the result task, which may be queued when we are destroyed.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace velmora::gui

#pragma once
// An HTTP server whose stop also ends its kept-alive connections at once.
// The library's own connection loop waits out the whole idle time-out on a
// connection a client keeps open, so a stop would hang for seconds; this
// server serves each accepted socket itself, knows which are open, and can
// shut them all down without racing the thread that closes them.
#include <httplib.h>

#include <mutex>
#include <set>

namespace velmora::demo {

class StoppableServer : public httplib::Server {
  public:
    // Shuts down every open connection and refuses those accepted from now
    // on; call after stop(), before waiting for the listening thread.
    void endConnections();

  private:
    bool process_and_close_socket(socket_t sock) override;
    // Waits for the next request on a kept-alive connection; false when the
    // idle time-out passes, the peer leaves or the connection is shut down.
    bool awaitRequest(socket_t sock) const;

    std::mutex mutex_;
    std::set<socket_t> open_;
    bool ending_ = false;
};

}  // namespace velmora::demo

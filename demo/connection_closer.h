#pragma once
// Ends the kept-alive connections of a stopping demo server at once: a
// connection thread waiting for the next request on an idle connection
// would otherwise wait out the idle time-out before the server can stop.
namespace velmora::demo {

// Shuts down (without closing) every socket of this process that a server
// listening on 127.0.0.1:`port` has accepted; the thread serving it then
// sees the connection end and closes it.
void shutDownAcceptedConnections(int port);

}  // namespace velmora::demo

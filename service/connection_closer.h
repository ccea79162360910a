#pragma once
// The "closed connection" fault: the HTTP library gives handlers no socket, so the
// connection is found among the process's sockets by its two ends and shut down.
#include <string>

namespace qarvel::service {

// Shuts down (without closing: the library still owns the descriptor) the TCP
// connection between localPort here and remoteAddress:remotePort. False when no
// such socket was found.
bool shutDownConnection(int localPort, const std::string& remoteAddress, int remotePort);

}  // namespace qarvel::service

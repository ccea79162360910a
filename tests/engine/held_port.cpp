#include "held_port.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace qarvel::engine::testing {

HeldPort::HeldPort(Mode mode, int port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return;
    if (port != 0) {
        const int yes = 1;
        ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        ::setsockopt(fd_, SOL_SOCKET, SO_REUSEPORT, &yes, sizeof yes);
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    // Bound but not listening refuses; listening without ever accepting lets
    // the kernel take the connection and the request, and nothing answers.
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        (mode == Mode::Silent && ::listen(fd_, 16) != 0) ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd_);
        fd_ = -1;
        return;
    }
    port_ = ntohs(address.sin_port);
}

HeldPort::~HeldPort() {
    if (fd_ >= 0) ::close(fd_);
}

std::string HeldPort::seedBase() const { return "http://127.0.0.1:" + std::to_string(port_) + "/seed/"; }

}  // namespace qarvel::engine::testing

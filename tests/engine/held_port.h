#pragma once
// A loopback port the test holds without serving it, so that no other server
// (another test binary running at the same time included) can take it: a
// connection to it is refused, or accepted by the kernel and never answered.
#include <string>

namespace qarvel::engine::testing {

class HeldPort {
public:
    enum class Mode { Refusing, Silent };

    // port 0: a free one. A given port is shared with the server that holds it
    // now (both ask for port reuse), so it is held before that server lets go.
    explicit HeldPort(Mode mode, int port = 0);
    ~HeldPort();
    HeldPort(const HeldPort&) = delete;
    HeldPort& operator=(const HeldPort&) = delete;

    bool isHeld() const { return fd_ >= 0; }
    int port() const { return port_; }
    std::string seedBase() const;  // "http://127.0.0.1:PORT/seed/"

private:
    int fd_ = -1;
    int port_ = 0;
};

}  // namespace qarvel::engine::testing

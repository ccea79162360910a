#pragma once
// An HTTP server that bounds what a client can hold: the size of a request's
// head, the time a whole request may take to arrive, and the number of open
// connections. cpp-httplib 0.11 (the one Debian ships) has none of these
// settings, so this server reads the socket itself and gives the library one
// request at a time.
//
// It also hands the "Range" header to the handlers as kRangeHeader: the library
// would otherwise judge ranges itself, before the service's own rule, and answer
// 416 to ranges that are to be ignored.
#include "common/request_limits.h"

#include <httplib.h>

#include <atomic>
#include <memory>

namespace qarvel {

class GatedServer : public httplib::Server {
public:
    explicit GatedServer(RequestLimits limits = {});

private:
    bool process_and_close_socket(socket_t sock) override;

    RequestLimits limits_;
    std::shared_ptr<std::atomic<size_t>> open_;
};

}  // namespace qarvel

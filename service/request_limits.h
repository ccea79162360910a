#pragma once
// What one client may take of the demo service (see service/request_gate.h).
#include <chrono>
#include <cstddef>

namespace qarvel::service {

// The name under which handlers find the request's "Range" header.
inline constexpr const char* kRangeHeader = "Qarvel-Range";

struct RequestLimits {
    size_t headBytes = 64 * 1024;  // request line and headers together
    size_t headerCount = 100;
    // From a request's first byte to its last, the body included.
    std::chrono::milliseconds deadline{10000};
    // Connections being served or waiting for a worker; more are refused with 503.
    // Browser panes keep several connections open each.
    size_t connections = 96;
    size_t workers = 24;
};

}  // namespace qarvel::service

#pragma once
// What one client may take of a loopback server (see common/request_gate.h).
#include <chrono>
#include <cstddef>
#include <functional>
#include <string_view>

namespace qarvel {

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
    // Set: "Range" reaches the handlers as kRangeHeader; unset: the library
    // judges ranges itself.
    bool rangeToHandlers = true;
    // Asked with the request line (without its line end) as soon as it has
    // arrived; false refuses the request at once, before its headers are read.
    std::function<bool(std::string_view requestLine)> acceptRequestLine;
};

}  // namespace qarvel

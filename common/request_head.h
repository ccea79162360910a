#pragma once
// A request's head (request line and header fields) as it arrives over a
// connection: it is measured and counted against the limits, and its "Range"
// field is handed on as kRangeHeader (a field of that name from the client is
// dropped, so that only a "Range" field can set it) unless the limits leave
// ranges to the library. A request line the limits refuse ends the head.
#include "common/request_limits.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace qarvel {

class RequestHead {
public:
    enum class State { Reading, Complete, TooLarge, TooManyFields, Refused };

    explicit RequestHead(const RequestLimits& limits) : limits_(limits) {}

    // Starts the next request's head.
    void restart();
    // Takes bytes from in, starting at pos, up to the head's end; pos moves past
    // what was taken. Whole lines are appended to out. Once the state is other
    // than Reading nothing more is taken until restart().
    State take(std::string_view in, size_t& pos, std::string& out);
    State state() const { return state_; }

private:
    void finishLine(std::string& out);

    const RequestLimits& limits_;
    State state_ = State::Reading;
    std::string line_;
    size_t bytes_ = 0;
    size_t lines_ = 0;
};

}  // namespace qarvel

// Request heads on arbitrary bytes, split at arbitrary points: the result does
// not depend on how the bytes arrive, stays within the limits, no "Range"
// field reaches the HTTP library under its own name (unless ranges are left to
// it), and a refused request line hands nothing on.
#include "common/request_head.h"

#include <cstdlib>
#include <string>
#include <string_view>

using namespace qarvel;

namespace {

struct Outcome {
    RequestHead::State state;
    std::string out;
    size_t taken;
};

Outcome run(std::string_view input, size_t chunk, const RequestLimits& limits) {
    RequestHead head(limits);
    Outcome o{RequestHead::State::Reading, {}, 0};
    while (o.taken < input.size() && o.state == RequestHead::State::Reading) {
        const std::string_view piece = input.substr(o.taken, chunk);
        size_t pos = 0;
        o.state = head.take(piece, pos, o.out);
        o.taken += pos;
        if (pos == 0) std::abort();  // a head still being read takes every byte offered
    }
    return o;
}

bool startsWithFieldCaseless(std::string_view line, std::string_view name) {
    if (line.size() <= name.size() || line[name.size()] != ':') return false;
    for (size_t i = 0; i < name.size(); ++i)
        if ((line[i] | 0x20) != (name[i] | 0x20)) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    RequestLimits limits;
    limits.headBytes = 64 + data[0] * 4;
    limits.headerCount = data[1] % 16;
    limits.rangeToHandlers = (data[1] & 0x10) == 0;
    if (data[1] & 0x20) limits.acceptRequestLine = [](std::string_view line) { return line.size() % 2 == 0; };
    const std::string_view input(reinterpret_cast<const char*>(data) + 2, size - 2);

    const Outcome whole = run(input, input.size(), limits);
    const Outcome bytewise = run(input, 1, limits);
    if (whole.state != bytewise.state || whole.out != bytewise.out || whole.taken != bytewise.taken) std::abort();
    if (whole.taken > limits.headBytes + 1) std::abort();

    size_t lines = 0;
    for (size_t at = 0; at < whole.out.size();) {
        const size_t end = whole.out.find('\n', at);
        if (end == std::string::npos) std::abort();  // only whole lines are handed on
        const std::string_view line(whole.out.data() + at, end - at + 1);
        if (++lines > 1 && limits.rangeToHandlers && startsWithFieldCaseless(line, "Range")) std::abort();
        at = end + 1;
    }
    if (lines > limits.headerCount + 2) std::abort();
    if (whole.state == RequestHead::State::Refused && !whole.out.empty()) std::abort();
    // A complete head ends with its blank line, after a whole line if any.
    if (whole.state == RequestHead::State::Complete && whole.out != "\r\n" && whole.out != "\n" &&
        !whole.out.ends_with("\n\n") && !whole.out.ends_with("\n\r\n"))
        std::abort();
    return 0;
}

#include "common/request_head.h"

namespace qarvel {
namespace {

// "Name:" at the start of line, the name compared without regard to case.
bool isField(std::string_view line, std::string_view name) {
    if (line.size() <= name.size() || line[name.size()] != ':') return false;
    for (size_t i = 0; i < name.size(); ++i)
        if ((line[i] | 0x20) != (name[i] | 0x20)) return false;
    return true;
}

}  // namespace

void RequestHead::restart() {
    state_ = State::Reading;
    line_.clear();
    bytes_ = 0;
    lines_ = 0;
}

RequestHead::State RequestHead::take(std::string_view in, size_t& pos, std::string& out) {
    while (state_ == State::Reading && pos < in.size()) {
        const char c = in[pos++];
        line_.push_back(c);
        if (++bytes_ > limits_.headBytes) {
            state_ = State::TooLarge;
        } else if (c == '\n') {
            finishLine(out);
        }
    }
    return state_;
}

void RequestHead::finishLine(std::string& out) {
    const bool blank = line_ == "\r\n" || line_ == "\n";
    // The request line is not a header field.
    if (!blank && ++lines_ > limits_.headerCount + 1) {
        state_ = State::TooManyFields;
        return;
    }
    if (lines_ == 1 && limits_.acceptRequestLine) {
        std::string_view requestLine(line_);
        while (!requestLine.empty() && (requestLine.back() == '\n' || requestLine.back() == '\r'))
            requestLine.remove_suffix(1);
        if (!limits_.acceptRequestLine(requestLine)) {
            state_ = State::Refused;
            return;
        }
    }
    constexpr std::string_view kRange = "Range";
    if (!limits_.rangeToHandlers || blank || lines_ == 1) {
        out += line_;
    } else if (isField(line_, kRangeHeader)) {
        // dropped: only the client's "Range" field sets it
    } else if (isField(line_, kRange)) {
        out += kRangeHeader;
        out.append(line_, kRange.size());
    } else {
        out += line_;
    }
    line_.clear();
    if (blank) state_ = State::Complete;
}

}  // namespace qarvel

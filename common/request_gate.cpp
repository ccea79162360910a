#include "common/request_gate.h"

#include "common/request_head.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

namespace qarvel {
namespace {

using Clock = std::chrono::steady_clock;

// Set while the listening thread runs a connection it refuses.
thread_local bool t_refuse = false;

std::string plainAnswer(int status, std::string_view reason, std::string_view text) {
    return "HTTP/1.1 " + std::to_string(status) + " " + std::string(reason) +
           "\r\nConnection: close\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " +
           std::to_string(text.size()) + "\r\n\r\n" + std::string(text);
}

int millisecondsUntil(Clock::time_point end, time_t capSec, time_t capUsec) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    const long long cap = static_cast<long long>(capSec) * 1000 + capUsec / 1000;
    return static_cast<int>(std::clamp<long long>(std::min<long long>(left, cap), 0, cap));
}

bool waitFor(int fd, short events, int ms) {
    pollfd p{fd, events, 0};
    int r;
    do r = poll(&p, 1, ms);
    while (r < 0 && errno == EINTR);
    return r > 0;
}

void address(int fd, bool peer, std::string& ip, int& port) {
    sockaddr_storage addr{};
    socklen_t len = sizeof addr;
    const int r = peer ? getpeername(fd, reinterpret_cast<sockaddr*>(&addr), &len)
                       : getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    char host[NI_MAXHOST];
    char serv[NI_MAXSERV];
    if (r != 0 || getnameinfo(reinterpret_cast<sockaddr*>(&addr), len, host, sizeof host, serv, sizeof serv,
                              NI_NUMERICHOST | NI_NUMERICSERV) != 0)
        return;
    ip = host;
    port = std::atoi(serv);
}

// The socket as the library reads it: while a request's head arrives its lines
// are counted and measured, and every read keeps to the request's deadline.
// Bytes beyond the current request stay here for the next one.
class GateStream : public httplib::Stream {
public:
    GateStream(socket_t sock, const RequestLimits& limits, time_t readSec, time_t readUsec, time_t writeSec,
               time_t writeUsec)
        : sock_(sock),
          limits_(limits),
          head_(limits),
          readSec_(readSec),
          readUsec_(readUsec),
          writeSec_(writeSec),
          writeUsec_(writeUsec) {}

    // Waits up to the keep-alive time for the next request's first byte.
    bool awaitRequest(time_t seconds) {
        return !failed_ &&
               (rawPos_ < raw_.size() || waitFor(sock_, POLLIN, static_cast<int>(std::max<time_t>(seconds, 0) * 1000)));
    }

    void beginRequest() {
        head_.restart();
        end_ = Clock::now() + limits_.deadline;
    }

    bool failed() const { return failed_; }

    // After a refusal: ends the sending side and reads what the client still
    // sends for a moment, so that closing does not reset the connection and
    // take the answer with it.
    void lingerAfterRefusal() {
        shutdown(sock_, SHUT_WR);
        const auto until = Clock::now() + std::chrono::seconds(1);
        char buffer[16384];
        for (size_t total = 0; total < (1u << 20) && waitFor(sock_, POLLIN, millisecondsUntil(until, 1, 0));) {
            const ssize_t n = recv(sock_, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            total += static_cast<size_t>(n);
        }
    }

    bool is_readable() const override {
        if (failed_) return false;
        if (outPos_ < out_.size() || rawPos_ < raw_.size()) return true;
        if (waitFor(sock_, POLLIN, millisecondsUntil(end_, readSec_, readUsec_))) return true;
        // The library gives up on a stream that is not readable; a request
        // whose time is up is told so, whichever of the two noticed first.
        if (Clock::now() >= end_)
            const_cast<GateStream*>(this)->refuse(408, "Request Timeout", "request took too long\n");
        return false;
    }
    bool is_writable() const override {
        return !failed_ && waitFor(sock_, POLLOUT, static_cast<int>(writeSec_ * 1000 + writeUsec_ / 1000));
    }

    ssize_t read(char* ptr, size_t size) override {
        while (!failed_ && outPos_ == out_.size() && head_.state() == RequestHead::State::Reading) {
            if (rawPos_ == raw_.size()) {
                const ssize_t n = fill();
                if (n <= 0) return n;
            }
            takeHead();
        }
        if (failed_) return -1;
        if (outPos_ < out_.size()) return take(out_, outPos_, ptr, size);
        if (rawPos_ == raw_.size()) {
            const ssize_t n = fill();
            if (n <= 0) return n;
        }
        return take(raw_, rawPos_, ptr, size);
    }

    ssize_t write(const char* ptr, size_t size) override {
        if (!is_writable()) return -1;
        ssize_t n;
        do n = send(sock_, ptr, size, MSG_NOSIGNAL);
        while (n < 0 && errno == EINTR);
        return n;
    }

    void get_remote_ip_and_port(std::string& ip, int& port) const override { address(sock_, true, ip, port); }
    void get_local_ip_and_port(std::string& ip, int& port) const override { address(sock_, false, ip, port); }
    socket_t socket() const override { return sock_; }

private:
    static ssize_t take(std::string& from, size_t& pos, char* ptr, size_t size) {
        const size_t n = std::min(size, from.size() - pos);
        std::memcpy(ptr, from.data() + pos, n);
        pos += n;
        if (pos == from.size()) {
            from.clear();
            pos = 0;
        }
        return static_cast<ssize_t>(n);
    }

    // Reads what the socket has into raw_; 0 at the peer's end, -1 on error or
    // when the request's time is up (answered with 408).
    ssize_t fill() {
        const int wait = millisecondsUntil(end_, readSec_, readUsec_);
        if (!waitFor(sock_, POLLIN, wait)) {
            if (Clock::now() >= end_) refuse(408, "Request Timeout", "request took too long\n");
            return -1;
        }
        char buffer[16384];
        ssize_t n;
        do n = recv(sock_, buffer, sizeof buffer, 0);
        while (n < 0 && errno == EINTR);
        if (n > 0) raw_.append(buffer, static_cast<size_t>(n));
        return n;
    }

    // Moves whole head lines from raw_ to out_ until the head ends or raw_ runs out.
    void takeHead() {
        switch (head_.take(raw_, rawPos_, out_)) {
        case RequestHead::State::TooLarge:
            refuse(431, "Request Header Fields Too Large", "request head too large\n");
            break;
        case RequestHead::State::TooManyFields:
            refuse(431, "Request Header Fields Too Large", "too many header fields\n");
            break;
        case RequestHead::State::Refused: refuse(403, "Forbidden", "forbidden\n"); break;
        case RequestHead::State::Reading:
        case RequestHead::State::Complete: break;
        }
        if (rawPos_ == raw_.size()) {
            raw_.clear();
            rawPos_ = 0;
        }
    }

    void refuse(int status, std::string_view reason, std::string_view text) {
        failed_ = true;
        const std::string answer = plainAnswer(status, reason, text);
        if (waitFor(sock_, POLLOUT, static_cast<int>(writeSec_ * 1000 + writeUsec_ / 1000)))
            (void)send(sock_, answer.data(), answer.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    }

    socket_t sock_;
    const RequestLimits& limits_;
    RequestHead head_;
    time_t readSec_, readUsec_, writeSec_, writeUsec_;
    std::string raw_;  // from the socket, not yet looked at or handed on
    size_t rawPos_ = 0;
    std::string out_;  // head lines ready for the library
    size_t outPos_ = 0;
    Clock::time_point end_ = Clock::now();
    bool failed_ = false;
};

// The library's worker pool, with a bound on the connections it holds. A
// connection over the bound is run at once on the listening thread, which
// only tells it the service is busy.
class BoundedPool : public httplib::ThreadPool {
public:
    BoundedPool(size_t workers, size_t bound, std::shared_ptr<std::atomic<size_t>> open)
        : ThreadPool(workers), bound_(bound), open_(std::move(open)) {}

    void enqueue(std::function<void()> fn) override {
        if (open_->fetch_add(1) >= bound_) {
            open_->fetch_sub(1);
            t_refuse = true;
            fn();
            t_refuse = false;
            return;
        }
        ThreadPool::enqueue([fn = std::move(fn), open = open_] {
            fn();
            open->fetch_sub(1);
        });
    }

private:
    size_t bound_;
    std::shared_ptr<std::atomic<size_t>> open_;
};

}  // namespace

GatedServer::GatedServer(RequestLimits limits) : limits_(limits), open_(std::make_shared<std::atomic<size_t>>(0)) {
    new_task_queue = [this] { return new BoundedPool(limits_.workers, limits_.connections, open_); };
    // The library compiles its range patterns on first use, 0.3-1 ms that
    // would fall on the first ranged request: a film's first read.
    if (!limits_.rangeToHandlers) {
        httplib::Ranges ranges;
        httplib::detail::parse_range_header("bytes=0-", ranges);
    }
}

bool GatedServer::process_and_close_socket(socket_t sock) {
    bool ok = false;
    if (t_refuse) {
        const std::string answer = plainAnswer(503, "Service Unavailable", "service busy\n");
        (void)send(sock, answer.data(), answer.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    } else {
        // An answer goes out in several writes (head, then body); without this
        // the second waits for the peer's delayed acknowledgement (~40 ms).
        const int one = 1;
        (void)setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        GateStream stream(sock, limits_, read_timeout_sec_, read_timeout_usec_, write_timeout_sec_,
                          write_timeout_usec_);
        // The library's keep-alive loop, with the gate's stream.
        for (size_t left = keep_alive_max_count_;
             svr_sock_ != INVALID_SOCKET && left > 0 && stream.awaitRequest(keep_alive_timeout_sec_); --left) {
            stream.beginRequest();
            bool closed = false;
            ok = process_request(stream, left == 1, closed, nullptr);
            if (!ok || closed || stream.failed()) break;
        }
        if (stream.failed()) stream.lingerAfterRefusal();
    }
    shutdown(sock, SHUT_RDWR);
    close(sock);
    return ok;
}

}  // namespace qarvel

#pragma once
// A small HTTP media source for the engine's tests: files of one folder at
// /seed/<anything>/<name>, with range requests, and switches that make it slow,
// cut answers short, answer with an error status, or go away and come back.
// Gone, it keeps its port: connections are refused and no other server can
// take the port meanwhile.
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace qarvel::engine::testing {

class HeldPort;

class MediaServer {
public:
    explicit MediaServer(std::string folder);
    ~MediaServer();

    // Listens on 127.0.0.1 (port 0: a free one; after stop() the same port
    // again), and returns once it serves.
    bool start(int port = 0);
    // Stops serving and refuses connections on the port, which it keeps until
    // started again or destroyed. False when the server would not stop in time.
    bool stop();
    int port() const { return port_; }
    std::string base() const;      // "http://127.0.0.1:PORT/"
    std::string seedBase() const;  // base() + "seed/"

    void setBytesPerSecond(long long rate) { rate_ = rate; }
    void setCutAfterBytes(long long bytes) { cutAfter_ = bytes; }  // per answer; -1 off
    void setStatus(int status) { status_ = status; }               // 0 off
    std::vector<std::string> rangesAsked() const;
    int requests() const { return requests_; }

private:
    void serve(const std::string& name, const httplib::Request& req, httplib::Response& res);

    std::string folder_;
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    std::shared_ptr<std::atomic<bool>> listenEnded_;
    std::unique_ptr<HeldPort> held_;
    int port_ = 0;
    std::atomic<long long> rate_{0};
    std::atomic<long long> cutAfter_{-1};
    std::atomic<int> status_{0};
    std::atomic<int> requests_{0};
    mutable std::mutex mutex_;
    std::vector<std::string> ranges_;
};

}  // namespace qarvel::engine::testing

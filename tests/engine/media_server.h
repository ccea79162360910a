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
    int port() const { return m_port; }
    std::string base() const;      // "http://127.0.0.1:PORT/"
    std::string seedBase() const;  // base() + "seed/"

    void setBytesPerSecond(long long rate) { m_rate = rate; }
    void setCutAfterBytes(long long bytes) { m_cutAfter = bytes; }  // per answer; -1 off
    void setStatus(int status) { m_status = status; }               // 0 off
    std::vector<std::string> rangesAsked() const;
    int requests() const { return m_requests; }

private:
    void serve(const std::string& name, const httplib::Request& req, httplib::Response& res);

    std::string m_folder;
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    std::shared_ptr<std::atomic<bool>> m_listenEnded;
    std::unique_ptr<HeldPort> m_held;
    int m_port = 0;
    std::atomic<long long> m_rate{0};
    std::atomic<long long> m_cutAfter{-1};
    std::atomic<int> m_status{0};
    std::atomic<int> m_requests{0};
    mutable std::mutex m_mutex;
    std::vector<std::string> m_ranges;
};

}  // namespace qarvel::engine::testing

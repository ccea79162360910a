#include "media_server.h"

#include "held_port.h"

#include <httplib.h>

#include <chrono>
#include <fstream>
#include <iterator>

namespace qarvel::engine::testing {

MediaServer::MediaServer(std::string folder) : folder_(std::move(folder)) {}

MediaServer::~MediaServer() { stop(); }

std::string MediaServer::base() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

std::string MediaServer::seedBase() const { return base() + "seed/"; }

bool MediaServer::start(int port) {
    if (!stop()) return false;
    server_ = std::make_unique<httplib::Server>();
    server_->set_keep_alive_timeout(1);  // stop() waits for idle connections to close
    server_->Get(R"(/seed/[^/]+/(.+))", [this](const httplib::Request& req, httplib::Response& res) {
        serve(req.matches[1].str(), req, res);
    });
    if (port == 0) port = port_;
    if (port == 0) {
        port_ = server_->bind_to_any_port("127.0.0.1");
        if (port_ <= 0) return false;
    } else if (server_->bind_to_port("127.0.0.1", port)) {
        port_ = port;
    } else {
        return false;
    }
    held_.reset();  // the server holds the port again
    listenEnded_ = std::make_shared<std::atomic<bool>>(false);
    thread_ = std::thread([server = server_.get(), ended = listenEnded_] {
        server->listen_after_bind();
        *ended = true;
    });
    // The library's stop() does nothing until its loop runs; a stop right after
    // start would otherwise leave the loop running and its join waiting forever.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!server_->is_running() && !*listenEnded_) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return server_->is_running();
}

bool MediaServer::stop() {
    if (!server_) return true;
    // Held before the server lets go, so that nobody else takes it meanwhile.
    if (!held_) held_ = std::make_unique<HeldPort>(HeldPort::Mode::Refusing, port_);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!*listenEnded_) {
        if (std::chrono::steady_clock::now() > deadline) {
            // Left running rather than joined forever; the test fails instead of hanging.
            thread_.detach();
            (void)server_.release();
            return false;
        }
        server_->stop();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    thread_.join();
    server_.reset();
    return true;
}

std::vector<std::string> MediaServer::rangesAsked() const {
    std::lock_guard lock(mutex_);
    return ranges_;
}

void MediaServer::serve(const std::string& name, const httplib::Request& req, httplib::Response& res) {
    ++requests_;
    {
        std::lock_guard lock(mutex_);
        ranges_.push_back(req.get_header_value("Range"));
    }
    if (status_ != 0) {
        res.status = status_;
        return;
    }
    if (name.find("..") != std::string::npos) {
        res.status = 400;
        return;
    }
    std::ifstream in(folder_ + "/" + name, std::ios::binary);
    if (!in) {
        res.status = 404;
        return;
    }
    auto data = std::make_shared<std::string>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    const long long rate = rate_;
    auto budget = std::make_shared<long long>(cutAfter_.load());
    res.set_content_provider(data->size(), "video/mp4",
                             [data, rate, budget](size_t offset, size_t length, httplib::DataSink& sink) {
                                 size_t chunk = std::min<size_t>(length, 16 * 1024);
                                 if (*budget >= 0) {
                                     if (*budget == 0) return false;  // cut the answer short
                                     chunk = std::min<size_t>(chunk, size_t(*budget));
                                     *budget -= chunk;
                                 }
                                 if (rate > 0)
                                     std::this_thread::sleep_for(std::chrono::microseconds(chunk * 1000000 / rate));
                                 return sink.write(data->data() + offset, chunk);
                             });
}

}  // namespace qarvel::engine::testing

#include "media_server.h"

#include "held_port.h"

#include <httplib.h>

#include <chrono>
#include <fstream>
#include <iterator>

namespace qarvel::engine::testing {

MediaServer::MediaServer(std::string folder) : m_folder(std::move(folder)) {}

MediaServer::~MediaServer() { stop(); }

std::string MediaServer::base() const { return "http://127.0.0.1:" + std::to_string(m_port) + "/"; }

std::string MediaServer::seedBase() const { return base() + "seed/"; }

bool MediaServer::start(int port) {
    if (!stop()) return false;
    m_server = std::make_unique<httplib::Server>();
    m_server->set_keep_alive_timeout(1);  // stop() waits for idle connections to close
    m_server->Get(R"(/seed/[^/]+/(.+))", [this](const httplib::Request& req, httplib::Response& res) {
        serve(req.matches[1].str(), req, res);
    });
    if (port == 0) port = m_port;
    if (port == 0) {
        m_port = m_server->bind_to_any_port("127.0.0.1");
        if (m_port <= 0) return false;
    } else if (m_server->bind_to_port("127.0.0.1", port)) {
        m_port = port;
    } else {
        return false;
    }
    m_held.reset();  // the server holds the port again
    m_listenEnded = std::make_shared<std::atomic<bool>>(false);
    m_thread = std::thread([server = m_server.get(), ended = m_listenEnded] {
        server->listen_after_bind();
        *ended = true;
    });
    // The library's stop() does nothing until its loop runs; a stop right after
    // start would otherwise leave the loop running and its join waiting forever.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!m_server->is_running() && !*m_listenEnded) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return m_server->is_running();
}

bool MediaServer::stop() {
    if (!m_server) return true;
    // Held before the server lets go, so that nobody else takes it meanwhile.
    if (!m_held) m_held = std::make_unique<HeldPort>(HeldPort::Mode::Refusing, m_port);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!*m_listenEnded) {
        if (std::chrono::steady_clock::now() > deadline) {
            // Left running rather than joined forever; the test fails instead of hanging.
            m_thread.detach();
            (void)m_server.release();
            return false;
        }
        m_server->stop();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    m_thread.join();
    m_server.reset();
    return true;
}

std::vector<std::string> MediaServer::rangesAsked() const {
    std::lock_guard lock(m_mutex);
    return m_ranges;
}

void MediaServer::serve(const std::string& name, const httplib::Request& req, httplib::Response& res) {
    ++m_requests;
    {
        std::lock_guard lock(m_mutex);
        m_ranges.push_back(req.get_header_value("Range"));
    }
    if (m_status != 0) {
        res.status = m_status;
        return;
    }
    if (name.find("..") != std::string::npos) {
        res.status = 400;
        return;
    }
    std::ifstream in(m_folder + "/" + name, std::ios::binary);
    if (!in) {
        res.status = 404;
        return;
    }
    auto data = std::make_shared<std::string>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    const long long rate = m_rate;
    auto budget = std::make_shared<long long>(m_cutAfter.load());
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

#include "service/demo_service.h"

#include "service/http_routes.h"
#include "common/request_gate.h"
#include "service/service_context.h"
#include "service/service_log.h"

#include <httplib.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <cstring>
#include <mutex>
#include <thread>

namespace qarvel::service {

struct DemoService::Impl {
    explicit Impl(Options o)
        : options(std::move(o)), context(options.mediaDir, options.host), routes(context, options.controlRoutes) {}

    Options options;
    ServiceContext context;
    HttpRoutes routes;
    mutable std::mutex mutex;  // guards server, listener, error
    std::unique_ptr<GatedServer> server;
    std::thread listener;
    std::thread digests;
    std::string error;
};

namespace {

// A catalogue service has its films' digests stored; the demo reads its clips
// soon after it starts, beside serving, so no play request waits on a hash.
void learnDigests(ServiceContext& context) {
    // Last in line for the processor, and after a program starting beside it
    // has shown its window; a clip asked for before then is read at once.
    (void)::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 19);
    if (!context.stop.waitFor(std::chrono::seconds(2))) return;
    for (const Series& series : context.catalogue.series()) {
        if (series.kind != "qvod") continue;
        for (const Source& source : series.sources) {
            for (const Episode& episode : source.episodes) {
                if (context.stop.stopped()) return;
                if (episode.available()) (void)context.media.find(episode.clip);
            }
        }
    }
}

}  // namespace

DemoService::DemoService(Options options) : impl_(std::make_unique<Impl>(std::move(options))) {}

DemoService::~DemoService() { stop(); }

bool DemoService::start() {
    std::lock_guard lock(impl_->mutex);
    if (impl_->server) return true;
    impl_->error.clear();
    const Options& o = impl_->options;
    if (o.port < 0 || o.port > 65535) {
        impl_->error = "port out of range: " + std::to_string(o.port);
        return false;
    }
    auto server = std::make_unique<GatedServer>(o.limits);
    server->set_keep_alive_timeout(1);
    server->set_read_timeout(5, 0);
    server->set_write_timeout(5, 0);
    server->set_payload_max_length(HttpRoutes::kMaxBody);
    // The library's default also sets SO_REUSEPORT, which lets a second service
    // share a busy port and take half of its connections. Only reuse the
    // address, so that a restart does not wait for old connections to time out.
    server->set_socket_options([](socket_t sock) {
        const int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    impl_->routes.install(*server);

    int port = o.port;
    if (port == 0) {
        port = server->bind_to_any_port(o.host);
    } else if (!server->bind_to_port(o.host, port)) {
        port = -1;
    }
    if (port <= 0) {
        impl_->error = "cannot listen on " + o.host + ":" + std::to_string(o.port) + " (" + std::strerror(errno) + ")";
        return false;
    }
    impl_->context.port = port;
    impl_->context.stop.rearm();
    GatedServer* raw = server.get();
    auto listenerDone = std::make_shared<std::atomic<bool>>(false);
    impl_->listener = std::thread([raw, listenerDone] {
        raw->listen_after_bind();
        *listenerDone = true;
    });
    // stop() only closes a server that already runs; wait for that so that an
    // early stop cannot leave the listener behind.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!raw->is_running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    impl_->server = std::move(server);
    if (!raw->is_running()) {
        impl_->error = "the server did not start";
        // stop() is ignored until the listen loop runs, so repeat it until the
        // loop has started and ended; a single call could leave join() waiting.
        while (!*listenerDone) {
            raw->stop();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        impl_->listener.join();
        impl_->server.reset();
        return false;
    }
    impl_->digests = std::thread([context = &impl_->context] { learnDigests(*context); });
    return true;
}

void DemoService::stop() {
    std::lock_guard lock(impl_->mutex);
    if (!impl_->server) return;
    impl_->context.stop.stop();
    impl_->server->stop();
    if (impl_->listener.joinable()) impl_->listener.join();
    if (impl_->digests.joinable()) impl_->digests.join();
    impl_->server.reset();
}

bool DemoService::isRunning() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->server != nullptr;
}

int DemoService::port() const { return impl_->context.port; }

std::string DemoService::baseUrl() const { return impl_->context.base(); }

std::string DemoService::errorText() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->error;
}

bool DemoService::setFault(const std::string& endpoint, const Fault& fault) {
    if (!isValidFault(fault)) return false;
    impl_->context.faults.set(endpoint, fault);
    return true;
}

void DemoService::clearFault(const std::string& endpoint) { impl_->context.faults.clear(endpoint); }

int DemoService::requestCount(const std::string& endpoint) const {
    return impl_->context.faults.requestCount(endpoint);
}

int DemoService::pingCount(const std::string& id) const { return impl_->context.pings.count(id); }

std::map<std::string, int> DemoService::pingCounts() const { return impl_->context.pings.all(); }

bool DemoService::setTextFile(const std::string& name, const std::string& utf8) {
    return impl_->context.texts.set(name, utf8);
}

std::string DemoService::textFile(const std::string& name) const {
    return impl_->context.texts.get(name, impl_->context.base()).value_or(std::string());
}

void DemoService::reset() { impl_->context.reset(); }

std::string DemoService::mediaDir() const { return impl_->context.media.dir(); }

std::vector<std::string> DemoService::missingMedia() const {
    std::vector<std::string> missing;
    for (const std::string& clip : impl_->context.catalogue.clips())
        if (!impl_->context.media.exists(clip)) missing.push_back(clip);
    return missing;
}

void DemoService::reportMissingMedia() const {
    for (const std::string& clip : missingMedia())
        logWarning("demo clip missing (build the demo_media target): " + mediaDir() + "/" + clip);
}

}  // namespace qarvel::service

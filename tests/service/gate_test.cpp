// What one client can take of the demo service: the size of a request's head,
// the time a request may take, and the number of open connections.
#include "service/demo_service.h"
#include "service_test_support.h"


#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace qarvel::service {
namespace {

using namespace std::chrono_literals;
using namespace test;

std::unique_ptr<DemoService> startService(const RequestLimits& limits) {
    Options options{"127.0.0.1", 0, mediaDir()};
    options.limits = limits;
    auto service = std::make_unique<DemoService>(options);
    EXPECT_TRUE(service->start()) << service->errorText();
    return service;
}

std::string requestWithHeaders(int count, size_t valueSize) {
    std::string request = "GET /box/lib/wen.txt HTTP/1.1\r\nHost: x\r\nConnection: close\r\n";
    for (int i = 0; i < count; ++i)
        request += "X-Field-" + std::to_string(i) + ": " + std::string(valueSize, 'v') + "\r\n";
    return request + "\r\n";
}

// Clients that keep their connection by sending a request a byte at a time,
// and read what the service answers as it comes.
class SlowClients {
public:
    SlowClients(int port, int count, std::chrono::milliseconds every) : answers_(count) {
        for (int i = 0; i < count; ++i) fds_.push_back(connectTo(port));
        thread_ = std::thread([this, every] {
            const std::string request = "GET /box/lib/wen.txt HTTP/1.1\r\nHost: x\r\nX-Slow: ";
            for (size_t at = 0; !done_; ++at) {
                for (size_t i = 0; i < fds_.size(); ++i) {
                    (void)send(fds_[i], request.data() + at % request.size(), 1, MSG_NOSIGNAL);
                    char buffer[4096];
                    const ssize_t n = recv(fds_[i], buffer, sizeof buffer, MSG_DONTWAIT);
                    std::lock_guard lock(mutex_);
                    if (n > 0) answers_[i].append(buffer, static_cast<size_t>(n));
                }
                std::this_thread::sleep_for(every);
            }
        });
    }
    ~SlowClients() {
        done_ = true;
        thread_.join();
        for (int fd : fds_) close(fd);
    }
    std::vector<std::string> answers() const {
        std::lock_guard lock(mutex_);
        return answers_;
    }

private:
    std::vector<int> fds_;
    mutable std::mutex mutex_;
    std::vector<std::string> answers_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

TEST(ServiceGate, RequestHeadsOverTheLimitsAreRefused) {
    RequestLimits limits;
    limits.headBytes = 16 * 1024;
    limits.headerCount = 40;
    const auto service = startService(limits);
    EXPECT_EQ(statusOf(rawExchange(service->port(), requestWithHeaders(30, 100))), 200);
    const std::string many = rawExchange(service->port(), requestWithHeaders(60, 10));
    EXPECT_EQ(statusOf(many), 431);
    EXPECT_NE(many.find("too many header fields"), std::string::npos);
    // Few headers, but long ones: the head as a whole is measured.
    EXPECT_EQ(statusOf(rawExchange(service->port(), requestWithHeaders(5, 4000))), 431);
    // The default limit keeps a head of many 4 KB headers out (the whole head is
    // sent before the answer is read, so it stays small enough for the buffers).
    const auto defaults = startService({});
    EXPECT_EQ(statusOf(rawExchange(defaults->port(), requestWithHeaders(40, 4096))), 431);
    EXPECT_EQ(statusOf(rawExchange(defaults->port(), requestWithHeaders(90, 100))), 200);
}

TEST(ServiceGate, SlowClientsLoseTheirWorkerAtTheDeadline) {
    RequestLimits limits;
    limits.workers = 3;
    limits.deadline = 1s;
    const auto service = startService(limits);
    SlowClients slow(service->port(), 6, 200ms);
    std::this_thread::sleep_for(300ms);  // every worker is held, and more wait
    const auto asked = std::chrono::steady_clock::now();
    const std::string reply =
        rawExchange(service->port(), "GET /box/lib/wen.txt HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(statusOf(reply), 200);
    // Two rounds of deadlines at most, not the slow clients' whole time.
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 5s);
}

TEST(ServiceGate, ConnectionsOverTheBoundAreToldTheServiceIsBusy) {
    RequestLimits limits;
    limits.workers = 2;
    limits.connections = 4;
    limits.deadline = 3s;
    const auto service = startService(limits);
    SlowClients slow(service->port(), 4, 100ms);
    std::this_thread::sleep_for(300ms);
    const std::string refused =
        rawExchange(service->port(), "GET /box/lib/wen.txt HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(statusOf(refused), 503);
    EXPECT_NE(refused.find("service busy"), std::string::npos);
}

}  // namespace
}  // namespace qarvel::service

// Fault switches, the control interface, and the service's life in a host
// process: start, stop, peers that go away, and the program on its own.
#include "common/build_config.h"
#include "service/demo_service.h"
#include "service_test_support.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <future>
#include <thread>

extern char** environ;

namespace qarvel::service {
namespace {

using namespace test;
using Clock = std::chrono::steady_clock;

class ServiceFaults : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(service_.start()) << service_.errorText(); }
    Fetched playRequest() { return get(service_.port(), "/box/h.asp?id=1001&v=0&v1=0"); }
    std::string seedPath() {
        const auto address = split(playRequest().body, "$").at(1);  // qvod://SIZE|HASH|NAME|
        const auto f = split(address.substr(7), "|");
        return "/box/seed/" + f.at(1) + "/" + f.at(2);
    }
    DemoService service_{controlledOptions()};
};

TEST_F(ServiceFaults, ReplacedAnswersHaveTheirForms) {
    const std::string normal = playRequest().body;
    ASSERT_NE(normal.find('$'), std::string::npos);
    ASSERT_TRUE(service_.setFault(endpoint::kPlayRequest, Fault::zero()));
    EXPECT_EQ(playRequest().body, "0");
    ASSERT_TRUE(service_.setFault(endpoint::kPlayRequest, Fault::one()));
    EXPECT_EQ(playRequest().body, "1");
    ASSERT_TRUE(service_.setFault(endpoint::kPlayRequest, Fault::errorStatus(503)));
    EXPECT_EQ(playRequest().status, 503);
    for (const Fault& f : {Fault::garbage(), Fault::huge()}) {
        ASSERT_TRUE(service_.setFault(endpoint::kPlayRequest, f));
        const std::string body = playRequest().body;
        EXPECT_EQ(body.find('$'), std::string::npos);
        EXPECT_EQ(body.find("||"), std::string::npos);
        EXPECT_EQ(body.find("===="), std::string::npos);
        EXPECT_NE(std::atoi(body.c_str()), 0);  // not a "0" answer by its numeric value either
        if (f.answer == Fault::Answer::Huge) {
            EXPECT_GE(body.size(), 4u << 20);
        }
    }
    ASSERT_TRUE(service_.setFault(endpoint::kPlayRequest, Fault::closed()));
    EXPECT_FALSE(playRequest().ok);
    EXPECT_EQ(rawExchange(service_.port(), "GET /box/h.asp?id=1 HTTP/1.1\r\nHost: x\r\n\r\n"), "");
    // Other endpoints are untouched, and a reset restores the answer.
    EXPECT_EQ(get(service_.port(), "/box/lib/wen.txt").status, 200);
    EXPECT_EQ(service_.requestCount(endpoint::kPlayRequest), 8);
    service_.reset();
    EXPECT_EQ(playRequest().body, normal);
    EXPECT_EQ(service_.requestCount(endpoint::kPlayRequest), 1);
}

TEST_F(ServiceFaults, DelayHoldsTheAnswerBack) {
    ASSERT_TRUE(service_.setFault(endpoint::kHome, Fault::delay(300)));
    const auto start = Clock::now();
    EXPECT_EQ(get(service_.port(), "/box/").status, 200);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(300));
    service_.clearFault(endpoint::kHome);
    EXPECT_FALSE(service_.setFault(endpoint::kHome, Fault::errorStatus(200)));
    EXPECT_FALSE(service_.setFault(endpoint::kHome, Fault::delay(-1)));
}

TEST_F(ServiceFaults, ControlInterfaceSwitchesFaultsOverHttp) {
    const int port = service_.port();
    EXPECT_EQ(post(port, "/control/fault?endpoint=&answer=status&status=502").status, 200);
    EXPECT_EQ(get(port, "/box/").status, 502);
    EXPECT_EQ(playRequest().status, 200);
    EXPECT_EQ(post(port, "/control/fault?endpoint=h.asp&answer=one&delay=50").status, 200);
    EXPECT_EQ(playRequest().body, "1");
    EXPECT_EQ(get(port, "/control/requests?endpoint=h.asp").body, "2\n");
    EXPECT_EQ(post(port, "/control/clear?endpoint=").status, 200);
    EXPECT_EQ(get(port, "/box/").status, 200);
    EXPECT_EQ(post(port, "/control/reset").status, 200);
    EXPECT_NE(playRequest().body.find('$'), std::string::npos);
}

TEST_F(ServiceFaults, ControlInterfaceRefusesWebPagesOfOtherSites) {
    const int port = service_.port();
    const std::string own = "http://127.0.0.1:" + std::to_string(port);
    for (const std::string& origin :
         std::vector<std::string>{"http://evil.example", "null", own + "0", "http://127.0.0.1"}) {
        EXPECT_EQ(post(port, "/control/fault?endpoint=&answer=status&status=502", "", {{"Origin", origin}}).status, 403)
            << origin;
    }
    EXPECT_EQ(get(port, "/box/").status, 200);  // nothing was switched
    EXPECT_EQ(post(port, "/control/fault?endpoint=&answer=status&status=502", "", {{"Origin", own}}).status, 200);
    EXPECT_EQ(get(port, "/box/").status, 502);
}

// A film fetched half, then resumed with a range, as the player engine does.
TEST_F(ServiceFaults, CutOffSeedTransferResumesWithARange) {
    const std::string path = seedPath();
    const std::string film = get(service_.port(), path).body;
    ASSERT_GT(film.size(), 100000u);
    ASSERT_TRUE(service_.setFault(endpoint::kSeed, Fault::cutAfter(40000)));
    const std::string raw = rawExchange(service_.port(), "GET " + path + " HTTP/1.1\r\nHost: x\r\n\r\n");
    EXPECT_NE(raw.find("Content-Length: " + std::to_string(film.size())), std::string::npos);
    const std::string first = raw.substr(raw.find("\r\n\r\n") + 4);
    EXPECT_EQ(first, film.substr(0, 40000));
    service_.clearFault(endpoint::kSeed);
    const Fetched rest = get(service_.port(), path, {{"Range", "bytes=40000-"}});
    EXPECT_EQ(rest.status, 206);
    EXPECT_EQ(first + rest.body, film);
}

TEST_F(ServiceFaults, ThrottledBodyArrivesSlowlyAndWhole) {
    const std::string path = seedPath();
    ASSERT_TRUE(service_.setFault(endpoint::kSeed, Fault::throttled(20000)));
    const auto start = Clock::now();
    const Fetched part = get(service_.port(), path, {{"Range", "bytes=0-29999"}});
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(1000));  // 1.5 s at that rate
    EXPECT_EQ(part.body.size(), 30000u);
}

TEST_F(ServiceFaults, StopEndsPendingDelaysAndCanBeRepeated) {
    ASSERT_TRUE(service_.setFault(endpoint::kPlayRequest, Fault::delay(60000)));
    auto pending = std::async(std::launch::async, [this] { return playRequest(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto start = Clock::now();
    service_.stop();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
    const Fetched f = pending.get();
    EXPECT_TRUE(!f.ok || f.status == 503);
    service_.stop();
    EXPECT_FALSE(service_.isRunning());
    EXPECT_FALSE(get(service_.port(), "/box/").ok);
}

TEST_F(ServiceFaults, BusyPortIsReportedAndSecondStartIsHarmless) {
    DemoService other(Options{"127.0.0.1", service_.port(), mediaDir()});
    EXPECT_FALSE(other.start());
    EXPECT_NE(other.errorText().find(std::to_string(service_.port())), std::string::npos) << other.errorText();
    EXPECT_TRUE(service_.start());
    EXPECT_EQ(get(service_.port(), "/box/").status, 200);
    DemoService bad(Options{"127.0.0.1", 70000, mediaDir()});
    EXPECT_FALSE(bad.start());
    EXPECT_FALSE(bad.errorText().empty());
}

struct ProgramRun {
    int exitCode = -1;
    std::string output;
};

// Runs qarvel-service with the arguments; `whileRunning` gets its pid and ends it.
ProgramRun runProgram(std::vector<std::string> args, const std::function<void(pid_t)>& whileRunning = {}) {
    args.insert(args.begin(), QARVEL_SERVICE_PROGRAM);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int pipeFds[2];
    EXPECT_EQ(pipe(pipeFds), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
    pid_t pid = -1;
    ProgramRun run;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned == 0) {
        if (whileRunning) whileRunning(pid);
        char buffer[4096];
        for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;) run.output.append(buffer, n);
        int status = 0;
        waitpid(pid, &status, 0);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    close(pipeFds[0]);
    return run;
}

TEST(ServiceProgram, ServesOnTheGivenPortUntilTerminated) {
    int port = 0;
    {
        DemoService probe;  // find a port that is free right now
        ASSERT_TRUE(probe.start());
        port = probe.port();
    }
    int homeStatus = 0;
    const ProgramRun run = runProgram({"--port", std::to_string(port), "--media", mediaDir()}, [&](pid_t pid) {
        for (int i = 0; i < 100 && homeStatus != 200; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            homeStatus = get(port, "/box/").status;
        }
        kill(pid, SIGTERM);
    });
    EXPECT_EQ(homeStatus, 200);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("serving http://127.0.0.1:" + std::to_string(port) + "/box/"), std::string::npos);

    const ProgramRun help = runProgram({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.output.find("--media DIR"), std::string::npos);
    EXPECT_EQ(runProgram({"--port", "http"}).exitCode, 2);
    EXPECT_EQ(runProgram({"--color"}).exitCode, 2);
    EXPECT_EQ(runProgram({"--port"}).exitCode, 2);
}

}  // namespace
}  // namespace qarvel::service

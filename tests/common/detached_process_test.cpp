// A program started to outlive its starter holds none of the starter's
// descriptors: a pipe the starter had open (as a test runner's output is)
// ends when the starter closes its side, while the program still runs.
#include "common/detached_process.h"

#include <QCoreApplication>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

TEST(DetachedProcess, HoldsNoneOfTheStartersDescriptors) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);  // inherited unless something closes it: no O_CLOEXEC
    qint64 pid = 0;
    ASSERT_TRUE(qarvel::startDetachedProcess(QStringLiteral("sleep"), {QStringLiteral("30")}, &pid));
    ASSERT_GT(pid, 0);
    ::close(ends[1]);
    // With the program holding no copy of the write end, the read end is at its end now.
    pollfd reader{ends[0], POLLIN, 0};
    const int ready = ::poll(&reader, 1, 3000);
    char byte = 0;
    const ssize_t got = ready == 1 ? ::read(ends[0], &byte, 1) : -1;
    const bool running = ::kill(pid_t(pid), 0) == 0;
    ::kill(pid_t(pid), SIGKILL);
    ::close(ends[0]);
    EXPECT_EQ(ready, 1);
    EXPECT_EQ(got, 0);
    EXPECT_TRUE(running);
}

TEST(DetachedProcess, AMissingProgramIsReported) {
    EXPECT_FALSE(qarvel::startDetachedProcess(QStringLiteral("/nonexistent/qarvel-no-such-program"), {}));
}

// The demo service inside `qarvel --demo` has no control interface: a page in
// a browser, or any local program, cannot rewrite its files or faults.
#include "support/loopback_socket.h"
#include "support/wait_until.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <poll.h>

#include <string>

namespace {

// Loopback ports the process listens on: its socket descriptors matched
// against the listening sockets of /proc/PID/net/tcp.
QList<int> listeningPorts(qint64 pid) {
    QSet<QByteArray> inodes;
    const QString fds = QStringLiteral("/proc/%1/fd").arg(pid);
    for (const QString& fd : QDir(fds).entryList(QDir::System | QDir::NoDotAndDotDot)) {
        const QString target = QFile::symLinkTarget(fds + u'/' + fd);
        if (target.contains(QStringLiteral("socket:["))) inodes << target.section(u'[', 1).chopped(1).toLatin1();
    }
    QList<int> ports;
    QFile tcp(QStringLiteral("/proc/%1/net/tcp").arg(pid));
    if (!tcp.open(QIODevice::ReadOnly)) return ports;
    for (const QByteArray& line : tcp.readAll().split('\n').mid(1)) {
        const QList<QByteArray> f = line.simplified().split(' ');
        // local address, state 0A (listening), inode
        if (f.size() > 9 && f[3] == "0A" && f[1].startsWith("0100007F:") && inodes.contains(f[9]))
            ports << f[1].mid(9).toInt(nullptr, 16);
    }
    return ports;
}

std::string statusLine(int port, const std::string& request) {
    const int fd = qarvel::test::connectTo(port);
    if (fd < 0) return {};
    std::string answer;
    if (send(fd, request.data(), request.size(), MSG_NOSIGNAL) == ssize_t(request.size())) {
        pollfd p{fd, POLLIN, 0};
        char buffer[4096];
        while (poll(&p, 1, 5000) > 0) {
            const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            answer.append(buffer, size_t(n));
        }
    }
    close(fd);
    return answer.substr(0, answer.find("\r\n"));
}

}  // namespace

TEST(DemoInTheClient, HasNoControlInterface) {
    QTemporaryDir home;
    QProcess client;
    client.start(QStringLiteral(QARVEL_CLIENT), {"--home", home.path(), "--demo", "--quit-after", "60000"});
    ASSERT_TRUE(client.waitForStarted(10000));
    int port = 0;
    ASSERT_TRUE(qarvel::test::waitUntil(
        [&] {
            for (int p : listeningPorts(client.processId()))
                if (statusLine(p, "GET /box/ HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n") == "HTTP/1.1 200 OK")
                    port = p;
            return port != 0;
        },
        30000));
    const std::string body = "0====0====0====0====0====9.9\r\n";
    EXPECT_EQ(statusLine(port,
                         "POST /control/text?name=lib/wen.txt HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n"
                         "Content-Type: text/plain\r\nContent-Length: " +
                             std::to_string(body.size()) + "\r\n\r\n" + body),
              "HTTP/1.1 404 Not Found");
    EXPECT_EQ(statusLine(port,
                         "POST /control/reset HTTP/1.1\r\nHost: x\r\nOrigin: http://evil.example\r\n"
                         "Connection: close\r\nContent-Length: 0\r\n\r\n"),
              "HTTP/1.1 404 Not Found");
    client.kill();
    client.waitForFinished(10000);
}

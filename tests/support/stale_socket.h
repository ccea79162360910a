#pragma once
// What a crashed program leaves of a local server: its socket file, bound and
// closed without being removed, with nobody behind it.
#include <QByteArray>
#include <QDir>
#include <QString>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace qarvel::test {

// name as QLocalServer takes it: a full path, or a file under the temporary folder.
inline bool leaveStaleSocket(const QString& name) {
    const QByteArray path = (QDir::isAbsolutePath(name) ? name : QDir::tempPath() + u'/' + name).toLocal8Bit();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= qsizetype(sizeof address.sun_path)) return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0) return false;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

}  // namespace qarvel::test

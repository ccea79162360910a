#include "app/single_instance.h"

#include "app/command_line.h"
#include "common/build_config.h"
#include "common/logging.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStringDecoder>
#include <QSysInfo>
#include <QTimer>
#include <QVariant>
#include <QtEndian>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qarvel {

namespace {

// The one byte a window answers with: the command is taken ("cancel" 0).
constexpr char kAccepted = '0';
constexpr int kLengthBytes = 4;

}  // namespace

QByteArray encodeHandOff(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    QByteArray frame(kLengthBytes, '\0');
    qToBigEndian<quint32>(quint32(utf8.size()), frame.data());
    return frame + utf8;
}

std::optional<QString> takeHandOff(QByteArray& buffer, bool* error) {
    if (error) *error = false;
    if (buffer.size() < kLengthBytes) return std::nullopt;
    const quint32 length = qFromBigEndian<quint32>(buffer.constData());
    if (length > quint32(kHandOffMaxBytes)) {
        if (error) *error = true;
        return std::nullopt;
    }
    if (buffer.size() < kLengthBytes + qsizetype(length)) return std::nullopt;
    const QByteArray utf8 = buffer.mid(kLengthBytes, length);
    // A leading byte-order mark is part of the text, as sent; a sequence cut
    // off at the frame's end is an error, not something to wait for.
    QStringDecoder decode(QStringDecoder::Utf8,
                          QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless);
    QString text = decode(utf8);
    if (decode.hasError()) {
        if (error) *error = true;
        return std::nullopt;
    }
    buffer.remove(0, kLengthBytes + length);
    return text;
}

bool isPrivateFolder(const QString& path, uid_t uid) {
    struct stat st {};
    if (path.isEmpty() || ::lstat(QFile::encodeName(path).constData(), &st) != 0) return false;
    return S_ISDIR(st.st_mode) && st.st_uid == uid && (st.st_mode & 077) == 0;
}

QString socketFolder() {
    const uid_t uid = ::getuid();
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && isPrivateFolder(runtime, uid)) return QDir::cleanPath(runtime);
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!QDir::isAbsolutePath(cache)) cache = QDir::homePath() + QStringLiteral("/.cache");
    // Never the shared temporary folder, where anyone may make the name
    // first. The host's name is in it: a home shared between machines gives
    // each its own (a socket answers only on the machine that made it).
    const QString own = QDir::cleanPath(cache) + QStringLiteral("/qarvel");
    const QString folder = own + QStringLiteral("/run-") + QSysInfo::machineHostName();
    QDir().mkpath(cache);
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    ::mkdir(QFile::encodeName(folder).constData(), 0700);
    if (isPrivateFolder(folder, uid)) return folder;
    qCWarning(lcClient) << "single instance: not using" << folder
                        << "(not a folder of this user's alone); each start opens a window of its own";
    return {};
}

qint64 peerUid(qintptr descriptor) {
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (descriptor < 0 || ::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0) return -1;
    return credentials.uid;
}

QString commandText(const QStringList& arguments) {
    QStringList parts;
    for (const QString& a : arguments)
        parts << (a.contains(u' ') ? QStringLiteral("\"") + a + QStringLiteral("\"") : a);
    return parts.join(u' ');
}

SingleInstance::SingleInstance(QObject* parent, uid_t peer) : QObject(parent), peer_(peer) {}

SingleInstance::~SingleInstance() {
    if (server_) server_->close();
}

QString SingleInstance::serverName(const QString& programFolder) {
    const QString folder = socketFolder();
    if (folder.isEmpty()) return {};
    const QString key = QString::fromUtf8(config::kProgramName) + QStringLiteral("|BA1|") +
                        QString::number(::getuid()) + u'|' + programFolder;
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
    // A short ASCII name: the socket's path has to fit the platform's limit.
    return folder + QStringLiteral("/qarvel-BA1-%1").arg(QString::fromLatin1(hash));
}

HandOff SingleInstance::handOff(const QString& name, const QString& text, int timeoutMs, uid_t peer) {
    if (name.isEmpty()) return HandOff::NoInstance;
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(int(deadline.remainingTime()))) {
        return socket.error() == QLocalSocket::SocketTimeoutError ? HandOff::NoAnswer : HandOff::NoInstance;
    }
    // The user's file names are for the user's own window alone.
    if (peerUid(socket.socketDescriptor()) != qint64(peer)) {
        qCWarning(lcClient) << "single instance:" << name << "is served by another user; nothing handed over";
        socket.abort();
        return HandOff::NoInstance;
    }
    socket.write(encodeHandOff(text));
    if (!socket.waitForBytesWritten(int(deadline.remainingTime()))) return HandOff::NoAnswer;
    while (socket.bytesAvailable() < 1) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime()))) return HandOff::NoAnswer;
    }
    char answer = 0;
    socket.getChar(&answer);
    socket.disconnectFromServer();
    return answer == kAccepted ? HandOff::Delivered : HandOff::NoAnswer;
}

bool SingleInstance::listen(const QString& name) {
    if (name.isEmpty()) return false;
    if (!server_) {
        server_ = new QLocalServer(this);
        server_->setSocketOptions(QLocalServer::UserAccessOption);
        connect(server_, &QLocalServer::newConnection, this, &SingleInstance::accept);
    }
    // Someone answering holds the name: leave it to them (the listen would
    // put its socket in place of theirs). Otherwise a socket file there is
    // what a crashed window left behind.
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(500)) return false;
    QLocalServer::removeServer(name);
    return server_->listen(name);
}

bool SingleInstance::listening() const { return server_ && server_->isListening(); }

void SingleInstance::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        if (peerUid(socket->socketDescriptor()) != qint64(peer_)) {
            qCWarning(lcClient) << "single instance: refused a hand-off from another user";
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        // A sender that never completes its frame is dropped.
        QTimer::singleShot(5000, socket, [socket] { socket->abort(); });
        if (socket->bytesAvailable() > 0) readFrom(socket);
    }
}

void SingleInstance::readFrom(QLocalSocket* socket) {
    QByteArray buffer = socket->property("handOff").toByteArray() + socket->readAll();
    bool error = false;
    const std::optional<QString> text = takeHandOff(buffer, &error);
    if (error) {
        socket->abort();
        return;
    }
    if (!text) {
        socket->setProperty("handOff", buffer);
        return;
    }
    socket->setProperty("handOff", QByteArray());
    if (!isAcceptableTarget(*text)) {
        qCWarning(lcClient) << "single instance: refused a hand-off holding a control character:" << visibleText(*text);
        socket->abort();
        return;
    }
    socket->putChar(kAccepted);
    socket->flush();
    socket->disconnectFromServer();
    emit commandReceived(*text);
}

}  // namespace qarvel

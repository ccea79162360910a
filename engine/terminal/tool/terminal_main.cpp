// qarvel-terminal --folder PLAYER_FOLDER: the download service of one player
// folder. It fetches films into the cache folder the player's configuration
// names and serves them to the player over loopback; its port and token go
// into the player folder. It ends on SIGTERM or SIGINT (keeping what it
// fetched and its bookkeeping), when its player folder is gone, and when it
// has nothing left to fetch and no player has asked it anything for a while
// (--idle-ms shortens that while for tests).
#include "common/atomic_file.h"
#include "common/logging.h"
#include "common/program_files.h"
#include "engine/cache/film_index.h"
#include "engine/cache/player_config.h"
#include "engine/terminal/terminal_server.h"
#include "engine/cache/terminal_protocol.h"

#include <QCoreApplication>
#include <algorithm>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

// Long enough for a player between two films; films still arriving keep it on.
constexpr int kIdleMs = 60'000;

void onSignal(int) {
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(signalPipe[1], &c, 1);
}

QByteArray newToken() {
    QByteArray bytes(16, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
    return bytes.toHex();
}

int fail(const QString& why) {
    qCCritical(qarvel::lcEngine).noquote() << why;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    qarvel::installLogHandler();
    // The cache and the token are the user's alone.
    ::umask(077);
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--folder"));
    const QString folder = at > 0 && at + 1 < args.size() ? args[at + 1] : QString();
    if (!folder.startsWith(u'/')) return fail(QStringLiteral("usage: qarvel-terminal --folder ABSOLUTE_PLAYER_FOLDER"));
    // A folder that is not there (any more) is not brought back: nothing is served there.
    if (!QFileInfo(folder).isDir()) return fail(QStringLiteral("no player folder %1").arg(folder));
    const qsizetype idleAt = args.indexOf(QStringLiteral("--idle-ms"));
    const int idleMs = idleAt > 0 && idleAt + 1 < args.size() ? args[idleAt + 1].toInt() : kIdleMs;
    if (idleMs <= 0) return fail(QStringLiteral("--idle-ms takes a number of milliseconds"));
    const qarvel::ProgramFiles files = qarvel::ProgramFiles::ofPlayerFolder(folder);

    // One service per player folder; a lock left by a killed one is taken over.
    QLockFile lock(files.terminalLock);
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0)) {
        qCInfo(qarvel::lcEngine).noquote() << folder << "is already served";
        return 0;
    }

    // Without a configured folder, films go where the program keeps them.
    const QString programFolder = QFileInfo(QDir::cleanPath(folder)).path();
    const QString fallback = qarvel::ProgramFiles::inFolder(programFolder).cacheFolder;
    qarvel::engine::ensurePlayerConfig(files, fallback);
    const QString cacheFolder = qarvel::engine::readCachePath(files, fallback);
    if (!qarvel::makePrivateFolder(cacheFolder)) return fail(QStringLiteral("cannot create the cache folder %1").arg(cacheFolder));
    qarvel::engine::removeInterruptedIndexWrites(cacheFolder);

    auto cache = std::make_unique<qarvel::engine::FilmCache>();
    cache->setFolder(cacheFolder);
    qarvel::engine::TerminalServer server(*cache, newToken(), newToken());
    if (!server.listen()) return fail(QStringLiteral("cannot listen on the loopback address"));
    QString why;
    // A new file, made under this process's mask: a rewrite would keep the
    // mode of an old one, which may let others read the key.
    QFile::remove(files.terminalAddress);
    if (!qarvel::writeFileAtomically(
            files.terminalAddress, qarvel::engine::formatTerminalAddress({server.port(), server.token(), server.key()}),
            &why))
        return fail(why);

    if (::pipe(signalPipe) != 0) return fail(QStringLiteral("cannot watch signals"));
    QSocketNotifier signalWatch(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalWatch, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGINT, onSignal);
    std::signal(SIGPIPE, SIG_IGN);
    // A folder that is gone has nothing left to serve, nor has a service
    // that fetches nothing and is asked nothing. Nor has one whose address
    // is gone or another's (its folder deleted and made again between two
    // looks): no player finds it, and while it runs a player takes the
    // folder for served and starts no service of its own.
    const auto addressIsOurs = [&] {
        const auto written = qarvel::readWholeFile(files.terminalAddress);
        const auto parsed = written ? qarvel::engine::parseTerminalAddress(*written) : std::nullopt;
        return parsed && parsed->token == server.token();
    };
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &app, [&] {
        if (!QFileInfo::exists(folder) || !addressIsOurs()) app.quit();
        if (server.sinceLastAsked().count() >= idleMs && !server.fetching()) app.quit();
    });
    watch.start(std::min(1000, idleMs));

    const int rc = app.exec();
    server.stop();
    // The address is this start's only; the next start writes its own.
    if (QFileInfo::exists(folder) && addressIsOurs()) QFile::remove(files.terminalAddress);
    cache.reset();  // every fetch saves its bookkeeping
    return rc;
}

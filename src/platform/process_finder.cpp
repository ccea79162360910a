#include "platform/process_finder.h"

#include "common/detached_process.h"
#include "common/logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace qarvel::platform {

namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// What a killed process gets to vanish before a waiting end gives up on it.
constexpr milliseconds kAfterKill(1000);

int openProcess(qint64 id) { return int(::syscall(SYS_pidfd_open, pid_t(id), 0)); }
bool signalProcess(int descriptor, int signal) {
    return ::syscall(SYS_pidfd_send_signal, descriptor, signal, nullptr, 0) == 0;
}
// True when the process has ended within ms.
bool waitForEnd(int descriptor, milliseconds ms) {
    pollfd p{descriptor, POLLIN, 0};
    const int timeout = int(std::max<qint64>(0, ms.count()));
    int rc;
    do rc = ::poll(&p, 1, timeout);
    while (rc < 0 && errno == EINTR);
    return rc > 0;
}

QByteArray readProcFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The executable's path, from the link alone: a process's command line is
// whatever it chose to write there. The link of a process of this user is
// always readable (only a process made non-dumpable, which no helper is,
// hides it); an unreadable one is not taken for a helper. One system call
// per process: a play looks the service up among them all.
QByteArray executableOf(qint64 id) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/%lld/exe", static_cast<long long>(id));
    char target[PATH_MAX];
    const ssize_t n = ::readlink(link, target, sizeof target);
    if (n <= 0 || n == ssize_t(sizeof target)) return {};  // none, or cut short
    QByteArray exe(target, n);
    // A replaced executable still names its old path.
    const QByteArray deleted = " (deleted)";
    if (exe.endsWith(deleted)) exe.chop(deleted.size());
    return exe;
}

// The ids of the running processes, in order; read without a look at each entry.
QList<qint64> processIds() {
    QList<qint64> ids;
    DIR* proc = ::opendir("/proc");
    if (!proc) return ids;
    while (const dirent* entry = ::readdir(proc)) {
        char* end = nullptr;
        const long long id = std::strtoll(entry->d_name, &end, 10);
        if (end != entry->d_name && *end == '\0' && id > 0) ids << id;
    }
    ::closedir(proc);
    std::sort(ids.begin(), ids.end());
    return ids;
}

}  // namespace

qint64 ProcessFinder::findProcessByName(const QString& name, const QString& folder) {
    const QList<RunningProcess> found = processesNamed(name, folder);
    return found.isEmpty() ? 0 : found.first().id;
}

ProcessOwner processOwner(const QByteArray& status) {
    for (const QByteArray& line : status.split('\n')) {
        if (!line.startsWith("Uid:")) continue;
        const QList<QByteArray> ids = line.mid(4).simplified().split(' ');
        const auto id = [&ids](qsizetype i) {
            bool ok = false;
            const qint64 value = i < ids.size() ? ids[i].toLongLong(&ok) : -1;
            return ok ? value : -1;
        };
        return {id(0), id(1)};
    }
    return {};
}

bool sameFolder(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty()) return a == b;
    return QDir::cleanPath(a) == QDir::cleanPath(b);
}

QString folderArgument(const QByteArray& commandLine) {
    const QList<QByteArray> args = commandLine.split('\0');
    const QByteArray flag = kFolderArgument.toLatin1();
    const QByteArray joined = flag + '=';
    // The program's own name is never an option.
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == flag && i + 1 < args.size()) return QString::fromLocal8Bit(args[i + 1]);
        if (args[i].startsWith(joined)) return QString::fromLocal8Bit(args[i].mid(joined.size()));
    }
    return {};
}

LinuxProcessFinder::LinuxProcessFinder(QString helpersFolder, milliseconds grace)
    : helpersFolder_(std::move(helpersFolder)), grace_(grace) {
    if (helpersFolder_.isEmpty()) helpersFolder_ = QCoreApplication::applicationDirPath();
}

LinuxProcessFinder::~LinuxProcessFinder() {
    const QList<Ending> pending = std::exchange(endings_, {});
    for (const Ending& e : pending) finish(e);
}

QList<RunningProcess> LinuxProcessFinder::processesNamed(const QString& name, const QString& folder) {
    QList<RunningProcess> found;
    if (name.isEmpty()) return found;
    const QByteArray wanted = QFile::encodeName(name);
    const qint64 self = ::getuid();
    for (qint64 id : processIds()) {
        const QByteArray exePath = executableOf(id);
        if (exePath.mid(exePath.lastIndexOf('/') + 1) != wanted) continue;
        const QString exe = QFile::decodeName(exePath);
        const QString dir = QStringLiteral("/proc/%1").arg(id);
        // Root reads every link: the owner decides.
        const ProcessOwner owner = processOwner(readProcFile(dir + QStringLiteral("/status")));
        if (owner.real != self || owner.effective != self) continue;
        // Ended processes waiting for their parent have no command line.
        const QByteArray commandLine = readProcFile(dir + QStringLiteral("/cmdline"));
        if (commandLine.isEmpty()) continue;
        RunningProcess p{id, exe, folderArgument(commandLine)};
        if (!folder.isEmpty() && !sameFolder(p.folder, folder)) continue;
        found << p;
    }
    return found;
}

bool LinuxProcessFinder::endProcess(qint64 id, bool wait) {
    if (id <= 0) return false;
    const int descriptor = openProcess(id);
    if (descriptor < 0) return false;
    if (!signalProcess(descriptor, SIGTERM)) {
        ::close(descriptor);
        return false;
    }
    const Ending ending{descriptor, steady_clock::now() + grace_};
    if (wait) {
        finish(ending);
        return true;
    }
    endings_ << ending;
    QTimer::singleShot(grace_, this, [this, descriptor] {
        for (qsizetype i = 0; i < endings_.size(); ++i) {
            if (endings_[i].descriptor != descriptor) continue;
            finish(endings_.takeAt(i));
            return;
        }
    });
    return true;
}

void LinuxProcessFinder::finish(Ending ending) {
    const auto left = std::chrono::duration_cast<milliseconds>(ending.deadline - steady_clock::now());
    if (!waitForEnd(ending.descriptor, left) && signalProcess(ending.descriptor, SIGKILL))
        waitForEnd(ending.descriptor, kAfterKill);
    ::close(ending.descriptor);
}

bool LinuxProcessFinder::startHelper(const QString& name, const QString& folder) {
    const QFileInfo program(QDir(helpersFolder_).filePath(name));
    if (name.isEmpty() || folder.isEmpty() || !program.isFile() || !program.isExecutable()) return false;
    return startDetachedProcess(program.absoluteFilePath(), {kFolderArgument, folder});
}

bool startHelperProcess(ProcessFinder& processes, const QString& name, const QString& folder, HelperStart when) {
    if (when == HelperStart::UnlessRunning && processes.findProcessByName(name, folder) != 0) return true;
    if (processes.startHelper(name, folder)) return true;
    qCWarning(lcClient) << "the helper" << name << "could not be started for" << folder;
    return false;
}

}  // namespace qarvel::platform

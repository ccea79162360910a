#pragma once
// Finding, ending and starting the player's helper processes, behind an
// interface so that the link handlers can be tested without real processes.
// A helper serves one player folder, named by its "--folder" argument; two
// program folders never see, or end, each other's helpers.
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <chrono>

namespace qarvel::platform {

// The helper programs, by executable name.
inline const QString kTerminalProgram = QStringLiteral("qarvel-terminal");
inline const QString kPlayerProgram = QStringLiteral("qarvel-player");
// The argument that names the player folder a helper serves.
inline const QString kFolderArgument = QStringLiteral("--folder");

struct RunningProcess {
    qint64 id = 0;
    QString executable;  // its executable's path
    QString folder;      // its --folder argument, empty when it has none
};

class ProcessFinder {
public:
    virtual ~ProcessFinder() = default;
    // Running processes of this user whose executable's file name is name
    // and, when folder is not empty, that serve folder; lowest id first.
    // Another user's process is never one of them, whatever it calls itself.
    virtual QList<RunningProcess> processesNamed(const QString& name, const QString& folder) = 0;
    // Asks a process to end and kills it when it has not ended after the grace
    // time. wait: return only once it is gone (at most the grace time and a
    // little more); otherwise return at once. False when it could not be
    // signalled (it was gone, or belongs to someone else).
    virtual bool endProcess(qint64 id, bool wait) = 0;
    // Starts the helper program name serving folder, not waited for. False
    // when it could not be started.
    virtual bool startHelper(const QString& name, const QString& folder) = 0;

    // Id of the first of processesNamed, or 0 when there is none.
    qint64 findProcessByName(const QString& name, const QString& folder = {});
};

// Every helper process is started through here, so that each start is
// logged and none forgets the folder it serves.
enum class HelperStart {
    Always,         // the caller has just ended, or found no, helper of the folder
    UnlessRunning,  // a helper already serving the folder is enough
};
// Starts the helper program name serving folder (its "--folder" argument),
// not waited for. True when it started, or with UnlessRunning already ran;
// false, and a line in the log, when it could not be started.
bool startHelperProcess(ProcessFinder& processes, const QString& name, const QString& folder,
                        HelperStart when = HelperStart::UnlessRunning);

// The real and effective user ids of a process, from its /proc/PID/status
// text ("Uid:" line); -1 each when the text has none.
struct ProcessOwner {
    qint64 real = -1;
    qint64 effective = -1;
};
ProcessOwner processOwner(const QByteArray& status);

// The same folder, whatever separators end or double it.
bool sameFolder(const QString& a, const QString& b);
// The --folder argument in a process's NUL-separated command line (as
// /proc/PID/cmdline gives it), "--folder F" or "--folder=F"; empty when none.
QString folderArgument(const QByteArray& commandLine);

// Processes from /proc; ending sends SIGTERM, then SIGKILL after the grace
// time, through a process descriptor, so an id reused in between is never hit.
class LinuxProcessFinder final : public QObject, public ProcessFinder {
    Q_OBJECT
public:
    // helpersFolder: where the helper programs are; empty: this executable's folder.
    explicit LinuxProcessFinder(QString helpersFolder = {},
                                std::chrono::milliseconds grace = std::chrono::milliseconds(3000));
    // Pending ends are seen through: their rest of the grace time is waited
    // out and what still runs is killed, so no helper outlives a request to end.
    ~LinuxProcessFinder() override;

    QList<RunningProcess> processesNamed(const QString& name, const QString& folder) override;
    bool endProcess(qint64 id, bool wait) override;
    bool startHelper(const QString& name, const QString& folder) override;
    QString helpersFolder() const { return helpersFolder_; }

private:
    struct Ending {
        int descriptor = -1;
        std::chrono::steady_clock::time_point deadline;
    };
    void finish(Ending ending);

    QString helpersFolder_;
    std::chrono::milliseconds grace_;
    QList<Ending> endings_;
};

}  // namespace qarvel::platform

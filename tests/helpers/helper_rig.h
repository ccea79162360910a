#pragma once
// Real child processes named like the helpers, for the process tests: a
// helpers folder holding copies of the stand-in program under the helpers'
// names, and children started from it serving a given player folder.
#include "platform/process_finder.h"
#include "support/wait_until.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <vector>

namespace qarvel::test {

// One application object for the whole test program: some tests build the window.
inline QApplication* helperTestApp() {
    static int argc = 1;
    static char name[] = "helper_process_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* a = new QApplication(argc, argv);
    return a;
}

class HelperRig {
public:
    HelperRig() {
        for (const QString& name : {platform::kTerminalProgram, platform::kPlayerProgram}) {
            const QString copy = helpersFolder() + u'/' + name;
            QFile::copy(QStringLiteral(QARVEL_HELPER_STAND_IN), copy);
            QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
    }
    ~HelperRig() {
        for (auto& [id, child] : children_) {
            child->kill();
            child->waitForFinished(2000);
        }
    }
    QString helpersFolder() const { return dir_.path() + QStringLiteral("/bin"); }
    // A player folder of its own, with its trailing separator.
    QString folder(const QString& name) const {
        const QString path = dir_.path() + u'/' + name + u'/';
        QDir().mkpath(path);
        return path;
    }
    // Starts helper name serving folder; its id, 0 when it did not start.
    qint64 start(const QString& name, const QString& folder, bool stubborn = false) {
        QStringList args{platform::kFolderArgument, folder};
        if (stubborn) args << QStringLiteral("--stubborn");
        return startProgram(helpersFolder() + u'/' + name, args, folder);
    }
    // Starts program (a real helper of the build, say) with args, serving folder.
    qint64 startProgram(const QString& program, const QStringList& args, const QString& folder) {
        auto child = std::make_unique<QProcess>();
        child->start(program, args);
        if (!child->waitForStarted(5000)) return 0;
        // A stand-in that ignores SIGTERM says so once it does.
        if (args.contains(QStringLiteral("--stubborn")) && !child->waitForReadyRead(5000)) return 0;
        const qint64 id = child->processId();
        children_.emplace_back(id, std::move(child));
        // Running once its command line is its own, not the forking parent's.
        const QString name = QFileInfo(program).fileName();
        platform::LinuxProcessFinder finder(helpersFolder());
        waitUntil(
            [&] {
                for (const auto& p : finder.processesNamed(name, folder))
                    if (p.id == id) return true;
                return false;
            },
            5000);
        return id;
    }
    // True once the child with this id has ended (it is reaped here).
    bool ended(qint64 id, int ms = 5000) {
        QProcess* child = childWithId(id);
        return child && waitUntil([&] { return child->state() == QProcess::NotRunning; }, ms);
    }
    // Still running ms later.
    bool staysRunning(qint64 id, int ms = 300) {
        QProcess* child = childWithId(id);
        return child && !waitUntil([&] { return child->state() == QProcess::NotRunning; }, ms);
    }
    // Helpers started by the program itself are not children here.
    QList<platform::RunningProcess> running(const QString& name, const QString& folder) const {
        return platform::LinuxProcessFinder(helpersFolder()).processesNamed(name, folder);
    }
    // Ends what the program started, waiting for it.
    void endStarted(const QString& name, const QString& folder) {
        platform::LinuxProcessFinder finder(helpersFolder(), std::chrono::milliseconds(500));
        for (const auto& p : finder.processesNamed(name, folder)) finder.endProcess(p.id, true);
    }

private:
    QProcess* childWithId(qint64 id) {
        // The id is kept here: a finished QProcess forgets it.
        for (auto& [childId, child] : children_)
            if (childId == id) return child.get();
        return nullptr;
    }

    QTemporaryDir dir_;
    bool made_ = QDir().mkpath(dir_.path() + QStringLiteral("/bin"));
    std::vector<std::pair<qint64, std::unique_ptr<QProcess>>> children_;
};

}  // namespace qarvel::test

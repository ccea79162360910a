#include "common/detached_process.h"

#include <QProcess>

namespace qarvel {

bool startDetachedProcess(const QString& program, const QStringList& arguments, qint64* processId) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached(processId);
}

}  // namespace qarvel

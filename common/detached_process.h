#pragma once
// Starting a program that outlives its starter (the download service, say):
// an argument list, never a shell string, its standard streams on the null
// device and no other descriptor of the starter's, so it never holds its
// starter's pipes open (a test runner reading them would wait for it).
#include <QString>
#include <QStringList>

namespace qarvel {

// False when the program could not be started; it is not waited for.
bool startDetachedProcess(const QString& program, const QStringList& arguments, qint64* processId = nullptr);

}  // namespace qarvel

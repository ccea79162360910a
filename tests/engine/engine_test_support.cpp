#include "engine_test_support.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QFile>

namespace qarvel::engine::testing {

void ensureApplication() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "engine-tests";
    static char* argv[] = {name, nullptr};
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    new QApplication(argc, argv);
}

FetchTiming testFetchTiming() {
    FetchTiming timing;
    timing.firstRetryMs = 20;
    timing.longestRetryMs = 150;
    // Long enough that a loaded machine does not pass for a silent source.
    timing.stallMs = 1500;
    return timing;
}

QString clipPath(const QString& name) { return QString(ENGINE_TEST_MEDIA) + "/" + name; }

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString sha1Hex(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex());
}

}  // namespace qarvel::engine::testing

#include "web/web_environment.h"

#include "common/atomic_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QList>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <unistd.h>

namespace qarvel::web {

namespace {

QWebEngineProfile* g_profile = nullptr;

const char* const kDisabledFeatures[] = {"MediaSessionService", "HardwareMediaKeyHandling"};
const QByteArray kDisableFeatures = "--disable-features=";

}  // namespace

QByteArray chromiumFlags(const QByteArray& existing, bool runningAsRoot) {
    QList<QByteArray> flags = existing.simplified().split(' ');
    flags.removeAll(QByteArray());

    auto addFlag = [&flags](const QByteArray& flag) {
        if (!flags.contains(flag)) flags.append(flag);
    };
    addFlag("--process-per-site");
    if (runningAsRoot) addFlag("--no-sandbox");

    // Chromium reads only one --disable-features switch, so ours join an
    // existing one instead of standing beside it.
    qsizetype at = -1;
    for (qsizetype i = 0; i < flags.size(); ++i) {
        if (flags[i].startsWith(kDisableFeatures)) at = i;
    }
    if (at < 0) {
        flags.append(kDisableFeatures);
        at = flags.size() - 1;
    }
    QList<QByteArray> features = flags[at].mid(kDisableFeatures.size()).split(',');
    features.removeAll(QByteArray());
    for (const char* feature : kDisabledFeatures) {
        if (!features.contains(feature)) features.append(feature);
    }
    flags[at] = kDisableFeatures + features.join(',');
    return flags.join(' ');
}

void prepareWebEngineEnvironment() {
    // The software Qt Quick backend keeps animated pages from costing whole
    // cores under software OpenGL.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND")) qputenv("QT_QUICK_BACKEND", "software");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", chromiumFlags(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), ::geteuid() == 0));
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

QWebEngineProfile* createSharedProfile(const ProgramFiles& files) {
    if (g_profile) return g_profile;
    const QString& folder = files.browserProfile;
    makePrivateFolder(folder);
    // Owned by the application object: destroyed after the windows and their
    // pages, which must go first.
    auto* profile = new QWebEngineProfile(QStringLiteral("qarvel"), QCoreApplication::instance());
    profile->setPersistentStoragePath(folder);
    profile->setCachePath(folder + QStringLiteral("/cache"));
    profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    g_profile = profile;
    QObject::connect(profile, &QObject::destroyed, [] { g_profile = nullptr; });
    return profile;
}

QWebEngineProfile* sharedProfile() { return g_profile; }

void releaseSharedProfile() { delete g_profile; }

}  // namespace qarvel::web

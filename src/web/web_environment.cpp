#include "web/web_environment.h"

#include "common/atomic_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QList>
#include <QNetworkCookie>
#include <QThread>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <algorithm>
#include <unistd.h>

namespace qarvel::web {

namespace {

QWebEngineProfile* g_profile = nullptr;

// The engine keeps cookies that outlive the session in this file and writes
// their changes in batches, at the latest 30 s after a change, and when the
// profile goes. That last write runs on the engine's own threads, and an
// engine shut down right after the profile drops it (about one exit in thirty
// here): the service's newest cookie, a login, is lost.
QString g_cookieFile;
qint64 g_lastKeptCookieChangeMs = 0;  // steady clock, 0: none this session
constexpr qint64 kCookieBatchMs = 35000;
constexpr int kCookieWriteWaitMs = 1000;

QElapsedTimer& sessionClock() {
    static QElapsedTimer clock;
    if (!clock.isValid()) clock.start();
    return clock;
}

void noteCookieChange(const QNetworkCookie& cookie) {
    if (!cookie.isSessionCookie()) g_lastKeptCookieChangeMs = std::max<qint64>(1, sessionClock().elapsed());
}

QDateTime cookieFileWritten() { return QFileInfo(g_cookieFile).fileTime(QFileDevice::FileModificationTime); }

// Deletes the profile and, when a kept cookie changed within the last batch,
// waits (at most a second) for the engine to write the cookie file.
void deleteProfileAndKeepCookies(QWebEngineProfile* profile) {
    const bool pending = g_lastKeptCookieChangeMs > 0 &&
                         sessionClock().elapsed() - g_lastKeptCookieChangeMs < kCookieBatchMs;
    const QDateTime before = cookieFileWritten();
    delete profile;
    if (!pending) return;
    QElapsedTimer waited;
    waited.start();
    while (cookieFileWritten() == before && waited.elapsed() < kCookieWriteWaitMs) QThread::msleep(5);
}

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
    g_cookieFile = folder + QStringLiteral("/Cookies");
    g_lastKeptCookieChangeMs = 0;
    QObject::connect(profile->cookieStore(), &QWebEngineCookieStore::cookieAdded, profile, noteCookieChange);
    QObject::connect(profile->cookieStore(), &QWebEngineCookieStore::cookieRemoved, profile, noteCookieChange);
    QObject::connect(profile, &QObject::destroyed, [] { g_profile = nullptr; });
    return profile;
}

QWebEngineProfile* sharedProfile() { return g_profile; }

void releaseSharedProfile() {
    if (g_profile) deleteProfileAndKeepCookies(g_profile);
}

}  // namespace qarvel::web

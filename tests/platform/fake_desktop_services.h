#pragma once
// The desktop's screen saver and logind, as far as keeping the screen on
// goes, served on a test's private bus.
#include "support/wait_until.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QSet>
#include <QVariantMap>
#include <poll.h>
#include <unistd.h>

namespace qarvel::test {

class FakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    bool serveOn(QDBusConnection bus) {
        return bus.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), this,
                                  QDBusConnection::ExportAllSlots) &&
               bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver"));
    }
    int inhibitCalls = 0;
    QSet<uint> active;
    QString lastApplication, lastReason;
public slots:
    uint Inhibit(const QString& application, const QString& reason) {
        ++inhibitCalls;
        lastApplication = application;
        lastReason = reason;
        active.insert(++cookie_ + 100);
        return cookie_ + 100;
    }
    void UnInhibit(uint cookie) { active.remove(cookie); }

private:
    uint cookie_ = 0;
};

// logind hands out the write end of a pipe; the inhibition lasts while any
// copy of it is open, which the read end sees.
class FakeLogind : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    ~FakeLogind() override {
        if (readEnd_ >= 0) ::close(readEnd_);
    }
    bool serveOn(QDBusConnection bus) {
        return bus.registerObject(QStringLiteral("/org/freedesktop/login1"), this, QDBusConnection::ExportAllSlots) &&
               bus.registerService(QStringLiteral("org.freedesktop.login1"));
    }
    // True while the last lock handed out is held by someone.
    bool held() const {
        if (readEnd_ < 0) return false;
        pollfd p{readEnd_, POLLIN, 0};
        return ::poll(&p, 1, 0) == 0;  // EOF (POLLHUP) once every write end closed
    }
    int inhibitCalls = 0;
    QString lastWhat, lastMode;
public slots:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why, const QString& mode) {
        Q_UNUSED(who);
        Q_UNUSED(why);
        ++inhibitCalls;
        lastWhat = what;
        lastMode = mode;
        int fds[2];
        if (::pipe(fds) != 0) return {};
        if (readEnd_ >= 0) ::close(readEnd_);
        readEnd_ = fds[0];
        QDBusUnixFileDescriptor lock(fds[1]);  // a copy of its own
        ::close(fds[1]);
        return lock;
    }

private:
    int readEnd_ = -1;
};

inline const QString kMprisPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");

// A desktop's side of MPRIS: calls and property reads. The player answers on
// this thread's event loop, so calls are asynchronous and waited for with the
// loop running.
struct MprisClient {
    QDBusConnection bus;
    QString service;
    QDBusMessage call(const QString& interface, const QString& method, const QVariantList& args = {}) {
        QDBusMessage m =
            QDBusMessage::createMethodCall(service, QStringLiteral("/org/mpris/MediaPlayer2"), interface, method);
        m.setArguments(args);
        QDBusPendingCallWatcher watcher(bus.asyncCall(m));
        waitUntil([&] { return watcher.isFinished(); });
        return watcher.reply();
    }
    QDBusMessage player(const QString& method, const QVariantList& args = {}) {
        return call(kMprisPlayer, method, args);
    }
    QVariant property(const QString& interface, const QString& name) {
        const QDBusMessage reply =
            call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"), {interface, name});
        return reply.arguments().isEmpty() ? QVariant() : reply.arguments().first().value<QDBusVariant>().variant();
    }
    QVariant playerProperty(const QString& name) { return property(kMprisPlayer, name); }
    QVariantMap metadata() {
        QVariantMap m;
        playerProperty(QStringLiteral("Metadata")).value<QDBusArgument>() >> m;
        return m;
    }
};

// Collects the property changes a D-Bus object signals.
class PropertiesChangedSpy : public QObject {
    Q_OBJECT
public:
    QList<QVariantMap> changes;
public slots:
    void changed(const QString& interface, const QVariantMap& properties, const QStringList& invalidated) {
        Q_UNUSED(interface);
        Q_UNUSED(invalidated);
        changes << properties;
    }
};

}  // namespace qarvel::test

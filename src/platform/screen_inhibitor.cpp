#include "platform/screen_inhibitor.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace qarvel::platform {

namespace {

const QString kScreenSaverService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kScreenSaverPath = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString kApplication = QStringLiteral("qarvel");

}  // namespace

DBusScreenInhibitor::DBusScreenInhibitor(DesktopBus bus, QString reason, QObject* parent)
    : QObject(parent), bus_(std::move(bus)), reason_(std::move(reason)) {}

DBusScreenInhibitor::~DBusScreenInhibitor() { release(); }

void DBusScreenInhibitor::setInhibited(bool on) {
    if (on == wanted_) return;
    wanted_ = on;
    if (!on) {
        release();
    } else if (!asking_ && !inhibited()) {
        askScreenSaver();
    }
}

void DBusScreenInhibitor::askScreenSaver() {
    if (!bus_.session.isConnected()) return askLogind();
    QDBusMessage call = QDBusMessage::createMethodCall(kScreenSaverService, kScreenSaverPath, kScreenSaverService,
                                                       QStringLiteral("Inhibit"));
    call << kApplication << reason_;
    asking_ = true;
    auto* watcher = new QDBusPendingCallWatcher(bus_.session.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<uint> reply = *w;
        // No screen saver on this desktop (or it refused): logind keeps the machine awake instead.
        if (reply.isError() || reply.value() == 0) {
            asking_ = false;
            if (wanted_) askLogind();
            return;
        }
        asking_ = false;
        cookie_ = reply.value();
        if (!wanted_) release();  // stopped while the request was on its way
    });
}

void DBusScreenInhibitor::askLogind() {
    if (!bus_.system.isConnected()) return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
    call << QStringLiteral("idle") << kApplication << reason_ << QStringLiteral("block");
    asking_ = true;
    auto* watcher = new QDBusPendingCallWatcher(bus_.system.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        asking_ = false;
        const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *w;
        if (reply.isError() || !reply.value().isValid()) return;  // nobody to ask: the screen may blank
        idleLock_ = reply.value();
        if (!wanted_) release();
    });
}

void DBusScreenInhibitor::release() {
    if (cookie_ != 0) {
        QDBusMessage call = QDBusMessage::createMethodCall(kScreenSaverService, kScreenSaverPath, kScreenSaverService,
                                                           QStringLiteral("UnInhibit"));
        call << cookie_;
        bus_.session.send(call);
        cookie_ = 0;
    }
    idleLock_ = QDBusUnixFileDescriptor();
}

}  // namespace qarvel::platform

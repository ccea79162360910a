#include "platform/desktop_notifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>
#include <QVariantMap>

namespace qarvel::platform {

void notifyDesktop(const QString& title, const QString& text, std::function<void()> unanswered) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        if (unanswered) QTimer::singleShot(0, std::move(unanswered));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // Application name, no notice to replace, no icon, title, text, no
    // actions, no hints, the server's own time-out.
    call << QStringLiteral("qarvel") << 0u << QString() << title << text << QStringList() << QVariantMap() << -1;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 2000));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [unanswered = std::move(unanswered)](QDBusPendingCallWatcher* w) {
                         if (w->isError() && unanswered) unanswered();
                         w->deleteLater();
                     });
}

}  // namespace qarvel::platform

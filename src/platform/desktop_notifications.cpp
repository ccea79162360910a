#include "platform/desktop_notifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>
#include <QVariantMap>
#include <optional>

namespace qarvel::platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

// markup: the service reads the text as markup, so it goes escaped.
void send(QDBusConnection bus, const QString& title, const QString& text, bool markup,
          std::function<void()> unanswered) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    // Application name, no notice to replace, no icon, title, text, no
    // actions, no hints, the server's own time-out.
    call << QStringLiteral("qarvel") << 0u << QString() << title << (markup ? text.toHtmlEscaped() : text)
         << QStringList() << QVariantMap() << -1;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 2000));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [unanswered = std::move(unanswered)](QDBusPendingCallWatcher* w) {
                         if (w->isError() && unanswered) unanswered();
                         w->deleteLater();
                     });
}

}  // namespace

void notifyDesktop(const QString& title, const QString& text, std::function<void()> unanswered) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        if (unanswered) QTimer::singleShot(0, std::move(unanswered));
        return;
    }
    // The text names films and files and must show as it is; whether the
    // service reads markup is asked once.
    static std::optional<bool> readsMarkup;
    if (readsMarkup) {
        send(bus, title, text, *readsMarkup, std::move(unanswered));
        return;
    }
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(
        QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("GetCapabilities")), 2000));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [bus, title, text, unanswered = std::move(unanswered)](QDBusPendingCallWatcher* w) mutable {
                         const QDBusPendingReply<QStringList> reply = *w;
                         w->deleteLater();
                         if (reply.isError()) {
                             // No service: nobody shows it.
                             if (unanswered) unanswered();
                             return;
                         }
                         readsMarkup = reply.value().contains(QStringLiteral("body-markup"));
                         send(bus, title, text, *readsMarkup, std::move(unanswered));
                     });
}

}  // namespace qarvel::platform

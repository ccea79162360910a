#include "platform/power_off.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>

namespace qarvel::platform {

void LogindPowerOff::ShutDownComputer() {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"));
    call << false;  // interactive
    // Fire and forget: the window must not wait for the bus, and an error
    // (no logind, not allowed) changes nothing here.
    QDBusConnection::systemBus().asyncCall(call);
}

}  // namespace qarvel::platform

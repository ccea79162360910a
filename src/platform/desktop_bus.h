#pragma once
// The two message buses the desktop integration talks on: the session bus
// (media controls, the screen saver) and the system bus (logind). Tests hand
// in a private bus of their own for both.
#include <QDBusConnection>

namespace qarvel::platform {

struct DesktopBus {
    QDBusConnection session;
    QDBusConnection system;
};

// The machine's buses, as the program uses them.
inline DesktopBus machineDesktopBus() { return {QDBusConnection::sessionBus(), QDBusConnection::systemBus()}; }

}  // namespace qarvel::platform

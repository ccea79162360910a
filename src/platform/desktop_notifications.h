#pragma once
// A notice through the desktop's notification service
// (org.freedesktop.Notifications on the session bus), for desktops without a
// tray that shows balloons.
#include <QString>
#include <functional>

namespace qarvel::platform {

// Sends the notice without waiting; unanswered runs when no service takes it
// (no session bus, no notification service, an error answer), on the event
// loop, so the caller can show it another way.
void notifyDesktop(const QString& title, const QString& text, std::function<void()> unanswered);

}  // namespace qarvel::platform

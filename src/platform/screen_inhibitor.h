#pragma once
// Keeps the screen on while a film plays: no screen saver, no idle sleep.
// Behind an interface so that the wiring does not care how the desktop is
// asked, and tests can count the requests.
#include "platform/desktop_bus.h"

#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QString>

namespace qarvel::platform {

class ScreenInhibitor {
public:
    virtual ~ScreenInhibitor() = default;
    // Idempotent; asking twice holds one inhibition.
    virtual void setInhibited(bool on) = 0;
    // True once the desktop granted the inhibition (and it is still held).
    virtual bool inhibited() const = 0;
};

// org.freedesktop.ScreenSaver.Inhibit on the session bus; where no screen
// saver answers, logind's Inhibit("idle") on the system bus. Every call is
// asynchronous: the window never waits for the bus, and a bus without either
// service (or one that never answers) leaves the screen as it was.
class DBusScreenInhibitor final : public QObject, public ScreenInhibitor {
    Q_OBJECT
public:
    DBusScreenInhibitor(DesktopBus bus, QString reason, QObject* parent = nullptr);
    ~DBusScreenInhibitor() override;

    void setInhibited(bool on) override;
    bool inhibited() const override { return cookie_ != 0 || idleLock_.isValid(); }

private:
    void askScreenSaver();
    void askLogind();
    void release();

    DesktopBus bus_;
    QString reason_;
    bool wanted_ = false;
    bool asking_ = false;               // a request is on its way
    uint cookie_ = 0;                   // the screen saver's, 0 for none
    QDBusUnixFileDescriptor idleLock_;  // logind's; closing it ends the inhibition
};

}  // namespace qarvel::platform

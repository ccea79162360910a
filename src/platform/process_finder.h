#pragma once
// Finding and starting the player's helper processes, behind an interface so
// that the link handlers can be tested without real processes.
#include <QString>

namespace qarvel::platform {

class ProcessFinder {
public:
    virtual ~ProcessFinder() = default;
    // Id of the first running process whose executable name contains name
    // (exact case), or 0 when there is none.
    virtual qint64 findProcessByName(const QString& name) = 0;
    // Starts a program without arguments, minimised where the desktop allows,
    // and does not wait for it. False when it could not be started.
    virtual bool startMinimized(const QString& program) = 0;
    // Ends every running process whose executable name contains name; none
    // running is no failure.
    virtual void endProcessByName(const QString& name) = 0;
};

// The helper processes of this platform are not tracked yet: nothing is ever
// found, and a program is started only when its file is there.
class LinuxProcessFinder final : public ProcessFinder {
public:
    qint64 findProcessByName(const QString& name) override;
    bool startMinimized(const QString& program) override;
    void endProcessByName(const QString& name) override;
};

}  // namespace qarvel::platform

#pragma once
// Whether the player component can be created, and its repair. On this
// platform the component is libmpv; the interface keeps the start-up steps
// that depend on it testable.
#include <QString>

namespace qarvel::platform {

class PlayerComponent {
public:
    virtual ~PlayerComponent() = default;
    virtual bool canCreate() = 0;
    virtual bool componentFileExists() = 0;
    // Starts the repair of the component in the background; never waits.
    virtual void startRegistration() = 0;
};

class LinuxPlayerComponent final : public PlayerComponent {
public:
    // library: the shared library to look for; the default is the libmpv
    // the program was built against.
    LinuxPlayerComponent();
    explicit LinuxPlayerComponent(QString library);

    bool canCreate() override { return true; }
    // True only when the library loads and offers the player's entry point,
    // so a broken or missing libmpv is not reported as repairable.
    bool componentFileExists() override;
    void startRegistration() override {}

    const QString& library() const { return library_; }

private:
    QString library_;
};

}  // namespace qarvel::platform

#pragma once
// Whether the player component can be created, and its repair. On this
// platform the component is libmpv, linked into the program, so creation
// cannot fail for want of registration; the interface keeps the start-up
// steps that depend on it testable.
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
    bool canCreate() override { return true; }
    bool componentFileExists() override { return true; }
    void startRegistration() override {}
};

}  // namespace qarvel::platform

#pragma once
// Switching the computer off after the last film, behind an interface so that
// tests never shut anything down.
namespace qarvel::platform {

class PowerOff {
public:
    virtual ~PowerOff() = default;
    // Asks the system to power off and returns at once; a refusal is the
    // system's business (the program simply keeps running).
    virtual void ShutDownComputer() = 0;
};

// logind's Manager.PowerOff on the system bus, without the interactive
// authorisation prompt: a viewer who left the room cannot answer one.
class LogindPowerOff final : public PowerOff {
public:
    void ShutDownComputer() override;
};

}  // namespace qarvel::platform

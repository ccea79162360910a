#pragma once
// The window's access to the settings file, as an interface so that tests can
// answer from memory.
#include <QString>

namespace qarvel {
struct MainWindowState;
}

namespace qarvel::window {

class WindowSettings {
public:
    virtual ~WindowSettings() = default;
    virtual QString read(const QString& section, const QString& key, const QString& defaultText) = 0;
    virtual bool write(const QString& section, const QString& key, const QString& value) = 0;
};

// The settings file named by the window's `ConfigPath`, read at every call.
class ConfigFileSettings final : public WindowSettings {
public:
    explicit ConfigFileSettings(const MainWindowState& state) : state_(state) {}
    QString read(const QString& section, const QString& key, const QString& defaultText) override;
    bool write(const QString& section, const QString& key, const QString& value) override;

private:
    const MainWindowState& state_;
};

// A stored number; defaultValue when the text is not a whole number.
int readNumber(WindowSettings& settings, const QString& section, const QString& key, int defaultValue = 0);

}  // namespace qarvel::window

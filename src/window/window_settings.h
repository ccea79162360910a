#pragma once
// The window's access to the settings file, as an interface so that tests can
// answer from memory.
#include <QString>
#include <functional>

namespace qarvel {
struct MainWindowState;
}

namespace qarvel::window {

class WindowSettings {
public:
    virtual ~WindowSettings() = default;
    virtual QString read(const QString& section, const QString& key, const QString& defaultText) = 0;
    // False when the file could not be written; it is then as it was.
    [[nodiscard]] virtual bool write(const QString& section, const QString& key, const QString& value) = 0;
    // write() for the callers that have nothing else to do when it fails:
    // the failure goes to writeFailed (the user's one line and the log).
    void store(const QString& section, const QString& key, const QString& value);
    std::function<void(const QString& what)> writeFailed;
};

// The settings file named by the window's `ConfigPath`, read at every call.
class ConfigFileSettings final : public WindowSettings {
public:
    explicit ConfigFileSettings(const MainWindowState& state) : state_(state) {}
    QString read(const QString& section, const QString& key, const QString& defaultText) override;
    [[nodiscard]] bool write(const QString& section, const QString& key, const QString& value) override;

private:
    const MainWindowState& state_;
};

// A stored number; defaultValue when the text is not a whole number.
int readNumber(WindowSettings& settings, const QString& section, const QString& key, int defaultValue = 0);

}  // namespace qarvel::window

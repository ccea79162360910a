#include "window/window_settings.h"

#include "state/main_window_state.h"
#include "common/settings_file.h"

namespace qarvel::window {

QString ConfigFileSettings::read(const QString& section, const QString& key, const QString& defaultText) {
    return ReadSetting(state_.ConfigPath, section, key, defaultText);
}

bool ConfigFileSettings::write(const QString& section, const QString& key, const QString& value) {
    return WriteSetting(state_.ConfigPath, section, key, value);
}

void WindowSettings::store(const QString& section, const QString& key, const QString& value) {
    if (!write(section, key, value) && writeFailed) writeFailed(section + u'/' + key);
}

int readNumber(WindowSettings& settings, const QString& section, const QString& key, int defaultValue) {
    bool ok = false;
    const int value = settingNumber(settings.read(section, key, QStringLiteral("0")), &ok);
    return ok ? value : defaultValue;
}

}  // namespace qarvel::window

#include "common/settings_file.h"

#include "common/atomic_file.h"
#include "common/ini_document.h"

#include <QFileInfo>
#include <cmath>

namespace qarvel {

QString ReadSetting(const QString& path, const QString& section, const QString& key, const QString& defaultText) {
    const IniDocument document(readWholeFile(path).value_or(QByteArray()));
    return document.readString(section, key, defaultText);
}

bool WriteSetting(const QString& path, const QString& section, const QString& key, const QString& value) {
    const std::optional<QByteArray> bytes = readWholeFile(path);
    // An existing file that cannot be read must not be replaced by one that
    // holds only the new key.
    if (!bytes && QFileInfo::exists(path)) return false;
    IniDocument document(bytes.value_or(QByteArray()));
    if (!document.setValue(section, key, value)) return false;
    return writeFileAtomically(path, document.toBytes());
}

int settingNumber(const QString& text, bool* ok) {
    bool converted = false;
    const double v = text.trimmed().toDouble(&converted);
    if (!converted || !std::isfinite(v) || std::fabs(v) > 2147483647.0) {
        *ok = false;
        return 0;
    }
    *ok = true;
    return static_cast<int>(std::nearbyint(v));  // round half to even, like the original conversion
}

}  // namespace qarvel

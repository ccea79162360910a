#pragma once
// The settings file (config.dll in the program folder). Every write rewrites
// and closes the file, so every change is on disk when the call returns. A
// file is parsed once and kept while its inode, size and modification time
// stay the same, so a change by anyone else is seen by the next call.
#include <QList>
#include <QString>

namespace qarvel {

// The value of key in section, or defaultText when the file, the section or
// the key is missing. A key that exists with an empty value gives empty text,
// not the default. At most 254 bytes (GBK) of the value come back.
QString ReadSetting(const QString& path, const QString& section, const QString& key, const QString& defaultText);

// Stores key=value, creating the file and the section when they are missing;
// every other line keeps its bytes and its place. The file is replaced
// atomically. False, with the file unchanged, when it cannot be written (for
// example a read-only folder) or when a name or the value cannot be stored on
// one line.
[[nodiscard]] bool WriteSetting(const QString& path, const QString& section, const QString& key, const QString& value);

struct SettingValue {
    QString section;
    QString key;
    QString value;
};
// Stores several keys, in order, with one rewrite of the file: the same
// bytes as one WriteSetting after another, all or none of them (each rewrite
// waits for the disk, about a millisecond).
[[nodiscard]] bool WriteSettings(const QString& path, const QList<SettingValue>& values);

// A value "as a number", the one rule for every reader: blanks around it are
// allowed and a fraction rounds half to even; empty or non-numeric text, or a
// number out of range, gives ok = false.
int settingNumber(const QString& text, bool* ok);

}  // namespace qarvel

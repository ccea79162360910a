#pragma once
// Whole-file reads and all-or-nothing rewrites. Settings, record files and list
// pages are small and always rewritten in full, so a crash or a full disk must
// leave either the old or the new content, never half of it.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace qarvel {

// The file's bytes; nullopt when it does not exist or cannot be read.
std::optional<QByteArray> readWholeFile(const QString& path);

// Writes bytes to a temporary file beside path and renames it over path.
// False (and path untouched) when the folder or an existing file is not writable;
// then *why, when given, says what went wrong, naming the file.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* why = nullptr);

// Removes the temporary files that writes killed half-way left in folder:
// "<name>.XXXXXX" (six letters or digits) where name matches one of the
// wildcard patterns. Returns how many were removed.
int removeInterruptedWrites(const QString& folder, const QStringList& namePatterns);

}  // namespace qarvel

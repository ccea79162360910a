#pragma once
// Whole-file reads and all-or-nothing rewrites. Settings, record files and list
// pages are small and always rewritten in full, so a crash or a full disk must
// leave either the old or the new content, never half of it.
// What the program writes is the user's alone: files 0600, folders 0700.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace qarvel {

// The middle of a temporary file's name: "<name>.qarvel-tmp-XXXXXX". No user
// names a file so, which is what makes the clean-up safe.
inline constexpr char kTemporaryMarker[] = ".qarvel-tmp-";

// The file's bytes; nullopt when it does not exist or cannot be read.
std::optional<QByteArray> readWholeFile(const QString& path);

// Whether a rewrite waits for the disk before it replaces the file. Either
// way a crash of the program leaves the old or the new content.
enum class WriteDurability {
    // Survives a power cut: the user's records and settings.
    Synced,
    // Made again from other files at every start (the list pages): a power cut
    // may leave it empty until then, and no write waits for the disk for it.
    RebuiltAtStart,
};

// Writes bytes to a temporary file beside path (mode 0600) and renames it over
// path. False (and path untouched) when the folder or an existing file is not
// writable; then *why, when given, says what went wrong, naming the file.
[[nodiscard]] bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* why = nullptr,
                                       WriteDurability durability = WriteDurability::Synced);

// Makes the folder and any missing parents, each new one 0700; true when it is there.
bool makePrivateFolder(const QString& path);

// Removes the temporary files that writes killed half-way left in folder: names
// of the form above whose first part matches one of the wildcard patterns.
// Returns how many were removed.
int removeInterruptedWrites(const QString& folder, const QStringList& namePatterns);

}  // namespace qarvel

#include "common/settings_file.h"

#include "common/atomic_file.h"
#include "common/ini_document.h"

#include <QFile>
#include <QHash>
#include <cmath>
#include <mutex>
#include <sys/stat.h>
#include <time.h>

namespace qarvel {
namespace {

// What tells one version of a file from another. Every rewrite renames a new
// file into place, so the inode alone changes with each of ours; size and
// modification time catch other programs that write in place.
struct FileVersion {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    bool operator==(const FileVersion& o) const {
        return device == o.device && inode == o.inode && size == o.size && modified.tv_sec == o.modified.tv_sec &&
               modified.tv_nsec == o.modified.tv_nsec;
    }
};

std::optional<FileVersion> versionOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return FileVersion{st.st_dev, st.st_ino, st.st_size, st.st_mtim};
}

// The documents last read or written, by path. Start-up and the window read
// some twenty keys in a row; parsing a large file each time made start-up
// take seconds.
class DocumentCache {
public:
    // The document as the file holds it now; nullopt when it exists but cannot
    // be read. A missing file is an empty document.
    std::optional<IniDocument> load(const QString& path) {
        const std::optional<FileVersion> version = versionOf(path);
        if (!version) {
            if (QFile::exists(path)) return std::nullopt;
            forget(path);
            return IniDocument();
        }
        {
            const std::lock_guard lock(mutex_);
            const auto it = entries_.constFind(path);
            if (it != entries_.cend() && it->settled && it->version == *version) return it->document;
        }
        // The version is taken before the read: a file replaced in between is
        // read again next time.
        const std::optional<QByteArray> bytes = readWholeFile(path);
        if (!bytes) return std::nullopt;
        IniDocument document(*bytes);
        remember(path, *version, document, settled(*version));
        return document;
    }

    // After our own write: the file is new (a rename), so its inode alone
    // tells it from any later change.
    void stored(const QString& path, const IniDocument& document) {
        if (const std::optional<FileVersion> version = versionOf(path)) remember(path, *version, document, true);
    }

    void forget(const QString& path) {
        const std::lock_guard lock(mutex_);
        entries_.remove(path);
    }

private:
    static constexpr qsizetype kMostFiles = 8;
    struct Entry {
        FileVersion version;
        IniDocument document;
        bool settled = false;
    };

    // Modification times advance in clock ticks of a few milliseconds: a file
    // rewritten in place within the tick it was read in would look unchanged.
    // Such a recent file is read again until its time lies well behind.
    static bool settled(const FileVersion& version) {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        const double age =
            double(now.tv_sec - version.modified.tv_sec) + double(now.tv_nsec - version.modified.tv_nsec) / 1e9;
        return age > 0.1;
    }

    void remember(const QString& path, const FileVersion& version, const IniDocument& document, bool settled) {
        const std::lock_guard lock(mutex_);
        if (entries_.size() >= kMostFiles && !entries_.contains(path)) entries_.clear();
        entries_.insert(path, Entry{version, document, settled});
    }

    std::mutex mutex_;
    QHash<QString, Entry> entries_;
};

DocumentCache& documents() {
    static DocumentCache cache;
    return cache;
}

}  // namespace

QString ReadSetting(const QString& path, const QString& section, const QString& key, const QString& defaultText) {
    return documents().load(path).value_or(IniDocument()).readString(section, key, defaultText);
}

bool WriteSetting(const QString& path, const QString& section, const QString& key, const QString& value) {
    return WriteSettings(path, {{section, key, value}});
}

bool WriteSettings(const QString& path, const QList<SettingValue>& values) {
    // An existing file that cannot be read must not be replaced by one that
    // holds only the new keys.
    std::optional<IniDocument> document = documents().load(path);
    if (!document) return false;
    for (const SettingValue& v : values)
        if (!document->setValue(v.section, v.key, v.value)) return false;
    if (!writeFileAtomically(path, document->toBytes())) return false;
    documents().stored(path, *document);
    return true;
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

#include "engine/cached_film.h"

#include "engine/media_address.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qarvel::engine {

namespace {

enum class Claim { Fresh, Resume, Adopt, Conflict };

struct Examination {
    Claim claim = Claim::Conflict;
    FilmIndex index;
};

// Who holds name in folder: nobody, this film (partly or wholly), or another film.
Examination examine(const QString& folder, const QString& name, const FilmSource& source) {
    const QFileInfo data(QDir(folder).filePath(name));
    const auto index = loadFilmIndex(filmIndexPath(folder, name));
    if (index && index->name == name) {
        if (!data.exists()) return {Claim::Fresh, {}};
        if (index->key != source.key) return {Claim::Conflict, {}};
        if (source.size >= 0 && index->size >= 0 && index->size != source.size) return {Claim::Fresh, {}};
        return {Claim::Resume, *index};
    }
    if (!data.exists()) return {Claim::Fresh, {}};
    // A file we have no record of: ours only if it is exactly the film's length.
    if (data.isFile() && source.size >= 0 && data.size() == source.size) return {Claim::Adopt, {}};
    return {Claim::Conflict, {}};
}

QString alternateName(const FilmSource& source) {
    const QFileInfo info(source.name);
    const QString digest =
        QString::fromLatin1(QCryptographicHash::hash(source.key.toUtf8(), QCryptographicHash::Sha1).toHex().left(8));
    const QString suffix = info.completeSuffix();
    const QString stem = suffix.isEmpty() ? source.name : source.name.left(source.name.size() - suffix.size() - 1);
    return suffix.isEmpty() ? stem + "~" + digest : stem + "~" + digest + "." + suffix;
}

qint64 fileSize(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? qint64(st.st_size) : -1;
}

qint64 preadAll(int fd, char* buffer, qint64 length, qint64 offset) {
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = ::pread(fd, buffer + done, size_t(length - done), off_t(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

}  // namespace

CachedFilm::~CachedFilm() {
    if (m_fd >= 0) ::close(m_fd);
}

std::shared_ptr<CachedFilm> CachedFilm::open(const QString& folder, const FilmSource& source, QString* error) {
    auto fail = [error](const QString& why) {
        if (error) *error = why;
        return std::shared_ptr<CachedFilm>();
    };
    if (!isPlainFileName(source.name)) return fail("film name cannot be a file name");
    if (folder.isEmpty() || !QDir().mkpath(folder)) return fail("cannot create the cache folder " + folder);

    QString name = source.name;
    Examination found = examine(folder, name, source);
    if (found.claim == Claim::Conflict) {
        name = alternateName(source);
        found = examine(folder, name, source);
        if (found.claim == Claim::Conflict) found = {Claim::Fresh, {}};
    }

    std::shared_ptr<CachedFilm> film(new CachedFilm);
    film->m_name = name;
    film->m_key = source.key;
    film->m_urls = source.urls;
    film->m_path = QDir(folder).filePath(name);
    film->m_indexPath = filmIndexPath(folder, name);
    film->m_clock.start();

    const QByteArray nativePath = QFile::encodeName(film->m_path);
    int flags = O_RDWR | O_CREAT | O_CLOEXEC;
    if (found.claim == Claim::Fresh) flags |= O_TRUNC;
    film->m_fd = ::open(nativePath.constData(), flags, 0644);
    if (film->m_fd < 0) return fail("cannot open " + film->m_path + ": " + QString::fromLocal8Bit(strerror(errno)));

    film->m_size = source.size >= 0 ? source.size : found.index.size;
    const qint64 onDisk = fileSize(film->m_fd);
    if (film->m_size >= 0 && onDisk > film->m_size && ::ftruncate(film->m_fd, film->m_size) != 0) {
        return fail("cannot shorten " + film->m_path);
    }
    if (found.claim == Claim::Resume) {
        film->m_ranges = found.index.ranges;
        film->m_ranges.clip(std::min(onDisk, film->m_size >= 0 ? film->m_size : onDisk));
    } else if (found.claim == Claim::Adopt) {
        film->m_ranges.add(0, film->m_size);
    }
    // The bookkeeping exists before the first byte is written, so a data file
    // without it is never mistaken for a film of ours after a crash.
    if (QString why; !saveFilmIndex(film->m_indexPath, film->indexLocked(), &why)) {
        return fail("cannot write the cache bookkeeping of " + film->m_path + ": " + why);
    }
    film->m_condition = film->isComplete() ? FetchCondition::Complete : FetchCondition::Connecting;
    return film;
}

qint64 CachedFilm::size() const {
    std::lock_guard lock(m_mutex);
    return m_size;
}

bool CachedFilm::setSize(qint64 size) {
    std::lock_guard lock(m_mutex);
    if (size < 0) return false;
    if (m_size >= 0) return m_size == size;
    m_size = size;
    m_ranges.clip(size);
    return true;
}

qint64 CachedFilm::arrivedBytes() const {
    std::lock_guard lock(m_mutex);
    return m_ranges.coveredBytes();
}

bool CachedFilm::isComplete() const {
    std::lock_guard lock(m_mutex);
    return m_size >= 0 && m_ranges.covers(0, m_size);
}

int CachedFilm::progressPerMille() const {
    std::lock_guard lock(m_mutex);
    if (m_size <= 0) return 0;
    if (m_ranges.covers(0, m_size)) return 1000;
    return int(std::min<qint64>(999, m_ranges.coveredBytes() * 1000 / m_size));
}

std::optional<RangeSet::Range> CachedFilm::nextGap(qint64 from) const {
    std::lock_guard lock(m_mutex);
    return m_ranges.nextGap(from, m_size);
}

bool CachedFilm::hasArrived(qint64 offset) const {
    std::lock_guard lock(m_mutex);
    return m_ranges.contains(offset);
}

bool CachedFilm::write(qint64 offset, const char* data, qint64 length) {
    if (length <= 0) return true;
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = ::pwrite(m_fd, data + done, size_t(length - done), off_t(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    {
        std::lock_guard lock(m_mutex);
        m_ranges.add(offset, offset + length);
        m_meter.add(length, m_clock.elapsed());
    }
    m_arrived.notify_all();
    return true;
}

FilmIndex CachedFilm::indexLocked() const { return FilmIndex{m_name, m_key, m_size, m_ranges}; }

bool CachedFilm::saveIndex() {
    // Data first, then the record that says it is there.
    ::fdatasync(m_fd);
    FilmIndex index;
    {
        std::lock_guard lock(m_mutex);
        index = indexLocked();
    }
    return saveFilmIndex(m_indexPath, index);
}

void CachedFilm::setCondition(FetchCondition condition) {
    m_condition = condition;
    if (condition == FetchCondition::Failed) wakeReaders();
}

qint64 CachedFilm::bytesPerSecond() const {
    std::lock_guard lock(m_mutex);
    return m_meter.bytesPerSecond(m_clock.elapsed());
}

void CachedFilm::setWantHandler(std::function<void(qint64)> handler) {
    std::lock_guard lock(m_mutex);
    m_wantHandler = std::move(handler);
}

void CachedFilm::wakeReaders() {
    { std::lock_guard lock(m_mutex); }
    m_arrived.notify_all();
}

qint64 CachedFilm::read(qint64 offset, char* buffer, qint64 length, const std::atomic<bool>& cancel) {
    using namespace std::chrono_literals;
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (cancel.load() || m_condition.load() == FetchCondition::Failed) return -1;
        if (m_size >= 0 && offset >= m_size) return 0;
        const qint64 available = m_ranges.contiguousFrom(offset);
        if (available > 0) {
            lock.unlock();
            return preadAll(m_fd, buffer, std::min(length, available), offset);
        }
        // Tell the fetch where we are stuck (again after each wait, in case it was
        // between retries); it moves there if it is elsewhere.
        if (m_wantHandler) m_wantHandler(offset);
        m_arrived.wait_for(lock, 250ms);
    }
}

}  // namespace qarvel::engine

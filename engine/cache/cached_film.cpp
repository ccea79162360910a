#include "engine/cache/cached_film.h"

#include "common/atomic_file.h"
#include "engine/cache/media_address.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
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
    if (fd_ >= 0) ::close(fd_);
}

std::shared_ptr<CachedFilm> CachedFilm::open(const QString& folder, const FilmSource& source, QString* error) {
    auto fail = [error](const QString& why) {
        if (error) *error = why;
        return std::shared_ptr<CachedFilm>();
    };
    if (!isPlainFileName(source.name)) return fail("film name cannot be a file name");
    if (folder.isEmpty() || !makePrivateFolder(folder)) return fail("cannot create the cache folder " + folder);

    QString name = source.name;
    Examination found = examine(folder, name, source);
    if (found.claim == Claim::Conflict) {
        name = alternateName(source);
        found = examine(folder, name, source);
        if (found.claim == Claim::Conflict) found = {Claim::Fresh, {}};
    }

    std::shared_ptr<CachedFilm> film(new CachedFilm);
    film->name_ = name;
    film->key_ = source.key;
    film->urls_ = source.urls;
    film->path_ = QDir(folder).filePath(name);
    film->indexPath_ = filmIndexPath(folder, name);
    film->clock_.start();

    const QByteArray nativePath = QFile::encodeName(film->path_);
    int flags = O_RDWR | O_CREAT | O_CLOEXEC;
    if (found.claim == Claim::Fresh) flags |= O_TRUNC;
    film->fd_ = ::open(nativePath.constData(), flags, 0644);
    if (film->fd_ < 0) return fail("cannot open " + film->path_ + ": " + QString::fromLocal8Bit(strerror(errno)));

    film->size_ = source.size >= 0 ? source.size : found.index.size;
    const qint64 onDisk = fileSize(film->fd_);
    if (film->size_ >= 0 && onDisk > film->size_ && ::ftruncate(film->fd_, film->size_) != 0) {
        return fail("cannot shorten " + film->path_);
    }
    if (found.claim == Claim::Resume) {
        film->ranges_ = found.index.ranges;
        film->ranges_.clip(std::min(onDisk, film->size_ >= 0 ? film->size_ : onDisk));
    } else if (found.claim == Claim::Adopt) {
        film->ranges_.add(0, film->size_);
    }
    // The bookkeeping exists before the first byte is written, so a data file
    // without it is never mistaken for a film of ours after a crash.
    if (QString why; !saveFilmIndex(film->indexPath_, film->indexLocked(), &why)) {
        return fail("cannot write the cache bookkeeping of " + film->path_ + ": " + why);
    }
    film->condition_ = film->isComplete() ? FetchCondition::Complete : FetchCondition::Connecting;
    return film;
}

qint64 CachedFilm::size() const {
    std::lock_guard lock(mutex_);
    return size_;
}

bool CachedFilm::setSize(qint64 size) {
    {
        std::lock_guard lock(mutex_);
        if (size < 0) return false;
        if (size_ >= 0) return size_ == size;
        size_ = size;
        ranges_.clip(size);
    }
    arrived_.notify_all();
    return true;
}

qint64 CachedFilm::waitForSize(std::chrono::milliseconds limit, const std::atomic<bool>& cancel) {
    using namespace std::chrono_literals;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::unique_lock lock(mutex_);
    for (;;) {
        if (size_ >= 0) return size_;
        if (cancel.load() || condition_.load() == FetchCondition::Failed) return -1;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return -1;
        // In slices: a cancel flag set without a wake-up is still seen.
        arrived_.wait_for(lock, std::min<std::chrono::steady_clock::duration>(deadline - now, 250ms));
    }
}

qint64 CachedFilm::arrivedBytes() const {
    std::lock_guard lock(mutex_);
    return ranges_.coveredBytes();
}

bool CachedFilm::isComplete() const {
    std::lock_guard lock(mutex_);
    return size_ >= 0 && ranges_.covers(0, size_);
}

int CachedFilm::progressPerMille() const {
    std::lock_guard lock(mutex_);
    if (size_ <= 0) return 0;
    if (ranges_.covers(0, size_)) return 1000;
    return int(std::min<qint64>(999, ranges_.coveredBytes() * 1000 / size_));
}

std::optional<RangeSet::Range> CachedFilm::nextGap(qint64 from) const {
    std::lock_guard lock(mutex_);
    return ranges_.nextGap(from, size_);
}

bool CachedFilm::hasArrived(qint64 offset) const {
    std::lock_guard lock(mutex_);
    return ranges_.contains(offset);
}

bool CachedFilm::write(qint64 offset, const char* data, qint64 length) {
    if (length <= 0) return true;
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = ::pwrite(fd_, data + done, size_t(length - done), off_t(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    {
        std::lock_guard lock(mutex_);
        ranges_.add(offset, offset + length);
        meter_.add(length, clock_.elapsed());
    }
    arrived_.notify_all();
    return true;
}

FilmIndex CachedFilm::indexLocked() const { return FilmIndex{name_, key_, size_, ranges_}; }

bool CachedFilm::saveIndex() {
    // Data first, then the record that says it is there.
    ::fdatasync(fd_);
    FilmIndex index;
    {
        std::lock_guard lock(mutex_);
        index = indexLocked();
    }
    return saveFilmIndex(indexPath_, index);
}

void CachedFilm::setCondition(FetchCondition condition) {
    condition_ = condition;
    if (condition == FetchCondition::Failed) wakeReaders();
}

qint64 CachedFilm::bytesPerSecond() const {
    std::lock_guard lock(mutex_);
    return meter_.bytesPerSecond(clock_.elapsed());
}

void CachedFilm::setWantHandler(std::function<void(qint64)> handler) {
    std::lock_guard lock(mutex_);
    wantHandler_ = std::move(handler);
}

void CachedFilm::wakeReaders() {
    { std::lock_guard lock(mutex_); }
    arrived_.notify_all();
}

qint64 CachedFilm::read(qint64 offset, char* buffer, qint64 length, const std::atomic<bool>& cancel) {
    using namespace std::chrono_literals;
    std::unique_lock lock(mutex_);
    for (;;) {
        if (cancel.load() || condition_.load() == FetchCondition::Failed) return -1;
        if (size_ >= 0 && offset >= size_) return 0;
        const qint64 available = ranges_.contiguousFrom(offset);
        if (available > 0) {
            lock.unlock();
            return preadAll(fd_, buffer, std::min(length, available), offset);
        }
        // Tell the fetch where we are stuck (again after each wait, in case it was
        // between retries); it moves there if it is elsewhere.
        if (wantHandler_) wantHandler_(offset);
        arrived_.wait_for(lock, 250ms);
    }
}

}  // namespace qarvel::engine

#pragma once
// One film in the cache folder: its data file, which bytes have arrived, and the
// readers waiting for more. Written by the fetch thread, read by the player's
// demuxer thread, queried by the user-interface thread; every member is safe to
// call from any of them.
#include "engine/cache/fetch_condition.h"
#include "engine/cache/film_index.h"
#include "engine/cache/range_set.h"
#include "engine/cache/transfer_meter.h"

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QUrl>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace qarvel::engine {

// A film to cache: what it is, where it can be fetched from, how it is stored.
struct FilmSource {
    QString name;      // wished file name in the cache folder
    QString key;       // identity: the qvod hash, or the HTTP address
    qint64 size = -1;  // -1 until the source tells
    QList<QUrl> urls;  // fetched from the first that answers
};

class CachedFilm {
public:
    ~CachedFilm();
    CachedFilm(const CachedFilm&) = delete;
    CachedFilm& operator=(const CachedFilm&) = delete;

    // Opens or creates the film's file in folder, resuming from its bookkeeping.
    // The file name is the source's name unless another film already holds it.
    static std::shared_ptr<CachedFilm> open(const QString& folder, const FilmSource& source, QString* error);

    QString path() const { return path_; }
    QString name() const { return name_; }
    QString key() const { return key_; }
    QList<QUrl> urls() const { return urls_; }

    qint64 size() const;
    // Sets the size the source reported and wakes those waiting for it; false
    // when it contradicts the known size.
    bool setSize(qint64 size);
    // The size once the source has told it; -1 when the film failed, cancel is
    // set or limit passed first. Woken by setSize(), not polled.
    qint64 waitForSize(std::chrono::milliseconds limit, const std::atomic<bool>& cancel);
    qint64 arrivedBytes() const;
    bool isComplete() const;
    // 0..1000; 1000 only when every byte is there.
    int progressPerMille() const;
    std::optional<RangeSet::Range> nextGap(qint64 from) const;
    bool hasArrived(qint64 offset) const;

    // Fetch side. write() stores bytes at offset and wakes waiting readers.
    bool write(qint64 offset, const char* data, qint64 length);
    bool saveIndex();
    FetchCondition condition() const { return condition_.load(); }
    void setCondition(FetchCondition condition);
    qint64 bytesPerSecond() const;
    // Called (from a reader's thread) with the offset a reader waits for.
    void setWantHandler(std::function<void(qint64)> handler);

    // Reader side: like read(2), but waits until data at offset has arrived, the
    // film failed (-1), cancel is set (-1), or offset is the end (0).
    qint64 read(qint64 offset, char* buffer, qint64 length, const std::atomic<bool>& cancel);
    void wakeReaders();

private:
    CachedFilm() = default;
    FilmIndex indexLocked() const;

    QString path_;
    QString indexPath_;
    QString name_;
    QString key_;
    QList<QUrl> urls_;
    int fd_ = -1;

    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    qint64 size_ = -1;
    RangeSet ranges_;
    TransferMeter meter_;
    QElapsedTimer clock_;
    std::function<void(qint64)> wantHandler_;
    std::atomic<FetchCondition> condition_{FetchCondition::Connecting};
};

}  // namespace qarvel::engine

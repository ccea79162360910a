#include "playback/play_session.h"

namespace qarvel::playback {

QString EpisodeKey::text() const { return QStringLiteral("%1-%2-%3-").arg(id).arg(source).arg(episode) + title; }

QString EpisodeKey::titleForNext() const { return title.section(u'-', 0, 0); }

void PlaySession::clearNext() {
    next_ = NextEpisode::NotAsked;
    nextLink_.clear();
    nextAddress_.clear();
}

void PlaySession::startNetworkEpisode(const EpisodeKey& key, int resumeAt) {
    source_ = PlaySource::NetworkEpisode;
    episode_ = key;
    clearNext();
    nextBuffered_ = false;
    resumePosition_ = resumeAt;
    resumeDone_ = false;
    recordKind_ = RecordKind::NetworkItem;
    recordKey_ = QString::number(key.id);
}

void PlaySession::startWebPlayerEpisode(const EpisodeKey& key) {
    source_ = PlaySource::WebPlayer;
    episode_ = key;
    clearNext();
    recordKind_ = RecordKind::NetworkItem;
    recordKey_.reset();
}

void PlaySession::handOverToWebPlayer() {
    source_ = PlaySource::WebPlayer;
    recordKind_ = RecordKind::NetworkItem;
    recordKey_.reset();
}

void PlaySession::startLocalFile(const QString& path, int resumeAt) {
    source_ = PlaySource::LocalFile;
    episode_.reset();
    clearNext();
    nextBuffered_ = false;
    resumePosition_ = resumeAt;
    resumeDone_ = false;
    recordKind_ = RecordKind::LocalFile;
    recordKey_ = path;
}

void PlaySession::recordLocalFile(const QString& path) {
    source_ = PlaySource::LocalFile;
    recordKind_ = RecordKind::LocalFile;
    recordKey_ = path;
}

void PlaySession::stopped() {
    positionReached_ = 0;
    resumePosition_ = 0;
}

void PlaySession::ended() {
    positionReached_ = 1;
    resumePosition_ = 1;
}

void PlaySession::nextNotAsked() {
    next_ = NextEpisode::NotAsked;
    nextLink_.clear();
}

void PlaySession::nextNotYet() {
    clearNext();
    next_ = NextEpisode::NotYet;
}

void PlaySession::nextLast() {
    clearNext();
    next_ = NextEpisode::Last;
}

void PlaySession::nextAvailable(const QString& link, const QString& address) {
    next_ = NextEpisode::Available;
    nextLink_ = link;
    nextAddress_ = address;
    nextBuffered_ = false;
}

void PlaySession::nextFailed() {
    clearNext();
    next_ = NextEpisode::Failed;
    retryTicks_ = 0;
    nextBuffered_ = true;
}

bool PlaySession::retryTick() {
    if (++retryTicks_ < 2) return false;
    retryTicks_ = 0;
    return true;
}

}  // namespace qarvel::playback

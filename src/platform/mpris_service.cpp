#include "platform/mpris_service.h"

#include "common/build_config.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QCoreApplication>
#include <QUrl>
#include <algorithm>

namespace qarvel::platform {

namespace {

const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QDBusObjectPath kNoTrack(QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"));
constexpr qint64 kMicroseconds = 1000000;

}  // namespace

MprisService::MprisService(MediaControls& controls, QDBusConnection bus, QString desktopEntry, QObject* parent)
    : QObject(parent),
      controls_(controls),
      bus_(std::move(bus)),
      desktopEntry_(std::move(desktopEntry)),
      trackId_(kNoTrack) {
    new MprisRootAdaptor(this);
    new MprisPlayerAdaptor(this);
    if (!bus_.isConnected()) return;
    if (!bus_.registerObject(kMprisPath, this, QDBusConnection::ExportAdaptors)) return;
    // A second program (another program folder) takes a name of its own.
    for (const QString& name :
         {kMprisName, kMprisName + QStringLiteral(".instance") + QString::number(QCoreApplication::applicationPid())}) {
        if (bus_.registerService(name)) {
            busName_ = name;
            break;
        }
    }
    refresh();
}

MprisService::~MprisService() {
    if (!bus_.isConnected()) return;
    if (!busName_.isEmpty()) bus_.unregisterService(busName_);
    bus_.unregisterObject(kMprisPath);
}

QString MprisService::playbackStatus() const {
    switch (controls_.status()) {
    case PlaybackStatus::Playing: return QStringLiteral("Playing");
    case PlaybackStatus::Paused: return QStringLiteral("Paused");
    case PlaybackStatus::Stopped: break;
    }
    return QStringLiteral("Stopped");
}

QVariantMap MprisService::metadata() const {
    QVariantMap m;
    m.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(trackId_));
    const MediaInfo info = controls_.media();
    if (info.address.isEmpty()) return m;
    if (info.lengthSeconds > 0) m.insert(QStringLiteral("mpris:length"), info.lengthSeconds * kMicroseconds);
    if (!info.title.isEmpty()) m.insert(QStringLiteral("xesam:title"), info.title);
    if (info.episode > 0) m.insert(QStringLiteral("xesam:trackNumber"), info.episode);
    // Only addresses a desktop could open itself; a service's own links stay inside.
    const QUrl url = QUrl::fromUserInput(info.address);
    if (url.isValid() && (url.isLocalFile() || url.scheme().startsWith(QLatin1String("http"))))
        m.insert(QStringLiteral("xesam:url"), url.toString());
    return m;
}

void MprisService::seeked(qint64 microseconds) {
    if (!bus_.isConnected()) return;
    QDBusMessage signal = QDBusMessage::createSignal(kMprisPath, kPlayerInterface, QStringLiteral("Seeked"));
    signal << microseconds;
    bus_.send(signal);
}

void MprisService::refresh() {
    const QString address = controls_.media().address;
    if (address != trackAddress_) {
        trackAddress_ = address;
        trackId_ = address.isEmpty()
                       ? kNoTrack
                       : QDBusObjectPath(QStringLiteral("/org/qarvel/track/") + QString::number(++tracks_));
    }
    QVariantMap now;
    now.insert(QStringLiteral("PlaybackStatus"), playbackStatus());
    now.insert(QStringLiteral("Metadata"), metadata());
    now.insert(QStringLiteral("Volume"), controls_.volume() / 100.0);
    now.insert(QStringLiteral("Rate"), controls_.rate());
    now.insert(QStringLiteral("CanGoNext"), controls_.canGoNext());
    now.insert(QStringLiteral("CanGoPrevious"), controls_.canGoPrevious());
    now.insert(QStringLiteral("CanPlay"), !address.isEmpty());
    now.insert(QStringLiteral("CanPause"), !address.isEmpty());
    now.insert(QStringLiteral("CanSeek"), controls_.media().lengthSeconds > 0);
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it)
        if (lastPlayer_.value(it.key()) != it.value()) changed.insert(it.key(), it.value());
    lastPlayer_ = now;
    if (changed.isEmpty() || !bus_.isConnected() || busName_.isEmpty()) return;
    QDBusMessage signal = QDBusMessage::createSignal(kMprisPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    bus_.send(signal);
}

MprisRootAdaptor::MprisRootAdaptor(MprisService* service) : QDBusAbstractAdaptor(service), service_(service) {}

QString MprisRootAdaptor::identity() const { return QString::fromUtf8(config::kProgramName); }

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService* service) : QDBusAbstractAdaptor(service), service_(service) {}

void MprisPlayerAdaptor::setVolume(double volume) {
    c().setVolume(int(std::clamp(volume, 0.0, 1.0) * 100.0 + 0.5));
    service_->refresh();
}

void MprisPlayerAdaptor::setRate(double rate) {
    // 0 would mean a pause, which has its own method; NaN means nothing.
    if (!(rate > 0)) return;
    c().setRate(std::clamp(rate, kMinimumRate, kMaximumRate));
    service_->refresh();
}

// Every command is followed by a refresh, so the desktop sees its effect
// without waiting for the next tick.
void MprisPlayerAdaptor::PlayPause() {
    c().playPause();
    service_->refresh();
}
void MprisPlayerAdaptor::Play() {
    c().play();
    service_->refresh();
}
void MprisPlayerAdaptor::Pause() {
    c().pause();
    service_->refresh();
}
void MprisPlayerAdaptor::Stop() {
    c().stop();
    service_->refresh();
}
void MprisPlayerAdaptor::Next() {
    c().next();
    service_->refresh();
}
void MprisPlayerAdaptor::Previous() {
    c().previous();
    service_->refresh();
}

void MprisPlayerAdaptor::Seek(qlonglong offset) {
    const MediaInfo info = c().media();
    if (info.lengthSeconds <= 0) return;
    const qint64 target = c().positionSeconds() + offset / kMicroseconds;
    // Past the end is the next episode, when there is one.
    if (target >= info.lengthSeconds && c().canGoNext()) return Next();
    const qint64 seconds = std::clamp<qint64>(target, 0, info.lengthSeconds);
    c().seekTo(seconds);
    service_->seeked(seconds * kMicroseconds);
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& trackId, qlonglong position) {
    const MediaInfo info = c().media();
    // A request for another track, or outside this one, is ignored.
    if (trackId != service_->trackId() || position < 0 || position / kMicroseconds > info.lengthSeconds) return;
    c().seekTo(position / kMicroseconds);
    service_->seeked(position);
}

}  // namespace qarvel::platform

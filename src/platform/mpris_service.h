#pragma once
// The player on the session bus as an MPRIS 2 media player
// (org.mpris.MediaPlayer2 and its .Player interface), so that media keys and
// the desktop's media controls reach it. Every call goes to MediaControls;
// refresh() tells the desktop what changed since the last one.
#include "platform/media_controls.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace qarvel::platform {

inline const QString kMprisName = QStringLiteral("org.mpris.MediaPlayer2.qarvel");
inline const QString kMprisPath = QStringLiteral("/org/mpris/MediaPlayer2");

class MprisService : public QObject {
    Q_OBJECT
public:
    // desktopEntry: the launcher entry's name without ".desktop".
    MprisService(MediaControls& controls, QDBusConnection bus, QString desktopEntry, QObject* parent = nullptr);
    ~MprisService() override;

    // The bus name taken ("org.mpris.MediaPlayer2.qarvel", or with
    // ".instance<pid>" when another instance holds that); empty when the bus
    // is not there.
    QString busName() const { return busName_; }
    // Reads the controls and signals the properties that changed.
    void refresh();

    MediaControls& controls() { return controls_; }
    QString desktopEntry() const { return desktopEntry_; }
    QDBusObjectPath trackId() const { return trackId_; }
    QVariantMap metadata() const;
    QString playbackStatus() const;
    void seeked(qint64 microseconds);

private:
    MediaControls& controls_;
    QDBusConnection bus_;
    QString desktopEntry_;
    QString busName_;
    QDBusObjectPath trackId_;
    QString trackAddress_;
    quint64 tracks_ = 0;
    QVariantMap lastPlayer_;  // Player properties as last signalled
};

// org.mpris.MediaPlayer2: the program itself.
class MprisRootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ canQuit)
    Q_PROPERTY(bool CanRaise READ canRaise)
    Q_PROPERTY(bool HasTrackList READ hasTrackList)
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QString DesktopEntry READ desktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ supportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ supportedMimeTypes)
public:
    MprisRootAdaptor(MprisService* service);
    bool canQuit() const { return false; }
    bool canRaise() const { return true; }
    bool hasTrackList() const { return false; }
    QString identity() const;
    QString desktopEntry() const { return service_->desktopEntry(); }
    QStringList supportedUriSchemes() const { return {}; }
    QStringList supportedMimeTypes() const { return {}; }
public slots:
    void Raise() { service_->controls().raise(); }
    void Quit() {}

private:
    MprisService* service_;
};

// org.mpris.MediaPlayer2.Player: transport, position, volume, what plays.
class MprisPlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(double Rate READ rate WRITE setRate)
    Q_PROPERTY(double MinimumRate READ minimumRate)
    Q_PROPERTY(double MaximumRate READ maximumRate)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(double Volume READ volume WRITE setVolume)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(bool CanGoNext READ canGoNext)
    Q_PROPERTY(bool CanGoPrevious READ canGoPrevious)
    Q_PROPERTY(bool CanPlay READ canPlay)
    Q_PROPERTY(bool CanPause READ canPlay)
    Q_PROPERTY(bool CanSeek READ canSeek)
    Q_PROPERTY(bool CanControl READ canControl)
public:
    MprisPlayerAdaptor(MprisService* service);
    QString playbackStatus() const { return service_->playbackStatus(); }
    double rate() const { return c().rate(); }
    void setRate(double rate);
    double minimumRate() const { return kMinimumRate; }
    double maximumRate() const { return kMaximumRate; }
    QVariantMap metadata() const { return service_->metadata(); }
    double volume() const { return c().volume() / 100.0; }
    void setVolume(double volume);
    qlonglong position() const { return c().positionSeconds() * 1000000; }
    bool canGoNext() const { return c().canGoNext(); }
    bool canGoPrevious() const { return c().canGoPrevious(); }
    bool canPlay() const { return !c().media().address.isEmpty(); }
    bool canSeek() const { return c().media().lengthSeconds > 0; }
    bool canControl() const { return true; }
public slots:
    void PlayPause();
    void Play();
    void Pause();
    void Stop();
    void Next();
    void Previous();
    void Seek(qlonglong offset);
    void SetPosition(const QDBusObjectPath& trackId, qlonglong position);
    void OpenUri(const QString&) {}
signals:
    void Seeked(qlonglong position);

private:
    MediaControls& c() const { return service_->controls(); }
    MprisService* service_;
};

}  // namespace qarvel::platform

#pragma once
// The player on libmpv: films play through the player's render interface in a
// GL widget; network films are fetched into the cache folder while they play and
// are read from there.
#include "common/program_files.h"
#include "engine/cache/film_cache.h"
#include "engine/cache/media_address.h"
#include "engine/media_names.h"
#include "engine/play_state.h"
#include "engine/player.h"
#include "engine/cache/terminal_protocol.h"

#include <QHash>
#include <QPointer>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class QTimer;
struct mpv_handle;
struct mpv_event;

namespace qarvel::engine {

class FullScreenController;
class TerminalClient;
class VideoRenderer;

struct MpvPlayerOptions {
    ProgramFiles files;       // empty: the files in the folder of the executable
    QStringList sources;      // empty: the build's service address + "seed/"
    bool videoOutput = true;  // false: no picture (vo=null) and a plain black widget
    bool audioOutput = true;  // false: no sound device (ao=null)
    FetchTiming fetchTiming;  // patience of the film cache's fetches
    // Starts the download service (qarvel-terminal) of the player folder. Set:
    // network films are fetched and served by that service, which is started
    // again when it stops answering. Unset: the engine fetches them itself.
    std::function<void()> startTerminal = {};
    // The player folder whose download service is asked, at every request
    // ("qvodw" may name another than files'). Unset: files.playerFolder.
    std::function<QString()> terminalFolder = {};
};

class MpvPlayer : public Player {
    Q_OBJECT
public:
    using Options = MpvPlayerOptions;

    explicit MpvPlayer(Options options = {}, QObject* parent = nullptr);
    ~MpvPlayer() override;

    // False when libmpv could not be started; every member is then a harmless no-op.
    bool isReady() const { return mpv_ != nullptr; }
    // The download service has proved itself to this player: films start without waiting for its answers.
    bool knowsService() const;
    // The picture's render context exists (prepareForFilms, or a film's load).
    bool pictureReady() const { return pictureMade_; }
    // The picture is drawn in memory and painted as an image (X11 with a software rasterizer).
    bool pictureInMemory() const;
    // The last failure (opening a film, a source, the player itself), for logs.
    QString errorText() const { return errorText_; }
    FilmCache& filmCache() { return cache_; }

    QString url() const override { return url_; }
    void setUrl(const QString& address) override;
    bool mute() const override { return mute_; }
    void setMute(bool muted) override;
    void setFullScreen(bool on) override;
    bool fullScreen() const override;
    int volume() const override { return volume_; }
    void setVolume(int volume) override;
    int duration() const override;
    int transferRate() const override;
    int position() const override;
    void setPosition(int seconds) override;
    void play() override;
    void pause() override;
    void stop() override;
    PlayState playState() const override;
    void setDisplayMode(int mode) override;
    int bitRate() const override;
    void setSoundChannel(int mode) override;
    int downloadProgress() const override;
    void preloadNext(const QString& address) override;
    void setAdPageUrl(const QString& address) override { adPageUrl_ = address; }
    QString adPageUrl() const override { return adPageUrl_; }
    QWidget* videoWidget() override { return widget_; }
    void prepareForFilms() override;
    QStringList sources() const override { return sources_; }
    void setSources(const QStringList& sources) override { sources_ = sources; }
    QString programFolder() const override { return files_.folder; }
    QString cacheFolder() const override { return cache_.folder(); }
    void configurationChanged() override;
    double speed() const override { return speed_; }
    void setSpeed(double speed) override;
    QList<AudioTrack> audioTracks() const override { return audioTracks_; }
    void setAudioTrack(int id) override;
    bool captureFrame(const QString& path) override;
    QList<SubtitleTrack> subtitleTracks() const override { return subtitleTracks_; }
    void setSubtitleTrack(int id) override;
    bool addSubtitleFile(const QString& path) override;
    // On (the default): films are decoded by the graphics hardware where a
    // decoder there fits them, else in software; off: always in software.
    void setHardwareDecoding(bool on);

    // The player's own value of a property as text, read at once (empty when
    // it has none); for logs and tests.
    QString propertyText(const char* name) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // A film plays and its first picture is drawn (with no video output: it plays).
    void firstFrame();
    // A frame was put into the picture window on screen.
    void pictureShown();
    // The film of the current address cannot be played; why is the player's
    // own reason (for logs).
    void filmFailed(const QString& why);

private:
    enum class Observed : quint64 {
        TimePos = 1,
        Duration,
        FileSize,
        VideoBitrate,
        AudioBitrate,
        Pause,
        PausedForCache,
        Seeking,
        EofReached,
        Volume,
        Mute,
        TrackList
    };

    bool startCore(const Options& options);
    void observe(const char* name, Observed id, int format);
    bool check(int rc, const char* what);
    void command(std::initializer_list<QByteArray> args, quint64 replyId = 0);
    void setProperty(const char* name, bool value);
    void setProperty(const char* name, double value);
    void setProperty(const char* name, const QString& value);

    static void onWakeup(void* self);
    void drainEvents();
    void handleEvent(const mpv_event& event);
    void handlePropertyChange(const mpv_event& event);
    void handleEndFile(const mpv_event& event);

    void startLoad();
    void openNetworkFilm(const FilmSource& source, const QUrl& direct);
    enum class Reading { FromDisk, OverNetwork };
    void loadFile(const QString& target, Reading reading = Reading::OverNetwork);
    void fail(const QString& why);
    bool isCurrentEntryStarted() const;
    void forgetFilm();
    void onSizeKnown(const QString& streamId, bool cacheable);
    void onFetchEnded(const QString& streamId);
    std::optional<FilmSource> networkSourceFor(const MediaAddress& address) const;
    // The download service's side of a network film.
    void openThroughTerminal(const FilmSource& source, const QUrl& direct);
    void onTerminalAnswer(const std::optional<TerminalFilm>& film);
    void loadFromTerminal();
    void pollTerminal();
    void recoverTerminal();
    PlayerSnapshot snapshot() const;
    void applyDisplayMode();
    bool finishCapture(const mpv_event& event);  // false: not a capture's reply
    void loadSubtitleFile(const QString& path, bool show, const QString& language);
    void preparePicture();
    void noPicture(const QString& why);  // the player goes on without a picture
    void announceFirstFrame();

    mpv_handle* mpv_ = nullptr;
    FilmCache cache_;
    VideoRenderer* renderer_ = nullptr;
    bool pictureMade_ = false;  // the renderer's render context exists
    QPointer<QWidget> widget_;
    FullScreenController* fullScreen_ = nullptr;
    std::atomic<bool> wakeupPosted_{false};

    ProgramFiles files_;
    QStringList sources_;
    QString adPageUrl_;
    QString errorText_;
    int displayMode_ = int(DisplayMode::ZoomToFit);
    QString videoFilter_;

    QString url_;
    MediaAddress address_;
    LoadPhase phase_ = LoadPhase::Empty;
    std::shared_ptr<CachedFilm> film_;  // network film of the current address
    QString streamId_;
    QUrl directUrl_;  // opened by the player itself, not cached
    bool playingDirect_ = false;
    bool opened_ = false;        // the player has opened the current film
    quint64 loadNumber_ = 0;     // counts loadfile commands
    qint64 expectedEntry_ = -1;  // the player's id of the film the latest load added
    qint64 entryId_ = -1;        // that id once the film has started
    bool firstFrameDue_ = false;
    bool pictureSinceLoad_ = false;  // drawn since the latest load
    std::optional<int> pendingSeek_;

    // Network films through the download service.
    TerminalClient* terminal_ = nullptr;
    QTimer* terminalPoll_ = nullptr;
    std::optional<TerminalFilm> remote_;  // the film of the current address in the service
    FilmSource remoteSource_;
    QUrl remoteDirect_;
    bool statusAsked_ = false;
    bool recovering_ = false;
    bool awaitingOpen_ = false;  // the service's answer to opening the current film is still to come
    int recoveries_ = 0;         // of the current film, so a film that cannot play is not reloaded forever

    // Mirrors of the player's properties, updated from its events.
    double timePos_ = -1;
    double duration_ = 0;
    qint64 fileSize_ = 0;
    double videoBitrate_ = 0;
    double audioBitrate_ = 0;
    bool paused_ = false;
    bool pausedForCache_ = false;
    bool seeking_ = false;
    bool eofReached_ = false;
    int volume_ = 100;
    bool mute_ = false;
    QList<AudioTrack> audioTracks_;
    QList<SubtitleTrack> subtitleTracks_;
    QList<SubtitleFile> besideSubtitles_;  // of the local film being opened, loaded once it is open
    double speed_ = 1.0;                   // the player keeps it from film to film

    quint64 captures_ = 0;                  // counts captureFrame commands
    QHash<quint64, QString> capturePaths_;  // reply id -> file, while it is written
};

}  // namespace qarvel::engine

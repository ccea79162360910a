#pragma once
// The player on libmpv: films play through the player's render interface in a
// GL widget; network films are fetched into the cache folder while they play and
// are read from there.
#include "common/program_files.h"
#include "engine/film_cache.h"
#include "engine/media_address.h"
#include "engine/play_state.h"
#include "engine/player.h"

#include <QPointer>
#include <QWidget>
#include <atomic>
#include <memory>
#include <optional>

struct mpv_handle;
struct mpv_event;

namespace qarvel::engine {

class FullScreenController;
class VideoRenderer;

struct MpvPlayerOptions {
    ProgramFiles files;       // empty: the files in the folder of the executable
    QStringList sources;      // empty: the build's service address + "seed/"
    bool videoOutput = true;  // false: no picture (vo=null) and a plain black widget
    bool audioOutput = true;  // false: no sound device (ao=null)
    FetchTiming fetchTiming;  // patience of the film cache's fetches
};

class MpvPlayer : public Player {
    Q_OBJECT
public:
    using Options = MpvPlayerOptions;

    explicit MpvPlayer(Options options = {}, QObject* parent = nullptr);
    ~MpvPlayer() override;

    // False when libmpv could not be started; every member is then a harmless no-op.
    bool isReady() const { return m_mpv != nullptr; }
    // The last failure (opening a film, a source, the player itself), for logs.
    QString errorText() const { return m_errorText; }
    FilmCache& filmCache() { return m_cache; }

    QString url() const override { return m_url; }
    void setUrl(const QString& address) override;
    bool mute() const override { return m_mute; }
    void setMute(bool muted) override;
    void setFullScreen(bool on) override;
    bool fullScreen() const override;
    int volume() const override { return m_volume; }
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
    void setAdPageUrl(const QString& address) override { m_adPageUrl = address; }
    QString adPageUrl() const override { return m_adPageUrl; }
    QWidget* videoWidget() override { return m_widget; }
    QStringList sources() const override { return m_sources; }
    void setSources(const QStringList& sources) override { m_sources = sources; }
    QString programFolder() const override { return m_files.folder; }
    QString cacheFolder() const override { return m_cache.folder(); }
    void configurationChanged() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // The first picture of a film is ready (with no video output: playback began).
    void firstFrame();

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
        Mute
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
    void loadFile(const QString& target);
    void fail(const QString& why);
    bool isCurrentEntryStarted() const;
    void forgetFilm();
    void onSizeKnown(const QString& streamId, bool cacheable);
    void onFetchEnded(const QString& streamId);
    std::optional<FilmSource> networkSourceFor(const MediaAddress& address) const;
    PlayerSnapshot snapshot() const;
    void applyDisplayMode();

    mpv_handle* m_mpv = nullptr;
    FilmCache m_cache;
    VideoRenderer* m_renderer = nullptr;
    QPointer<QWidget> m_widget;
    FullScreenController* m_fullScreen = nullptr;
    std::atomic<bool> m_wakeupPosted{false};

    ProgramFiles m_files;
    QStringList m_sources;
    QString m_adPageUrl;
    QString m_errorText;
    int m_displayMode = int(DisplayMode::ZoomToFit);
    QString m_videoFilter;

    QString m_url;
    MediaAddress m_address;
    LoadPhase m_phase = LoadPhase::Empty;
    std::shared_ptr<CachedFilm> m_film;  // network film of the current address
    QString m_streamId;
    QUrl m_directUrl;  // opened by the player itself, not cached
    bool m_playingDirect = false;
    bool m_opened = false;        // the player has opened the current film
    quint64 m_loadNumber = 0;     // counts loadfile commands
    qint64 m_expectedEntry = -1;  // the player's id of the film the latest load added
    qint64 m_entryId = -1;        // that id once the film has started
    bool m_firstFrameDue = false;
    std::optional<int> m_pendingSeek;

    // Mirrors of the player's properties, updated from its events.
    double m_timePos = -1;
    double m_duration = 0;
    qint64 m_fileSize = 0;
    double m_videoBitrate = 0;
    double m_audioBitrate = 0;
    bool m_paused = false;
    bool m_pausedForCache = false;
    bool m_seeking = false;
    bool m_eofReached = false;
    int m_volume = 100;
    bool m_mute = false;
};

}  // namespace qarvel::engine

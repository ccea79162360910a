#pragma once
// The player component as the rest of the program sees it: the members of the
// player control, their value types and the state codes. Everything is called on
// the user-interface thread; no member blocks it.
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QWidget;

namespace qarvel::engine {

// State codes reported by playState(); the status poll maps each to its text.
enum class PlayState : int {
    Idle = 0,
    Stopped = 1,
    Paused = 2,
    Playing = 3,
    Buffering = 4,
    Waiting = 5,
    PlayEnded = 6,
    PreparingToRead = 7,
    Reconnecting = 8,
    DownloadingSeed = 9,
    Connecting = 10,
    Stopping = 11,
};

// Picture fit for setDisplayMode.
enum class DisplayMode : int { Stretch = 0, ZoomToFit = 1, Ratio4x3 = 2, Ratio5x4 = 3, Ratio16x9 = 4 };
// Sound routing for setSoundChannel (3 is not a mode).
enum class SoundChannel : int { Mixed = 0, Left = 1, Right = 2, LeftToAll = 4, RightToAll = 5 };

// One sound track of the film, as the player lists it.
struct AudioTrack {
    int id = 0;        // the player's track number, for setAudioTrack
    QString language;  // as the film names it ("chi", "eng"), may be empty
    QString title;     // may be empty
    bool selected = false;
};
// A subtitle track carries the same: its language, its title (a file's name
// for one loaded from a file) and whether it shows.
using SubtitleTrack = AudioTrack;

// Speeds the player offers; the pitch stays natural at each.
inline constexpr double kSlowestSpeed = 0.5;
inline constexpr double kFastestSpeed = 2.0;

class Player : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Player() override = default;

    // Media address; "" means nothing loaded. Setting it and calling play() starts a film.
    virtual QString url() const = 0;
    virtual void setUrl(const QString& address) = 0;
    virtual bool mute() const = 0;
    virtual void setMute(bool muted) = 0;
    // true enters full screen, false leaves it (a no-op when not in full screen).
    virtual void setFullScreen(bool on) = 0;
    virtual bool fullScreen() const = 0;
    // 0..100.
    virtual int volume() const = 0;
    virtual void setVolume(int volume) = 0;
    // Length in seconds, 0 until known.
    virtual int duration() const = 0;
    // Current fetch speed in KB/s; 0 when nothing is being fetched.
    virtual int transferRate() const = 0;
    // Seconds played; setting it seeks. Read back right after a set it gives the
    // requested position until the seek has happened.
    virtual int position() const = 0;
    virtual void setPosition(int seconds) = 0;
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    virtual PlayState playState() const = 0;
    virtual void setDisplayMode(int mode) = 0;
    // Media bit rate in kbit/s, 0 until known.
    virtual int bitRate() const = 0;
    virtual void setSoundChannel(int mode) = 0;
    // Share of the film that has arrived, 0..1000; 1000 for a local file.
    virtual int downloadProgress() const = 0;
    // Starts fetching another address into the cache ahead of time.
    virtual void preloadNext(const QString& address) = 0;
    virtual void setAdPageUrl(const QString& address) = 0;
    virtual QString adPageUrl() const = 0;

    // Additions beyond the player control; harmless no-ops unless a player
    // implements them.
    // Playback speed, 1.0 normal, kSlowestSpeed..kFastestSpeed.
    virtual double speed() const { return 1.0; }
    virtual void setSpeed(double) {}
    // The sound tracks of the film that is open.
    virtual QList<AudioTrack> audioTracks() const { return {}; }
    virtual void setAudioTrack(int) {}
    // The subtitle tracks of the film that is open, its own and those loaded
    // from files; id 0 shows none.
    virtual QList<SubtitleTrack> subtitleTracks() const { return {}; }
    virtual void setSubtitleTrack(int) {}
    // Loads a subtitle file for the film that is open and shows it; false
    // when no film is open.
    virtual bool addSubtitleFile(const QString&) { return false; }
    // Starts saving the picture that shows (the film's own frame, nothing
    // drawn over it) as a PNG file; frameCaptured tells how it went. False
    // when no picture shows.
    virtual bool captureFrame(const QString&) { return false; }

    // The widget that stands where the player control stands; may be null in fakes.
    virtual QWidget* videoWidget() = 0;
    // Makes what the first film needs ahead of it (the picture's render
    // context, the download service's proof); a film loaded before makes
    // what it needs as it loads.
    virtual void prepareForFilms() {}

    // Configuration. Sources are HTTP base addresses (ending in "/") against which
    // "qvod://" addresses resolve: source + HASH + "/" + NAME.
    virtual QStringList sources() const = 0;
    virtual void setSources(const QStringList& sources) = 0;
    // The program folder; the engine keeps its files in the player's folder in it.
    virtual QString programFolder() const = 0;
    // The cache folder the engine currently stores films in.
    virtual QString cacheFolder() const = 0;
    // Re-reads the cache folder from the configuration files (after the settings
    // dialog changed it).
    virtual void configurationChanged() = 0;

signals:
    // Raised when full screen is entered or left, also by Esc or a double click.
    void fullScreenChanged(bool on);
    // A captureFrame ended: the file was written (saved) or not.
    void frameCaptured(const QString& path, bool saved);
};

}  // namespace qarvel::engine

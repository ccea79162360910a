#include "engine/mpv_player.h"

#include "common/build_config.h"
#include "common/logging.h"
#include "engine/cache_stream.h"
#include "engine/cache/film_index.h"
#include "engine/full_screen.h"
#include "engine/picture_sound.h"
#include "engine/cache/player_config.h"
#include "engine/terminal_client.h"
#include "engine/track_list.h"
#include "engine/video_renderer.h"
#include "engine/video_surface.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QTimer>
#include <QWidget>
#include <clocale>
#include <cmath>
#include <mpv/client.h>

namespace qarvel::engine {

namespace {

// Replies to loadfile carry this plus the number of the load; older loads' replies are stale.
constexpr quint64 kLoadReplyBase = quint64(1) << 32;

// The playlist entry id a loadfile reply names, -1 when it names none.
qint64 entryIdOf(const mpv_event_command* reply) {
    if (!reply || reply->result.format != MPV_FORMAT_NODE_MAP) return -1;
    const mpv_node_list* map = reply->result.u.list;
    for (int i = 0; i < map->num; ++i) {
        if (qstrcmp(map->keys[i], "playlist_entry_id") == 0 && map->values[i].format == MPV_FORMAT_INT64) {
            return map->values[i].u.int64;
        }
    }
    return -1;
}
// Replies to a frame capture carry this plus its number.
constexpr quint64 kCaptureReplyBase = quint64(1) << 48;
constexpr int kLargestRate = 32767;  // the rate is a small integer
// How often the download service is asked how a film fares.
constexpr int kTerminalPollMs = 500;
// How long a new player looks for the address of a service that is starting.
constexpr int kProvePatienceMs = 5000;
// Reloads of one film after the service was lost, before it counts as failed.
constexpr int kMostRecoveries = 3;

QString defaultSource() { return QString(config::kServiceBase) + "seed/"; }

// Hardware decoders known to decode correctly; where none fits the film (or
// the machine has none) the player decodes in software without a word.
constexpr char kHardwareDecoding[] = "auto-safe";

}  // namespace

MpvPlayer::MpvPlayer(Options options, QObject* parent) : Player(parent), cache_(options.fetchTiming) {
    files_ =
        options.files.folder.isEmpty() ? ProgramFiles::inFolder(QCoreApplication::applicationDirPath()) : options.files;
    sources_ = options.sources.isEmpty() ? QStringList{defaultSource()} : options.sources;
    connect(&cache_, &FilmCache::sizeKnown, this, &MpvPlayer::onSizeKnown);
    connect(&cache_, &FilmCache::fetchEnded, this, &MpvPlayer::onFetchEnded);

    if (!ensurePlayerConfig(files_, files_.cacheFolder)) {
        errorText_ = "cannot create the player configuration in " + files_.playerFolder;
    }
    configurationChanged();
    removeInterruptedIndexWrites(cache_.folder());
    if (options.startTerminal) {
        auto folder = options.terminalFolder;
        auto addressFile = [folder, own = files_.playerFolder] {
            const QString named = folder ? folder() : QString();
            return ProgramFiles::ofPlayerFolder(named.isEmpty() ? own : named).terminalAddress;
        };
        terminal_ = new TerminalClient(addressFile, options.startTerminal, this);
        terminalPoll_ = new QTimer(this);
        terminalPoll_->setInterval(kTerminalPollMs);
        connect(terminalPoll_, &QTimer::timeout, this, &MpvPlayer::pollTerminal);
    }

    if (!startCore(options)) {
        if (mpv_) mpv_terminate_destroy(mpv_);
        mpv_ = nullptr;
    }
    if (!widget_) {
        auto* blank = new QWidget;
        blank->setObjectName("QvodC");
        blank->setAutoFillBackground(true);
        blank->setPalette(QPalette(Qt::black));
        widget_ = blank;
    }
    widget_->installEventFilter(this);
    fullScreen_ = new FullScreenController(widget_, this);
    connect(fullScreen_, &FullScreenController::changed, this, &Player::fullScreenChanged);
}

MpvPlayer::~MpvPlayer() {
    if (fullScreen_) fullScreen_->setFullScreen(false);
    delete widget_.data();
    if (renderer_) renderer_->shutdown();
    if (mpv_) {
        mpv_set_wakeup_callback(mpv_, nullptr, nullptr);
        // Cancels every stream read that still waits for data.
        mpv_terminate_destroy(mpv_);
        mpv_ = nullptr;
    }
    delete renderer_;
}

bool MpvPlayer::check(int rc, const char* what) {
    if (rc >= 0) return true;
    errorText_ = QString("%1: %2").arg(what, mpv_error_string(rc));
    qCWarning(lcEngine, "%s", qPrintable(errorText_));
    return false;
}

bool MpvPlayer::startCore(const Options& options) {
    // libmpv refuses to start under a locale that writes numbers with a comma.
    std::setlocale(LC_NUMERIC, "C");
    mpv_ = mpv_create();
    if (!mpv_) {
        errorText_ = "libmpv could not be created";
        return false;
    }
    struct Setting {
        const char* name;
        const char* value;
    };
    const Setting settings[] = {
        {"config", "no"},  // a user's mpv.conf must not change our behaviour
        {"vo", options.videoOutput ? "libmpv" : "null"},
        {"ao", options.audioOutput ? "pulse,alsa,null" : "null"},
        {"hwdec", kHardwareDecoding},
        {"keep-open", "yes"},  // hold the last frame at the end; the status poll sees the end
        {"idle", "yes"},
        {"terminal", "no"},
        {"input-default-bindings", "no"},
        {"input-vo-keyboard", "no"},
        {"osc", "no"},
        {"ytdl", "no"},
        {"load-scripts", "no"},
        // mpv's own scripts: their keys are off, and the console set up the
        // subtitle fonts at each player's first film (6-9 ms of its start).
        {"load-stats-overlay", "no"},
        {"load-osd-console", "no"},
        {"load-auto-profiles", "no"},
        {"sub-auto", "no"},  // the files beside a film are matched by its name here (media_names)
        // Chinese subtitles in a font that has their characters; Chinese
        // tracks of a film show without being chosen.
        {"sub-font", "Noto Sans CJK SC"},
        {"slang", "chi,zho,zh,chs,sc,zh-cn,cht,tc"},
        {"audio-display", "no"},
        {"resume-playback", "no"},
        {"cache", "yes"},
        {"demuxer-max-bytes", "64MiB"},
        {"demuxer-max-back-bytes", "16MiB"},
        {"network-timeout", "30"},
        // Frames are handed over at their display time. By default they come
        // 50 ms early and drawing one waits for that time on the window's
        // thread: the window was blocked for most of every frame while playing.
        {"video-timing-offset", "0"},
    };
    for (const Setting& s : settings) {
        if (!check(mpv_set_option_string(mpv_, s.name, s.value), s.name)) return false;
    }
    if (qEnvironmentVariableIsSet("QARVEL_MPV_LOG")) check(mpv_request_log_messages(mpv_, "v"), "log");
    if (!check(mpv_initialize(mpv_), "initialize")) return false;
    if (!check(registerCacheStream(mpv_, &cache_), "cache stream")) return false;

    observe("time-pos", Observed::TimePos, MPV_FORMAT_DOUBLE);
    observe("duration", Observed::Duration, MPV_FORMAT_DOUBLE);
    observe("file-size", Observed::FileSize, MPV_FORMAT_INT64);
    observe("video-bitrate", Observed::VideoBitrate, MPV_FORMAT_DOUBLE);
    observe("audio-bitrate", Observed::AudioBitrate, MPV_FORMAT_DOUBLE);
    observe("pause", Observed::Pause, MPV_FORMAT_FLAG);
    observe("paused-for-cache", Observed::PausedForCache, MPV_FORMAT_FLAG);
    observe("seeking", Observed::Seeking, MPV_FORMAT_FLAG);
    observe("eof-reached", Observed::EofReached, MPV_FORMAT_FLAG);
    observe("volume", Observed::Volume, MPV_FORMAT_DOUBLE);
    observe("mute", Observed::Mute, MPV_FORMAT_FLAG);
    observe("track-list", Observed::TrackList, MPV_FORMAT_NODE);
    mpv_set_wakeup_callback(mpv_, &MpvPlayer::onWakeup, this);

    if (options.videoOutput) {
        // The picture's surface now; its render context by preparePicture.
        auto renderer = std::make_unique<VideoRenderer>();
        QString why;
        if (renderer->prepare(&why)) {
            renderer_ = renderer.release();
            widget_ = new VideoSurface(renderer_);
            connect(renderer_, &VideoRenderer::frameReady, this, [this] {
                pictureSinceLoad_ = true;
                announceFirstFrame();
            });
            connect(renderer_, &VideoRenderer::pictureShown, this, &MpvPlayer::pictureShown);
        } else {
            noPicture(why);
        }
    }
    return true;
}

void MpvPlayer::prepareForFilms() {
    preparePicture();
    // Proved once, ahead of the first film, which then starts without waiting for the service's answers.
    if (terminal_) terminal_->prove(kProvePatienceMs);
}

void MpvPlayer::preparePicture() {
    if (!renderer_ || !mpv_ || pictureMade_) return;
    QString why;
    if (renderer_->create(mpv_, &why)) {
        pictureMade_ = true;
        return;
    }
    renderer_->shutdown();
    delete renderer_;  // the surface stays black; its window holds a guarded pointer
    renderer_ = nullptr;
    noPicture(why);
}

void MpvPlayer::noPicture(const QString& why) {
    errorText_ = "no picture: " + why;
    qCWarning(lcEngine, "%s", qPrintable(errorText_));
    check(mpv_set_property_string(mpv_, "vo", "null"), "vo");
}

void MpvPlayer::observe(const char* name, Observed id, int format) {
    check(mpv_observe_property(mpv_, quint64(id), name, mpv_format(format)), name);
}

void MpvPlayer::command(std::initializer_list<QByteArray> args, quint64 replyId) {
    if (!mpv_) return;
    std::vector<const char*> argv;
    for (const QByteArray& a : args) argv.push_back(a.constData());
    argv.push_back(nullptr);
    // Asynchronous: the user-interface thread never waits for the player.
    check(mpv_command_async(mpv_, replyId, argv.data()), argv.front());
}

void MpvPlayer::setProperty(const char* name, bool value) {
    if (!mpv_) return;
    int flag = value ? 1 : 0;
    check(mpv_set_property_async(mpv_, 0, name, MPV_FORMAT_FLAG, &flag), name);
}

void MpvPlayer::setProperty(const char* name, double value) {
    if (!mpv_) return;
    check(mpv_set_property_async(mpv_, 0, name, MPV_FORMAT_DOUBLE, &value), name);
}

void MpvPlayer::setProperty(const char* name, const QString& value) {
    if (!mpv_) return;
    const QByteArray text = value.toUtf8();
    const char* data = text.constData();
    check(mpv_set_property_async(mpv_, 0, name, MPV_FORMAT_STRING, &data), name);
}

// Called on one of the player's threads: only hand over to ours.
void MpvPlayer::onWakeup(void* self) {
    auto* player = static_cast<MpvPlayer*>(self);
    if (!player->wakeupPosted_.exchange(true)) {
        QMetaObject::invokeMethod(player, &MpvPlayer::drainEvents, Qt::QueuedConnection);
    }
}

void MpvPlayer::drainEvents() {
    wakeupPosted_ = false;
    while (mpv_) {
        const mpv_event* event = mpv_wait_event(mpv_, 0);
        if (!event || event->event_id == MPV_EVENT_NONE) break;
        handleEvent(*event);
    }
}

void MpvPlayer::handleEvent(const mpv_event& event) {
    switch (event.event_id) {
    case MPV_EVENT_PROPERTY_CHANGE: handlePropertyChange(event); break;
    case MPV_EVENT_START_FILE:
        // Only the film of the latest load counts; older ones are on their way out.
        if (expectedEntry_ >= 0 &&
            static_cast<mpv_event_start_file*>(event.data)->playlist_entry_id == expectedEntry_) {
            entryId_ = expectedEntry_;
        }
        break;
    case MPV_EVENT_FILE_LOADED:
        if (!isCurrentEntryStarted() || phase_ != LoadPhase::Loading) break;
        opened_ = true;
        if (pendingSeek_) {
            command({"seek", QByteArray::number(*pendingSeek_), "absolute"});
        }
        for (qsizetype i = 0; i < besideSubtitles_.size(); ++i) {
            loadSubtitleFile(besideSubtitles_[i].name, i == 0, besideSubtitles_[i].language);
        }
        besideSubtitles_.clear();
        break;
    case MPV_EVENT_PLAYBACK_RESTART:
        if (!isCurrentEntryStarted()) break;
        // Opened is not yet playing: the first picture marks that.
        if (phase_ == LoadPhase::Loading && opened_) phase_ = LoadPhase::Loaded;
        pendingSeek_.reset();
        // Playing again: the seek (or the start) is over, though the word of
        // it comes after this event.
        seeking_ = false;
        announceFirstFrame();
        break;
    case MPV_EVENT_END_FILE: handleEndFile(event); break;
    case MPV_EVENT_IDLE:
        // A stop that caught a film before it started ends without an end event.
        if (phase_ == LoadPhase::Stopping) phase_ = LoadPhase::Stopped;
        break;
    case MPV_EVENT_COMMAND_REPLY:
        if (finishCapture(event)) break;
        if (event.reply_userdata == kLoadReplyBase + loadNumber_ && phase_ == LoadPhase::Loading) {
            if (event.error < 0) {
                fail(QString("cannot open: ") + mpv_error_string(event.error));
            } else {
                expectedEntry_ = entryIdOf(static_cast<mpv_event_command*>(event.data));
            }
        } else if (event.error < 0) {
            check(event.error, "command");
        }
        break;
    case MPV_EVENT_SET_PROPERTY_REPLY:
        if (event.error < 0) check(event.error, "property");
        break;
    case MPV_EVENT_LOG_MESSAGE: {
        const auto* message = static_cast<mpv_event_log_message*>(event.data);
        qCDebug(lcEngine, "mpv %s: %s", message->prefix, message->text);
        break;
    }
    default: break;
    }
}

void MpvPlayer::handlePropertyChange(const mpv_event& event) {
    const auto* property = static_cast<mpv_event_property*>(event.data);
    const bool present = property->format != MPV_FORMAT_NONE && property->data;
    auto number = [&] {
        return present && property->format == MPV_FORMAT_DOUBLE ? *static_cast<double*>(property->data) : 0.0;
    };
    auto flag = [&] {
        return present && property->format == MPV_FORMAT_FLAG && *static_cast<int*>(property->data) != 0;
    };
    switch (Observed(event.reply_userdata)) {
    case Observed::TimePos: timePos_ = present ? number() : -1; break;
    case Observed::Duration: duration_ = number(); break;
    case Observed::FileSize:
        fileSize_ = present && property->format == MPV_FORMAT_INT64 ? *static_cast<int64_t*>(property->data) : 0;
        break;
    case Observed::VideoBitrate: videoBitrate_ = number(); break;
    case Observed::AudioBitrate: audioBitrate_ = number(); break;
    case Observed::Pause: paused_ = flag(); break;
    case Observed::PausedForCache: pausedForCache_ = flag(); break;
    case Observed::Seeking: seeking_ = flag(); break;
    case Observed::EofReached:
        eofReached_ = flag();
        if (eofReached_) pendingSeek_.reset();
        break;
    case Observed::Volume:
        if (present) volume_ = std::clamp(int(std::lround(number())), 0, 100);
        break;
    case Observed::Mute:
        if (present) mute_ = flag();
        break;
    case Observed::TrackList:
        if (present && property->format == MPV_FORMAT_NODE) {
            audioTracks_ = audioTracksOf(*static_cast<mpv_node*>(property->data));
            subtitleTracks_ = subtitleTracksOf(*static_cast<mpv_node*>(property->data));
        } else {
            audioTracks_.clear();
            subtitleTracks_.clear();
        }
        break;
    }
}

void MpvPlayer::handleEndFile(const mpv_event& event) {
    const auto* end = static_cast<mpv_event_end_file*>(event.data);
    // Ends of films we already replaced or let go of are old news.
    if (entryId_ < 0 || end->playlist_entry_id != entryId_) return;
    entryId_ = -1;
    expectedEntry_ = -1;
    opened_ = false;
    pendingSeek_.reset();
    switch (end->reason) {
    case MPV_END_FILE_REASON_EOF: phase_ = LoadPhase::Ended; break;
    case MPV_END_FILE_REASON_ERROR:
        // Read before open's answer came: the answer (the service started
        // again if it must) loads the film again.
        if (awaitingOpen_) {
            phase_ = LoadPhase::Connecting;
            break;
        }
        // Read through the service: its loss is recovered, not a failed film.
        if (remote_ && !playingDirect_) {
            phase_ = LoadPhase::Loading;
            recoverTerminal();
            break;
        }
        fail(QString("playback failed: ") + mpv_error_string(end->error));
        break;
    default:
        if (phase_ == LoadPhase::Stopping || phase_ == LoadPhase::Loaded || phase_ == LoadPhase::Loading) {
            phase_ = LoadPhase::Stopped;
        }
        break;
    }
}

bool MpvPlayer::isCurrentEntryStarted() const { return entryId_ >= 0 && entryId_ == expectedEntry_; }

void MpvPlayer::fail(const QString& why) {
    errorText_ = why;
    qCWarning(lcEngine, "%s (%s)", qPrintable(why), qPrintable(url_));
    // Idle with the address kept: the status poll shows that playback stopped.
    phase_ = url_.isEmpty() ? LoadPhase::Empty : LoadPhase::Idle;
    opened_ = false;
    pendingSeek_.reset();
    if (film_) cache_.release(film_);  // what arrived stays in the cache
    streamId_.clear();
    if (terminalPoll_) terminalPoll_->stop();
    if (!url_.isEmpty()) emit filmFailed(why);
}

void MpvPlayer::forgetFilm() {
    if (film_) cache_.release(film_);
    film_.reset();
    // The service keeps fetching what it was given; only its answers are dropped.
    if (terminal_) {
        terminal_->forgetPending();
        terminalPoll_->stop();
    }
    remote_.reset();
    statusAsked_ = recovering_ = awaitingOpen_ = false;
    recoveries_ = 0;
    streamId_.clear();
    directUrl_.clear();
    playingDirect_ = false;
}

void MpvPlayer::setUrl(const QString& address) {
    if (phase_ == LoadPhase::Loading || phase_ == LoadPhase::Loaded || phase_ == LoadPhase::Stopping) {
        command({"stop"});
    }
    forgetFilm();
    // Whatever the player still reports about the old film is ignored.
    entryId_ = -1;
    expectedEntry_ = -1;
    opened_ = false;
    pendingSeek_.reset();
    timePos_ = -1;
    duration_ = 0;
    fileSize_ = 0;
    videoBitrate_ = audioBitrate_ = 0;
    eofReached_ = false;
    audioTracks_.clear();
    subtitleTracks_.clear();
    besideSubtitles_.clear();
    url_ = address;
    address_ = classifyAddress(address);
    phase_ = address_.kind == AddressKind::Empty ? LoadPhase::Empty : LoadPhase::Idle;
}

void MpvPlayer::play() {
    if (!mpv_) return;
    switch (phase_) {
    case LoadPhase::Empty: return;
    case LoadPhase::Loaded:
        if (eofReached_) command({"seek", "0", "absolute"});
        setProperty("pause", false);
        return;
    case LoadPhase::Loading:
    case LoadPhase::Connecting: setProperty("pause", false); return;
    case LoadPhase::Idle:
    case LoadPhase::Stopping:
    case LoadPhase::Stopped:
    case LoadPhase::Ended: startLoad(); return;
    }
}

void MpvPlayer::pause() {
    if (phase_ == LoadPhase::Loaded || phase_ == LoadPhase::Loading || phase_ == LoadPhase::Connecting) {
        setProperty("pause", true);
        paused_ = true;
    }
}

void MpvPlayer::stop() {
    if (phase_ == LoadPhase::Empty) return;
    if (phase_ == LoadPhase::Loading || phase_ == LoadPhase::Loaded) {
        command({"stop"});
        // A film that started ends with an end event; one that had not is simply gone.
        phase_ = entryId_ >= 0 ? LoadPhase::Stopping : LoadPhase::Stopped;
        if (entryId_ < 0) expectedEntry_ = -1;
    } else {
        phase_ = LoadPhase::Stopped;
    }
    pendingSeek_.reset();
    // Nothing of this film is fetched after a stop; a preload of it goes on.
    if (film_) cache_.release(film_);
    streamId_.clear();
    if (terminalPoll_) terminalPoll_->stop();
}

std::optional<FilmSource> MpvPlayer::networkSourceFor(const MediaAddress& address) const {
    if (address.kind == AddressKind::Qvod) {
        const QList<QUrl> urls = qvodSourceUrls(address.qvod, sources_);
        if (urls.isEmpty()) return std::nullopt;
        // The hash names the content; size and name are part of what the address promises.
        const QString key =
            QString("qvod:%1:%2:%3").arg(address.qvod.hash.toLower()).arg(address.qvod.size).arg(address.qvod.name);
        return FilmSource{address.qvod.name, key, address.qvod.size, urls};
    }
    if (address.kind == AddressKind::Http) {
        return FilmSource{cacheNameForUrl(address.url), address.url.toString(QUrl::FullyEncoded), -1, {address.url}};
    }
    return std::nullopt;
}

void MpvPlayer::startLoad() {
    errorText_.clear();
    pendingSeek_.reset();
    forgetFilm();
    switch (address_.kind) {
    case AddressKind::Empty: return;
    case AddressKind::Unsupported: fail(address_.error); return;
    case AddressKind::LocalFile:
        if (!QFileInfo(address_.localPath).isFile()) {
            fail("no such file");
            return;
        }
        besideSubtitles_ = subtitlesBeside(address_.localPath);
        loadFile(address_.localPath, Reading::FromDisk);
        return;
    case AddressKind::Stream:
        playingDirect_ = true;
        directUrl_ = address_.url;
        loadFile(address_.url.toString(QUrl::FullyEncoded));
        return;
    case AddressKind::Qvod:
    case AddressKind::Http: break;
    }
    const auto source = networkSourceFor(address_);
    if (!source) {
        fail("no source to fetch the film from");
        return;
    }
    openNetworkFilm(*source, source->urls.first());
}

void MpvPlayer::openNetworkFilm(const FilmSource& source, const QUrl& direct) {
    if (terminal_) {
        openThroughTerminal(source, direct);
        return;
    }
    QString why;
    film_ = cache_.fetchForPlaying(source, &why);
    if (!film_) {
        // The cache cannot hold it (folder not writable...): play from the network.
        errorText_ = why;
        playingDirect_ = true;
        directUrl_ = direct;
        loadFile(direct.toString(QUrl::FullyEncoded));
        return;
    }
    streamId_ = cache_.streamIdOf(film_);
    if (film_->isComplete()) {
        loadFile(film_->path(), Reading::FromDisk);  // watched before: straight from disk
    } else if (film_->size() >= 0) {
        loadFile(cacheStreamUri(streamId_));
    } else {
        phase_ = LoadPhase::Connecting;  // the source's answer decides how it is opened
    }
}

bool MpvPlayer::pictureInMemory() const { return renderer_ && renderer_->drawsInMemory(); }

// The first picture is drawn before the player's word that the film plays
// has reached this thread: the film counts as started once both have come.
void MpvPlayer::announceFirstFrame() {
    if (!firstFrameDue_ || phase_ != LoadPhase::Loaded || (renderer_ && !pictureSinceLoad_)) return;
    firstFrameDue_ = false;
    emit firstFrame();
}

bool MpvPlayer::knowsService() const { return terminal_ && terminal_->isProved(); }

void MpvPlayer::openThroughTerminal(const FilmSource& source, const QUrl& direct) {
    phase_ = LoadPhase::Connecting;
    remoteSource_ = source;
    remoteDirect_ = direct;
    awaitingOpen_ = true;
    // A service that has proved itself opens a film of known size with its
    // first read: the film starts now, and open's answer only brings its status.
    // Whichever of the two requests arrives first starts the fetch; open is
    // sent first, as it reaches the service about 0.3 ms before the player's read.
    const QUrl play = terminal_->playUrl(source);
    terminal_->open(source, true, [this](const std::optional<TerminalFilm>& film) { onTerminalAnswer(film); });
    if (!play.isEmpty()) loadFile(play.toString(QUrl::FullyEncoded));
}

void MpvPlayer::onTerminalAnswer(const std::optional<TerminalFilm>& film) {
    awaitingOpen_ = false;
    if (!film) {
        fail("the download service does not answer");
        return;
    }
    remote_ = film;
    terminalPoll_->start();
    if (phase_ == LoadPhase::Connecting) loadFromTerminal();
}

void MpvPlayer::loadFromTerminal() {
    if (!remote_) return;
    if (remote_->condition == FetchCondition::Complete && QFileInfo(remote_->path).isFile()) {
        loadFile(remote_->path, Reading::FromDisk);  // watched before: straight from disk
    } else if (!remote_->cacheable) {
        playingDirect_ = true;
        directUrl_ = remoteDirect_;
        loadFile(remoteDirect_.toString(QUrl::FullyEncoded));
    } else if (remote_->size >= 0) {
        loadFile(terminal_->filmUrl(*remote_, remoteSource_.name).toString(QUrl::FullyEncoded));
    } else if (remote_->condition == FetchCondition::Failed) {
        fail("the film's sources do not answer");
    } else {
        phase_ = LoadPhase::Connecting;  // the source's answer decides how it is opened
    }
}

void MpvPlayer::pollTerminal() {
    if (!remote_ || statusAsked_ || recovering_) return;
    statusAsked_ = true;
    terminal_->status(remote_->id, [this](const std::optional<TerminalFilm>& film) {
        statusAsked_ = false;
        if (!film) {
            recoverTerminal();
            return;
        }
        remote_ = film;
        if (phase_ == LoadPhase::Connecting) loadFromTerminal();
    });
}

void MpvPlayer::recoverTerminal() {
    const bool reload = phase_ == LoadPhase::Loading || phase_ == LoadPhase::Loaded || phase_ == LoadPhase::Connecting;
    if (!reload || recovering_ || playingDirect_) return;
    if (++recoveries_ > kMostRecoveries) {
        fail("the download service was lost");
        return;
    }
    // The service is gone (killed, say): it is started again, the film opened
    // in it again, and the film goes on where it was.
    recovering_ = true;
    const int resumeAt = position();
    const bool wasPaused = paused_;
    phase_ = LoadPhase::Connecting;
    terminal_->open(remoteSource_, true, [this, resumeAt, wasPaused](const std::optional<TerminalFilm>& film) {
        recovering_ = false;
        if (!film) {
            fail("the download service does not answer");
            return;
        }
        remote_ = film;
        loadFromTerminal();
        if (resumeAt > 0) pendingSeek_ = resumeAt;
        if (wasPaused) pause();
    });
}

void MpvPlayer::onSizeKnown(const QString& streamId, bool cacheable) {
    if (streamId != streamId_ || phase_ != LoadPhase::Connecting) return;
    if (cacheable) {
        loadFile(cacheStreamUri(streamId_));
        return;
    }
    const QUrl direct = address_.url;
    forgetFilm();
    playingDirect_ = true;
    directUrl_ = direct;
    loadFile(direct.toString(QUrl::FullyEncoded));
}

void MpvPlayer::onFetchEnded(const QString& streamId) {
    if (streamId != streamId_ || !film_) return;
    // A film still waiting for its first answer fails here; one that the player
    // reads fails through its reads.
    if (film_->condition() == FetchCondition::Failed && phase_ == LoadPhase::Connecting) {
        fail("the film's sources do not answer");
    }
}

void MpvPlayer::loadFile(const QString& target, Reading reading) {
    ++loadNumber_;
    expectedEntry_ = -1;
    entryId_ = -1;
    phase_ = LoadPhase::Loading;
    opened_ = false;
    firstFrameDue_ = true;
    pictureSinceLoad_ = false;
    eofReached_ = false;
    setProperty("pause", false);
    paused_ = false;
    // A film on disk needs no read-ahead in memory (mpv's own default for
    // files): up to 64 MiB less while it plays. What arrives over a network
    // or the download service keeps its cache.
    preparePicture();  // a film needs it from its first frame
    command({"loadfile", target.toUtf8(), "replace", reading == Reading::FromDisk ? "cache=no" : "cache=yes"},
            kLoadReplyBase + loadNumber_);
}

void MpvPlayer::setPosition(int seconds) {
    seconds = std::max(0, seconds);
    if (phase_ == LoadPhase::Loaded || (phase_ == LoadPhase::Loading && opened_)) {
        pendingSeek_ = seconds;
        command({"seek", QByteArray::number(seconds), "absolute"});
        // Held at the end: a seek back plays on unless the user paused.
        if (eofReached_ && paused_) setProperty("pause", false);
    } else if (phase_ == LoadPhase::Loading || phase_ == LoadPhase::Connecting) {
        pendingSeek_ = seconds;  // applied once the film is open
    }
}

int MpvPlayer::position() const {
    if (pendingSeek_) return *pendingSeek_;
    if (phase_ != LoadPhase::Loaded || timePos_ < 0) return 0;
    return int(std::floor(timePos_));
}

int MpvPlayer::duration() const {
    if (!opened_ || duration_ <= 0) return 0;
    return int(std::lround(duration_));
}

int MpvPlayer::transferRate() const {
    if (phase_ == LoadPhase::Idle || phase_ == LoadPhase::Stopped) return 0;
    if (remote_) return std::min(kLargestRate, remote_->rateKBps);
    if (!film_) return 0;
    return int(std::min<qint64>(kLargestRate, film_->bytesPerSecond() / 1024));
}

int MpvPlayer::bitRate() const {
    if (!opened_) return 0;
    if (fileSize_ > 0 && duration_ > 0) return int(double(fileSize_) * 8 / duration_ / 1000);
    return int((videoBitrate_ + audioBitrate_) / 1000);
}

int MpvPlayer::downloadProgress() const {
    if (address_.kind == AddressKind::LocalFile) return 1000;
    if (remote_) return remote_->progress;
    return film_ ? film_->progressPerMille() : 0;
}

PlayerSnapshot MpvPlayer::snapshot() const {
    PlayerSnapshot s;
    s.phase = phase_;
    s.fetch = remote_ ? remote_->condition : film_ ? film_->condition() : FetchCondition::None;
    // A lost service that is being started again reconnects.
    if (recovering_) s.fetch = FetchCondition::Reconnecting;
    s.paused = paused_;
    s.pausedForCache = pausedForCache_;
    s.seeking = seeking_;
    s.endReached = eofReached_;
    return s;
}

PlayState MpvPlayer::playState() const { return mapPlayState(snapshot()); }

void MpvPlayer::setMute(bool muted) {
    mute_ = muted;
    setProperty("mute", muted);
}

void MpvPlayer::setVolume(int volume) {
    volume_ = std::clamp(volume, 0, 100);
    setProperty("volume", double(volume_));
}

void MpvPlayer::setFullScreen(bool on) {
    if (fullScreen_) fullScreen_->setFullScreen(on);
}

bool MpvPlayer::fullScreen() const { return fullScreen_ && fullScreen_->isFullScreen(); }

void MpvPlayer::setDisplayMode(int mode) {
    if (!videoFilterFor(mode, QSize())) return;
    displayMode_ = mode;
    applyDisplayMode();
}

void MpvPlayer::applyDisplayMode() {
    const QSize size = widget_ ? widget_->size() : QSize();
    const auto filter = videoFilterFor(displayMode_, size);
    if (!filter || *filter == videoFilter_) return;
    videoFilter_ = *filter;
    setProperty("vf", videoFilter_);
}

bool MpvPlayer::eventFilter(QObject* watched, QEvent* event) {
    // A stretched picture follows the widget's proportions.
    if (watched == widget_ && event->type() == QEvent::Resize && displayMode_ == int(DisplayMode::Stretch)) {
        applyDisplayMode();
    }
    return Player::eventFilter(watched, event);
}

void MpvPlayer::setSoundChannel(int mode) {
    const auto filter = audioFilterFor(mode);
    if (!filter) return;
    setProperty("af", *filter);
}

void MpvPlayer::preloadNext(const QString& address) {
    const auto source = networkSourceFor(classifyAddress(address));
    if (!source) return;  // local files and streams need no preparation
    if (terminal_) {
        terminal_->open(*source, false, nullptr);
        return;
    }
    QString why;
    if (!cache_.preload(*source, &why)) errorText_ = why;
}

void MpvPlayer::configurationChanged() { cache_.setFolder(readCachePath(files_, files_.cacheFolder)); }

void MpvPlayer::setSpeed(double speed) {
    speed_ = std::clamp(speed, kSlowestSpeed, kFastestSpeed);
    // audio-pitch-correction (on by default) keeps voices natural.
    setProperty("speed", speed_);
}

void MpvPlayer::setAudioTrack(int id) {
    if (id > 0) setProperty("aid", QString::number(id));
}

void MpvPlayer::setSubtitleTrack(int id) { setProperty("sid", id > 0 ? QString::number(id) : QStringLiteral("no")); }

bool MpvPlayer::addSubtitleFile(const QString& path) {
    if (!mpv_ || !opened_ || path.isEmpty()) return false;
    loadSubtitleFile(path, true, QString());
    return true;
}

void MpvPlayer::loadSubtitleFile(const QString& path, bool show, const QString& language) {
    // "auto": listed, shown only if the player would pick it itself. The
    // title is the file's name.
    const QByteArray flag = show ? "select" : "auto", title = QFileInfo(path).fileName().toUtf8();
    if (language.isEmpty()) command({"sub-add", path.toUtf8(), flag, title});
    else command({"sub-add", path.toUtf8(), flag, title, language.toUtf8()});
}

void MpvPlayer::setHardwareDecoding(bool on) {
    setProperty("hwdec", QString::fromLatin1(on ? kHardwareDecoding : "no"));
}

bool MpvPlayer::captureFrame(const QString& path) {
    if (!mpv_ || phase_ != LoadPhase::Loaded || path.isEmpty()) return false;
    const quint64 reply = kCaptureReplyBase + ++captures_;
    capturePaths_.insert(reply, path);
    // "video": the film's frame at its own size, without subtitles or OSD;
    // the file's extension picks the format.
    command({"screenshot-to-file", path.toUtf8(), "video"}, reply);
    return true;
}

bool MpvPlayer::finishCapture(const mpv_event& event) {
    const auto it = capturePaths_.find(event.reply_userdata);
    if (it == capturePaths_.end()) return false;
    const QString path = it.value();
    capturePaths_.erase(it);
    if (event.error < 0) check(event.error, "screenshot-to-file");
    emit frameCaptured(path, event.error >= 0 && QFileInfo(path).isFile());
    return true;
}

QString MpvPlayer::propertyText(const char* name) const {
    if (!mpv_) return {};
    char* value = mpv_get_property_string(mpv_, name);
    if (!value) return {};
    const QString text = QString::fromUtf8(value);
    mpv_free(value);
    return text;
}

}  // namespace qarvel::engine

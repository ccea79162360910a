#include "engine/mpv_player.h"

#include "common/build_config.h"
#include "engine/cache_stream.h"
#include "engine/film_index.h"
#include "engine/full_screen.h"
#include "engine/picture_sound.h"
#include "engine/player_config.h"
#include "engine/video_renderer.h"
#include "engine/video_surface.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
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
constexpr int kLargestRate = 32767;  // the rate is a small integer

QString defaultSource() { return QString(config::kServiceBase) + "seed/"; }

}  // namespace

MpvPlayer::MpvPlayer(Options options, QObject* parent) : Player(parent), m_cache(options.fetchTiming) {
    m_files =
        options.files.folder.isEmpty() ? ProgramFiles::inFolder(QCoreApplication::applicationDirPath()) : options.files;
    m_sources = options.sources.isEmpty() ? QStringList{defaultSource()} : options.sources;
    connect(&m_cache, &FilmCache::sizeKnown, this, &MpvPlayer::onSizeKnown);
    connect(&m_cache, &FilmCache::fetchEnded, this, &MpvPlayer::onFetchEnded);

    if (!ensurePlayerConfig(m_files, m_files.cacheFolder)) {
        m_errorText = "cannot create the player configuration in " + m_files.playerFolder;
    }
    configurationChanged();
    removeInterruptedIndexWrites(m_cache.folder());

    if (!startCore(options)) {
        if (m_mpv) mpv_terminate_destroy(m_mpv);
        m_mpv = nullptr;
    }
    if (!m_widget) {
        auto* blank = new QWidget;
        blank->setObjectName("QvodC");
        blank->setAutoFillBackground(true);
        blank->setPalette(QPalette(Qt::black));
        m_widget = blank;
    }
    m_widget->installEventFilter(this);
    m_fullScreen = new FullScreenController(m_widget, this);
    connect(m_fullScreen, &FullScreenController::changed, this, &Player::fullScreenChanged);
}

MpvPlayer::~MpvPlayer() {
    if (m_fullScreen) m_fullScreen->setFullScreen(false);
    delete m_widget.data();
    if (m_renderer) m_renderer->shutdown();
    if (m_mpv) {
        mpv_set_wakeup_callback(m_mpv, nullptr, nullptr);
        // Cancels every stream read that still waits for data.
        mpv_terminate_destroy(m_mpv);
        m_mpv = nullptr;
    }
    delete m_renderer;
}

bool MpvPlayer::check(int rc, const char* what) {
    if (rc >= 0) return true;
    m_errorText = QString("%1: %2").arg(what, mpv_error_string(rc));
    qWarning("qarvel engine: %s", qPrintable(m_errorText));
    return false;
}

bool MpvPlayer::startCore(const Options& options) {
    // libmpv refuses to start under a locale that writes numbers with a comma.
    std::setlocale(LC_NUMERIC, "C");
    m_mpv = mpv_create();
    if (!m_mpv) {
        m_errorText = "libmpv could not be created";
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
        {"hwdec", "no"},
        {"keep-open", "yes"},  // hold the last frame at the end; the status poll sees the end
        {"idle", "yes"},
        {"terminal", "no"},
        {"input-default-bindings", "no"},
        {"input-vo-keyboard", "no"},
        {"osc", "no"},
        {"ytdl", "no"},
        {"load-scripts", "no"},
        {"sub-auto", "no"},
        {"audio-display", "no"},
        {"resume-playback", "no"},
        {"cache", "yes"},
        {"demuxer-max-bytes", "64MiB"},
        {"demuxer-max-back-bytes", "16MiB"},
        {"network-timeout", "30"},
    };
    for (const Setting& s : settings) {
        if (!check(mpv_set_option_string(m_mpv, s.name, s.value), s.name)) return false;
    }
    if (qEnvironmentVariableIsSet("QARVEL_MPV_LOG")) check(mpv_request_log_messages(m_mpv, "v"), "log");
    if (!check(mpv_initialize(m_mpv), "initialize")) return false;
    if (!check(registerCacheStream(m_mpv, &m_cache), "cache stream")) return false;

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
    mpv_set_wakeup_callback(m_mpv, &MpvPlayer::onWakeup, this);

    if (options.videoOutput) {
        // The render context exists before the first film is loaded.
        auto renderer = std::make_unique<VideoRenderer>();
        QString why;
        if (renderer->create(m_mpv, &why)) {
            m_renderer = renderer.release();
            m_widget = new VideoSurface(m_renderer);
            connect(m_renderer, &VideoRenderer::frameReady, this, [this] {
                if (m_firstFrameDue) {
                    m_firstFrameDue = false;
                    emit firstFrame();
                }
            });
        } else {
            renderer->shutdown();
            m_errorText = "no picture: " + why;
            qWarning("qarvel engine: %s", qPrintable(m_errorText));
            check(mpv_set_property_string(m_mpv, "vo", "null"), "vo");
        }
    }
    return true;
}

void MpvPlayer::observe(const char* name, Observed id, int format) {
    check(mpv_observe_property(m_mpv, quint64(id), name, mpv_format(format)), name);
}

void MpvPlayer::command(std::initializer_list<QByteArray> args, quint64 replyId) {
    if (!m_mpv) return;
    std::vector<const char*> argv;
    for (const QByteArray& a : args) argv.push_back(a.constData());
    argv.push_back(nullptr);
    // Asynchronous: the user-interface thread never waits for the player.
    check(mpv_command_async(m_mpv, replyId, argv.data()), argv.front());
}

void MpvPlayer::setProperty(const char* name, bool value) {
    if (!m_mpv) return;
    int flag = value ? 1 : 0;
    check(mpv_set_property_async(m_mpv, 0, name, MPV_FORMAT_FLAG, &flag), name);
}

void MpvPlayer::setProperty(const char* name, double value) {
    if (!m_mpv) return;
    check(mpv_set_property_async(m_mpv, 0, name, MPV_FORMAT_DOUBLE, &value), name);
}

void MpvPlayer::setProperty(const char* name, const QString& value) {
    if (!m_mpv) return;
    const QByteArray text = value.toUtf8();
    const char* data = text.constData();
    check(mpv_set_property_async(m_mpv, 0, name, MPV_FORMAT_STRING, &data), name);
}

// Called on one of the player's threads: only hand over to ours.
void MpvPlayer::onWakeup(void* self) {
    auto* player = static_cast<MpvPlayer*>(self);
    if (!player->m_wakeupPosted.exchange(true)) {
        QMetaObject::invokeMethod(player, &MpvPlayer::drainEvents, Qt::QueuedConnection);
    }
}

void MpvPlayer::drainEvents() {
    m_wakeupPosted = false;
    while (m_mpv) {
        const mpv_event* event = mpv_wait_event(m_mpv, 0);
        if (!event || event->event_id == MPV_EVENT_NONE) break;
        handleEvent(*event);
    }
}

void MpvPlayer::handleEvent(const mpv_event& event) {
    switch (event.event_id) {
    case MPV_EVENT_PROPERTY_CHANGE: handlePropertyChange(event); break;
    case MPV_EVENT_START_FILE:
        // Only the film of the latest load counts; older ones are on their way out.
        if (m_expectedEntry >= 0 &&
            static_cast<mpv_event_start_file*>(event.data)->playlist_entry_id == m_expectedEntry) {
            m_entryId = m_expectedEntry;
        }
        break;
    case MPV_EVENT_FILE_LOADED:
        if (!isCurrentEntryStarted() || m_phase != LoadPhase::Loading) break;
        m_opened = true;
        if (m_pendingSeek) {
            command({"seek", QByteArray::number(*m_pendingSeek), "absolute"});
        }
        break;
    case MPV_EVENT_PLAYBACK_RESTART:
        if (!isCurrentEntryStarted()) break;
        // Opened is not yet playing: the first picture marks that.
        if (m_phase == LoadPhase::Loading && m_opened) m_phase = LoadPhase::Loaded;
        m_pendingSeek.reset();
        if (m_firstFrameDue && !m_renderer) {
            m_firstFrameDue = false;
            emit firstFrame();
        }
        break;
    case MPV_EVENT_END_FILE: handleEndFile(event); break;
    case MPV_EVENT_IDLE:
        // A stop that caught a film before it started ends without an end event.
        if (m_phase == LoadPhase::Stopping) m_phase = LoadPhase::Stopped;
        break;
    case MPV_EVENT_COMMAND_REPLY:
        if (event.reply_userdata == kLoadReplyBase + m_loadNumber && m_phase == LoadPhase::Loading) {
            if (event.error < 0) {
                fail(QString("cannot open: ") + mpv_error_string(event.error));
            } else {
                m_expectedEntry = entryIdOf(static_cast<mpv_event_command*>(event.data));
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
        qDebug("mpv %s: %s", message->prefix, message->text);
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
    case Observed::TimePos: m_timePos = present ? number() : -1; break;
    case Observed::Duration: m_duration = number(); break;
    case Observed::FileSize:
        m_fileSize = present && property->format == MPV_FORMAT_INT64 ? *static_cast<int64_t*>(property->data) : 0;
        break;
    case Observed::VideoBitrate: m_videoBitrate = number(); break;
    case Observed::AudioBitrate: m_audioBitrate = number(); break;
    case Observed::Pause: m_paused = flag(); break;
    case Observed::PausedForCache: m_pausedForCache = flag(); break;
    case Observed::Seeking: m_seeking = flag(); break;
    case Observed::EofReached:
        m_eofReached = flag();
        if (m_eofReached) m_pendingSeek.reset();
        break;
    case Observed::Volume:
        if (present) m_volume = std::clamp(int(std::lround(number())), 0, 100);
        break;
    case Observed::Mute:
        if (present) m_mute = flag();
        break;
    }
}

void MpvPlayer::handleEndFile(const mpv_event& event) {
    const auto* end = static_cast<mpv_event_end_file*>(event.data);
    // Ends of films we already replaced or let go of are old news.
    if (m_entryId < 0 || end->playlist_entry_id != m_entryId) return;
    m_entryId = -1;
    m_expectedEntry = -1;
    m_opened = false;
    m_pendingSeek.reset();
    switch (end->reason) {
    case MPV_END_FILE_REASON_EOF: m_phase = LoadPhase::Ended; break;
    case MPV_END_FILE_REASON_ERROR: fail(QString("playback failed: ") + mpv_error_string(end->error)); break;
    default:
        if (m_phase == LoadPhase::Stopping || m_phase == LoadPhase::Loaded || m_phase == LoadPhase::Loading) {
            m_phase = LoadPhase::Stopped;
        }
        break;
    }
}

bool MpvPlayer::isCurrentEntryStarted() const { return m_entryId >= 0 && m_entryId == m_expectedEntry; }

void MpvPlayer::fail(const QString& why) {
    m_errorText = why;
    qWarning("qarvel engine: %s (%s)", qPrintable(why), qPrintable(m_url));
    // Idle with the address kept: the status poll shows that playback stopped.
    m_phase = m_url.isEmpty() ? LoadPhase::Empty : LoadPhase::Idle;
    m_opened = false;
    m_pendingSeek.reset();
    if (m_film) m_cache.release(m_film);  // what arrived stays in the cache
    m_streamId.clear();
}

void MpvPlayer::forgetFilm() {
    if (m_film) m_cache.release(m_film);
    m_film.reset();
    m_streamId.clear();
    m_directUrl.clear();
    m_playingDirect = false;
}

void MpvPlayer::setUrl(const QString& address) {
    if (m_phase == LoadPhase::Loading || m_phase == LoadPhase::Loaded || m_phase == LoadPhase::Stopping) {
        command({"stop"});
    }
    forgetFilm();
    // Whatever the player still reports about the old film is ignored.
    m_entryId = -1;
    m_expectedEntry = -1;
    m_opened = false;
    m_pendingSeek.reset();
    m_timePos = -1;
    m_duration = 0;
    m_fileSize = 0;
    m_videoBitrate = m_audioBitrate = 0;
    m_eofReached = false;
    m_url = address;
    m_address = classifyAddress(address);
    m_phase = m_address.kind == AddressKind::Empty ? LoadPhase::Empty : LoadPhase::Idle;
}

void MpvPlayer::play() {
    if (!m_mpv) return;
    switch (m_phase) {
    case LoadPhase::Empty: return;
    case LoadPhase::Loaded:
        if (m_eofReached) command({"seek", "0", "absolute"});
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
    if (m_phase == LoadPhase::Loaded || m_phase == LoadPhase::Loading || m_phase == LoadPhase::Connecting) {
        setProperty("pause", true);
        m_paused = true;
    }
}

void MpvPlayer::stop() {
    if (m_phase == LoadPhase::Empty) return;
    if (m_phase == LoadPhase::Loading || m_phase == LoadPhase::Loaded) {
        command({"stop"});
        // A film that started ends with an end event; one that had not is simply gone.
        m_phase = m_entryId >= 0 ? LoadPhase::Stopping : LoadPhase::Stopped;
        if (m_entryId < 0) m_expectedEntry = -1;
    } else {
        m_phase = LoadPhase::Stopped;
    }
    m_pendingSeek.reset();
    // Nothing of this film is fetched after a stop; a preload of it goes on.
    if (m_film) m_cache.release(m_film);
    m_streamId.clear();
}

std::optional<FilmSource> MpvPlayer::networkSourceFor(const MediaAddress& address) const {
    if (address.kind == AddressKind::Qvod) {
        const QList<QUrl> urls = qvodSourceUrls(address.qvod, m_sources);
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
    m_errorText.clear();
    m_pendingSeek.reset();
    forgetFilm();
    switch (m_address.kind) {
    case AddressKind::Empty: return;
    case AddressKind::Unsupported: fail(m_address.error); return;
    case AddressKind::LocalFile:
        if (!QFileInfo(m_address.localPath).isFile()) {
            fail("no such file");
            return;
        }
        loadFile(m_address.localPath);
        return;
    case AddressKind::Stream:
        m_playingDirect = true;
        m_directUrl = m_address.url;
        loadFile(m_address.url.toString(QUrl::FullyEncoded));
        return;
    case AddressKind::Qvod:
    case AddressKind::Http: break;
    }
    const auto source = networkSourceFor(m_address);
    if (!source) {
        fail("no source to fetch the film from");
        return;
    }
    openNetworkFilm(*source, source->urls.first());
}

void MpvPlayer::openNetworkFilm(const FilmSource& source, const QUrl& direct) {
    QString why;
    m_film = m_cache.fetchForPlaying(source, &why);
    if (!m_film) {
        // The cache cannot hold it (folder not writable...): play from the network.
        m_errorText = why;
        m_playingDirect = true;
        m_directUrl = direct;
        loadFile(direct.toString(QUrl::FullyEncoded));
        return;
    }
    m_streamId = m_cache.streamIdOf(m_film);
    if (m_film->isComplete()) {
        loadFile(m_film->path());  // watched before: straight from disk
    } else if (m_film->size() >= 0) {
        loadFile(cacheStreamUri(m_streamId));
    } else {
        m_phase = LoadPhase::Connecting;  // the source's answer decides how it is opened
    }
}

void MpvPlayer::onSizeKnown(const QString& streamId, bool cacheable) {
    if (streamId != m_streamId || m_phase != LoadPhase::Connecting) return;
    if (cacheable) {
        loadFile(cacheStreamUri(m_streamId));
        return;
    }
    const QUrl direct = m_address.url;
    forgetFilm();
    m_playingDirect = true;
    m_directUrl = direct;
    loadFile(direct.toString(QUrl::FullyEncoded));
}

void MpvPlayer::onFetchEnded(const QString& streamId) {
    if (streamId != m_streamId || !m_film) return;
    // A film still waiting for its first answer fails here; one that the player
    // reads fails through its reads.
    if (m_film->condition() == FetchCondition::Failed && m_phase == LoadPhase::Connecting) {
        fail("the film's sources do not answer");
    }
}

void MpvPlayer::loadFile(const QString& target) {
    ++m_loadNumber;
    m_expectedEntry = -1;
    m_entryId = -1;
    m_phase = LoadPhase::Loading;
    m_opened = false;
    m_firstFrameDue = true;
    m_eofReached = false;
    setProperty("pause", false);
    m_paused = false;
    command({"loadfile", target.toUtf8(), "replace"}, kLoadReplyBase + m_loadNumber);
}

void MpvPlayer::setPosition(int seconds) {
    seconds = std::max(0, seconds);
    if (m_phase == LoadPhase::Loaded || (m_phase == LoadPhase::Loading && m_opened)) {
        m_pendingSeek = seconds;
        command({"seek", QByteArray::number(seconds), "absolute"});
        // Held at the end: a seek back plays on unless the user paused.
        if (m_eofReached && m_paused) setProperty("pause", false);
    } else if (m_phase == LoadPhase::Loading || m_phase == LoadPhase::Connecting) {
        m_pendingSeek = seconds;  // applied once the film is open
    }
}

int MpvPlayer::position() const {
    if (m_pendingSeek) return *m_pendingSeek;
    if (m_phase != LoadPhase::Loaded || m_timePos < 0) return 0;
    return int(std::floor(m_timePos));
}

int MpvPlayer::duration() const {
    if (!m_opened || m_duration <= 0) return 0;
    return int(std::lround(m_duration));
}

int MpvPlayer::transferRate() const {
    if (!m_film || m_phase == LoadPhase::Idle || m_phase == LoadPhase::Stopped) return 0;
    return int(std::min<qint64>(kLargestRate, m_film->bytesPerSecond() / 1024));
}

int MpvPlayer::bitRate() const {
    if (!m_opened) return 0;
    if (m_fileSize > 0 && m_duration > 0) return int(double(m_fileSize) * 8 / m_duration / 1000);
    return int((m_videoBitrate + m_audioBitrate) / 1000);
}

int MpvPlayer::downloadProgress() const {
    if (m_address.kind == AddressKind::LocalFile) return 1000;
    return m_film ? m_film->progressPerMille() : 0;
}

PlayerSnapshot MpvPlayer::snapshot() const {
    PlayerSnapshot s;
    s.phase = m_phase;
    s.fetch = m_film ? m_film->condition() : FetchCondition::None;
    s.paused = m_paused;
    s.pausedForCache = m_pausedForCache;
    s.seeking = m_seeking;
    s.endReached = m_eofReached;
    return s;
}

PlayState MpvPlayer::playState() const { return mapPlayState(snapshot()); }

void MpvPlayer::setMute(bool muted) {
    m_mute = muted;
    setProperty("mute", muted);
}

void MpvPlayer::setVolume(int volume) {
    m_volume = std::clamp(volume, 0, 100);
    setProperty("volume", double(m_volume));
}

void MpvPlayer::setFullScreen(bool on) {
    if (m_fullScreen) m_fullScreen->setFullScreen(on);
}

bool MpvPlayer::fullScreen() const { return m_fullScreen && m_fullScreen->isFullScreen(); }

void MpvPlayer::setDisplayMode(int mode) {
    if (!videoFilterFor(mode, QSize())) return;
    m_displayMode = mode;
    applyDisplayMode();
}

void MpvPlayer::applyDisplayMode() {
    const QSize size = m_widget ? m_widget->size() : QSize();
    const auto filter = videoFilterFor(m_displayMode, size);
    if (!filter || *filter == m_videoFilter) return;
    m_videoFilter = *filter;
    setProperty("vf", m_videoFilter);
}

bool MpvPlayer::eventFilter(QObject* watched, QEvent* event) {
    // A stretched picture follows the widget's proportions.
    if (watched == m_widget && event->type() == QEvent::Resize && m_displayMode == int(DisplayMode::Stretch)) {
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
    QString why;
    if (!m_cache.preload(*source, &why)) m_errorText = why;
}

void MpvPlayer::configurationChanged() { m_cache.setFolder(readCachePath(m_files, m_files.cacheFolder)); }

}  // namespace qarvel::engine

// Time from Url + Play to the first frame on the engine, against the mpv command
// line (mpv --no-config --vo=null --ao=null --frames=1) on the same media in the
// same run. Neither shows a picture nor plays sound, so both measure opening,
// demuxing and decoding; one row more opens the program's sound output, to
// tell what that adds to a film. Two baselines: the command line's whole
// process (what a stand-alone player pays per film, start and exit included),
// and its first status line by its own clock (its start-up included, its exit
// not).
//
// The times depend heavily on what else the machine runs (two cores shared with
// builds): the spread and the CPU time other processes took during the run are
// printed, so a slower table can be told apart from a busier machine. To compare
// two builds, run them alternately (bench/engine/compare).
//
//   bench_first_frame [--runs N] [--media FILE] [--mpv PROGRAM]
#include "bench/support/process_figures.h"
#include "bench/support/timing.h"
#include "common/detached_process.h"
#include "common/logging.h"
#include "engine/freed_memory.h"
#include "engine/mpv_player.h"
#include "service/demo_service.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

using qarvel::bench::MachineLoad;
using qarvel::bench::median;
using qarvel::bench::mpvCommandLine;
using qarvel::bench::quartiles;
using qarvel::bench::waitFor;
using qarvel::engine::MpvPlayer;
using qarvel::engine::PlayState;

namespace {

const QString kTerminalProgram = QStringLiteral(BENCH_TERMINAL_PROGRAM);

// throughTerminal: network films come from the download service (qarvel-terminal);
// sound: the program's sound output instead of none.
std::unique_ptr<MpvPlayer> makePlayer(const QString& programFolder, const QString& source,
                                      bool throughTerminal = false, bool sound = false) {
    MpvPlayer::Options options;
    options.files = qarvel::ProgramFiles::inFolder(programFolder);
    options.sources = {source};
    options.videoOutput = false;
    options.audioOutput = sound;
    if (throughTerminal) {
        options.startTerminal = [folder = options.files.playerFolder] {
            qarvel::startDetachedProcess(kTerminalProgram, {QStringLiteral("--folder"), folder});
        };
    }
    auto player = std::make_unique<MpvPlayer>(options);
    player->prepareForFilms();  // as the program does once its catalogue has loaded
    return player;
}

// The download service of a program folder, running before the film is asked
// for, as the program starts it with its window.
struct RunningTerminal {
    explicit RunningTerminal(const QString& programFolder) {
        const auto files = qarvel::ProgramFiles::inFolder(programFolder);
        QDir().mkpath(files.playerFolder);
        qarvel::startDetachedProcess(kTerminalProgram, {QStringLiteral("--folder"), files.playerFolder}, &pid);
        waitFor([&] { return QFile::exists(files.terminalAddress); }, 5000);
    }
    ~RunningTerminal() {
        if (pid > 0) ::kill(pid_t(pid), SIGTERM);
    }
    qint64 pid = 0;
};

// Milliseconds from setUrl + play to the player's first frame, or nullopt.
// With fetchAll, the film plays on until the whole of it has arrived (a film
// through the download service tells its progress only while it plays), and
// the fetch is given time to store it before the next film is asked for.
std::optional<double> firstFrame(MpvPlayer& player, const QString& address, bool fetchAll = false) {
    std::optional<double> ms;
    QElapsedTimer clock;
    // Stamped in the signal: the wait itself looks only every millisecond.
    const auto connection =
        QObject::connect(&player, &MpvPlayer::firstFrame, [&] { ms = ms.value_or(clock.nsecsElapsed() / 1e6); });
    clock.start();
    player.setUrl(address);
    player.play();
    const bool ok = waitFor([&] { return ms.has_value(); }, 15000);
    QObject::disconnect(connection);
    if (ok && fetchAll) waitFor([&] { return player.downloadProgress() == 1000; }, 15000);
    player.stop();
    waitFor([&] { return player.playState() == PlayState::Stopped; }, 5000);
    if (ok && fetchAll) waitFor([] { return false; }, 500);
    if (!ok) return std::nullopt;
    return ms;
}

struct Row {
    const char* name;
    std::vector<double> engine;
    std::vector<double> process;
    std::vector<double> frame;
};

void print(const Row& row) {
    const double ours = median(row.engine);
    const std::string spread = quartiles(row.engine);
    if (row.process.empty()) {
        std::printf("%-34s %9.1f %11s %11s %7s %11s %7s\n", row.name, ours, spread.c_str(), "-", "-", "-", "-");
        return;
    }
    const double process = median(row.process);
    const double frame = median(row.frame);
    std::printf("%-34s %9.1f %11s %11.1f %7.2f %11.1f %7.2f\n", row.name, ours, spread.c_str(), process, ours / process,
                frame, ours / frame);
}

}  // namespace

int main(int argc, char** argv) {
    // As the program does: with an arena per thread, mpv's 10 MiB probe
    // buffer of each film is page-faulted afresh now and then, which put
    // 4-9 ms on a film at random.
    qarvel::engine::useOneHeapArena();
    qarvel::installLogHandler();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    int runs = 7;
    QString media = QString(BENCH_MEDIA_DIR) + "/xinghe-01.mp4";
    QString mpv = "mpv";
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == "--runs") runs = std::max(1, args[i + 1].toInt());
        else if (args[i] == "--media") media = args[i + 1];
        else if (args[i] == "--mpv") mpv = args[i + 1];
        else {
            std::fprintf(stderr, "usage: bench_first_frame [--runs N] [--media FILE] [--mpv PROGRAM]\n");
            return 2;
        }
    }
    QFile file(media);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "bench_first_frame: cannot read %s\n", qPrintable(media));
        return 1;
    }
    const QByteArray bytes = file.readAll();
    const QString name = QFileInfo(media).fileName();
    const QString hash = QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex());

    qarvel::service::Options serviceOptions;
    serviceOptions.mediaDir = QFileInfo(media).absolutePath().toStdString();
    qarvel::service::DemoService service(serviceOptions);
    if (!service.start()) {
        std::fprintf(stderr, "bench_first_frame: demo service: %s\n", service.errorText().c_str());
        return 1;
    }
    const QString seed = QString::fromStdString(service.baseUrl()) + "seed/";
    const QString qvod = QString("qvod://%1|%2|%3|").arg(bytes.size()).arg(hash, name);
    const QString httpUrl = seed + hash + "/" + QUrl::toPercentEncoding(name);

    Row local{"local file", {}, {}, {}};
    // What opening the sound output adds to each film (on a machine without
    // a sound server: looking for one, then falling back to none).
    Row localSound{"local file, with sound output", {}, {}, {}};
    Row network{"qvod on the demo service (cold)", {}, {}, {}};
    Row cached{"qvod again, from the cache", {}, {}, {}};
    Row started{"local file, player created first", {}, {}, {}};
    Row terminal{"qvod through the terminal (cold)", {}, {}, {}};
    Row terminalCached{"qvod again, through the terminal", {}, {}, {}};
    bool failed = false;
    auto take = [&](std::vector<double>& into, std::optional<double> ms) {
        if (ms) into.push_back(*ms);
        else failed = true;
    };
    auto takeCli = [&](Row& row, std::optional<qarvel::bench::CommandLineTimes> times) {
        if (!times) {
            failed = true;
            return;
        }
        row.process.push_back(times->process);
        row.frame.push_back(times->firstFrame);
    };

    const MachineLoad load;
    QTemporaryDir shared;
    auto warm = makePlayer(shared.path(), seed);
    firstFrame(*warm, media);  // loads the decoders once, as a running program has
    auto warmWithSound = makePlayer(shared.path(), seed, false, true);
    firstFrame(*warmWithSound, media);
    for (int i = 0; i < runs; ++i) {
        take(local.engine, firstFrame(*warm, media));
        const auto localCli = mpvCommandLine(mpv, media);
        takeCli(local, localCli);
        take(localSound.engine, firstFrame(*warmWithSound, media));

        QTemporaryDir fresh;  // an empty cache each time
        auto player = makePlayer(fresh.path(), seed);
        take(network.engine, firstFrame(*player, qvod, true));
        take(cached.engine, firstFrame(*player, qvod));
        const auto networkCli = mpvCommandLine(mpv, httpUrl);
        takeCli(network, networkCli);

        QTemporaryDir served;  // an empty cache, served by a running download service
        {
            const RunningTerminal service(served.path());
            auto viaTerminal = makePlayer(served.path(), seed, true);
            // In the program the service runs, and is known to the player, well before a film is asked for.
            waitFor([&] { return viaTerminal->knowsService(); }, 5000);
            take(terminal.engine, firstFrame(*viaTerminal, qvod, true));
            take(terminalCached.engine, firstFrame(*viaTerminal, qvod));
        }
        takeCli(terminal, networkCli);
        takeCli(terminalCached, networkCli);

        // A player made for this one film: its start-up counts as well.
        QElapsedTimer clock;
        clock.start();
        auto once = makePlayer(fresh.path(), seed);
        const auto ms = firstFrame(*once, media);
        take(started.engine, ms ? std::optional<double>(clock.nsecsElapsed() / 1e6) : std::nullopt);
        takeCli(started, localCli);
    }
    std::printf("first frame after Url + Play, median of %d runs, ms (%s, %lld bytes)\n", runs, qPrintable(name),
                static_cast<long long>(bytes.size()));
    std::printf("%-34s %9s %11s %11s %7s %11s %7s\n", "case", "engine", "quartiles", "CLI process", "ratio",
                "CLI frame", "ratio");
    print(local);
    print(localSound);
    print(network);
    print(cached);
    print(started);
    print(terminal);
    print(terminalCached);
    load.report();
    if (failed) std::printf("some runs did not reach a first frame and are left out\n");
    return failed ? 1 : 0;
}

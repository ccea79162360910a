// Time from Url + Play to the first frame on the engine, against the mpv command
// line (mpv --no-config --vo=null --ao=null --frames=1) on the same media in the
// same run. Neither shows a picture nor plays sound, so both measure opening,
// demuxing and decoding. Two baselines: the command line's whole process (what a
// stand-alone player pays per film, start and exit included), and its first
// status line by its own clock (its start-up included, its exit not).
//
// The times depend heavily on what else the machine runs (two cores shared with
// builds): the spread and the CPU time other processes took during the run are
// printed, so a slower table can be told apart from a busier machine. To compare
// two builds, run them alternately (bench/engine/compare).
//
//   bench_first_frame [--runs N] [--media FILE] [--mpv PROGRAM]
#include "common/logging.h"
#include "engine/mpv_player.h"
#include "service/demo_service.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <unistd.h>
#include <vector>

using qarvel::engine::MpvPlayer;
using qarvel::engine::PlayState;

namespace {

// Interpolated between the two nearest values; 0.5 is the median.
double quantile(std::vector<double> values, double q) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const double position = q * static_cast<double>(values.size() - 1);
    const size_t below = static_cast<size_t>(position);
    if (below + 1 >= values.size()) return values.back();
    return values[below] + (position - static_cast<double>(below)) * (values[below + 1] - values[below]);
}

double median(std::vector<double> values) { return quantile(std::move(values), 0.5); }

// CPU time in clock ticks: busy time of the whole machine, and of this process
// with its waited-for children (the command line runs).
struct CpuTicks {
    long long machine = 0;
    long long own = 0;
};

std::optional<CpuTicks> cpuTicks() {
    CpuTicks ticks;
    std::ifstream stat("/proc/stat");
    std::string label;
    long long user = 0, nice = 0, system = 0, idle = 0, iowait = 0, irq = 0, softirq = 0, steal = 0;
    if (!(stat >> label >> user >> nice >> system >> idle >> iowait >> irq >> softirq >> steal) || label != "cpu") {
        return std::nullopt;
    }
    ticks.machine = user + nice + system + irq + softirq + steal;
    std::ifstream self("/proc/self/stat");
    std::string line;
    if (!std::getline(self, line)) return std::nullopt;
    // The fields after the command name, which is in parentheses and may hold spaces.
    const size_t close = line.rfind(')');
    if (close == std::string::npos) return std::nullopt;
    std::istringstream fields(line.substr(close + 1));
    const std::vector<std::string> rest((std::istream_iterator<std::string>(fields)),
                                        std::istream_iterator<std::string>());
    // utime, stime, cutime, cstime are fields 14..17 of the line, 12..15 after the name.
    if (rest.size() < 16) return std::nullopt;
    for (size_t i = 11; i < 15; ++i) ticks.own += std::stoll(rest[i]);
    return ticks;
}

bool waitFor(const std::function<bool()>& done, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    return done();
}

std::unique_ptr<MpvPlayer> makePlayer(const QString& programFolder, const QString& source) {
    MpvPlayer::Options options;
    options.files = qarvel::ProgramFiles::inFolder(programFolder);
    options.sources = {source};
    options.videoOutput = false;
    options.audioOutput = false;
    return std::make_unique<MpvPlayer>(options);
}

// Milliseconds from setUrl + play to the player's first frame, or nullopt.
std::optional<double> firstFrame(MpvPlayer& player, const QString& address) {
    bool shown = false;
    const auto connection = QObject::connect(&player, &MpvPlayer::firstFrame, [&] { shown = true; });
    QElapsedTimer clock;
    clock.start();
    player.setUrl(address);
    player.play();
    const bool ok = waitFor([&] { return shown; }, 15000);
    const double ms = clock.nsecsElapsed() / 1e6;
    QObject::disconnect(connection);
    player.stop();
    waitFor([&] { return player.playState() == PlayState::Stopped; }, 5000);
    if (!ok) return std::nullopt;
    return ms;
}

struct CommandLineTimes {
    double process = 0;     // start to exit of the whole process
    double firstFrame = 0;  // the first status line by mpv's own clock (from its start-up)
};

std::optional<CommandLineTimes> commandLine(const QString& mpv, const QString& media) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer clock;
    clock.start();
    process.start(mpv, {"--no-config", "--vo=null", "--ao=null", "--frames=1", "--msg-time", media});
    if (!process.waitForFinished(15000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        return std::nullopt;
    }
    CommandLineTimes times;
    times.process = clock.nsecsElapsed() / 1e6;
    static const QRegularExpression status(R"(\[\s*([0-9.]+)\][^\n]*\bA?V: )");
    const auto match = status.match(QString::fromUtf8(process.readAll()));
    if (!match.hasMatch()) return std::nullopt;
    times.firstFrame = match.captured(1).toDouble() * 1000;
    return times;
}

struct Row {
    const char* name;
    std::vector<double> engine;
    std::vector<double> process;
    std::vector<double> frame;
};

void print(const Row& row) {
    const double ours = median(row.engine);
    char spread[32];
    std::snprintf(spread, sizeof spread, "%.1f-%.1f", quantile(row.engine, 0.25), quantile(row.engine, 0.75));
    if (row.process.empty()) {
        std::printf("%-34s %9.1f %11s %11s %7s %11s %7s\n", row.name, ours, spread, "-", "-", "-", "-");
        return;
    }
    const double process = median(row.process);
    const double frame = median(row.frame);
    std::printf("%-34s %9.1f %11s %11.1f %7.2f %11.1f %7.2f\n", row.name, ours, spread, process, ours / process, frame,
                ours / frame);
}

}  // namespace

int main(int argc, char** argv) {
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
    Row network{"qvod on the demo service (cold)", {}, {}, {}};
    Row cached{"qvod again, from the cache", {}, {}, {}};
    Row started{"local file, player created first", {}, {}, {}};
    bool failed = false;
    auto take = [&](std::vector<double>& into, std::optional<double> ms) {
        if (ms) into.push_back(*ms);
        else failed = true;
    };
    auto takeCli = [&](Row& row, std::optional<CommandLineTimes> times) {
        if (!times) {
            failed = true;
            return;
        }
        row.process.push_back(times->process);
        row.frame.push_back(times->firstFrame);
    };

    const auto ticksBefore = cpuTicks();
    QElapsedTimer wall;
    wall.start();
    QTemporaryDir shared;
    auto warm = makePlayer(shared.path(), seed);
    firstFrame(*warm, media);  // loads the decoders once, as a running program has
    for (int i = 0; i < runs; ++i) {
        take(local.engine, firstFrame(*warm, media));
        const auto localCli = commandLine(mpv, media);
        takeCli(local, localCli);

        QTemporaryDir fresh;  // an empty cache each time
        auto player = makePlayer(fresh.path(), seed);
        take(network.engine, firstFrame(*player, qvod));
        waitFor([&] { return player->downloadProgress() == 1000; }, 15000);
        take(cached.engine, firstFrame(*player, qvod));
        takeCli(network, commandLine(mpv, httpUrl));

        // A player made for this one film: its start-up counts as well.
        QElapsedTimer clock;
        clock.start();
        auto once = makePlayer(fresh.path(), seed);
        const auto ms = firstFrame(*once, media);
        take(started.engine, ms ? std::optional<double>(clock.nsecsElapsed() / 1e6) : std::nullopt);
        takeCli(started, localCli);
    }
    const auto ticksAfter = cpuTicks();
    const double seconds = wall.nsecsElapsed() / 1e9;
    std::printf("first frame after Url + Play, median of %d runs, ms (%s, %lld bytes)\n", runs, qPrintable(name),
                static_cast<long long>(bytes.size()));
    std::printf("%-34s %9s %11s %11s %7s %11s %7s\n", "case", "engine", "quartiles", "CLI process", "ratio",
                "CLI frame", "ratio");
    print(local);
    print(network);
    print(cached);
    print(started);
    if (ticksBefore && ticksAfter && seconds > 0) {
        const double hz = static_cast<double>(sysconf(_SC_CLK_TCK));
        const long long others = (ticksAfter->machine - ticksBefore->machine) - (ticksAfter->own - ticksBefore->own);
        const double busy = std::max(0.0, others / hz / seconds);
        const long cores = sysconf(_SC_NPROCESSORS_ONLN);
        std::printf("other processes kept %.2f of %ld cores busy during the run%s\n", busy, cores,
                    busy >= 0.25 ? ": the times are not comparable with a quiet machine's" : "");
    }
    if (failed) std::printf("some runs did not reach a first frame and are left out\n");
    return failed ? 1 : 0;
}

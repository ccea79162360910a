// CPU of the process tree while a film plays in the program's window, against
// the mpv command line playing the same film in a window of the same size, in
// turns on the same display; then the time one status poll takes.
//
//   xvfb-run -a -s "-screen 0 1600x1000x24" bench_poll_cpu [--seconds N] [--rounds N] [--mpv PROGRAM]
//
// The goal: program <= 1.1 x mpv.
#include "app/application.h"
#include "app/main_window/main_window.h"
#include "bench/support/process_figures.h"
#include "bench/support/timing.h"
#include "common/program_files.h"
#include "engine/player.h"
#include "platform/player_component.h"
#include "platform/power_off.h"
#include "platform/user_dialogs.h"
#include "playback/status_poll.h"
#include "service/demo_service.h"
#include "web/link_router.h"
#include "web/web_environment.h"
#include "window/main_window_controls.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <clocale>
#include <cstdio>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace {

// Lets the program run for ms.
void runFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Share of one core the tree used over the next `seconds`, events running;
// the root process's own share in rootShare when given.
double coreShare(pid_t root, int seconds, double* rootShare = nullptr) {
    const double before = qarvel::bench::treeCpuSeconds(root), rootBefore = qarvel::bench::treeCpuSeconds(root, true);
    QElapsedTimer t;
    t.start();
    runFor(seconds * 1000);
    const double elapsed = t.elapsed() / 1000.0;
    if (rootShare) *rootShare = (qarvel::bench::treeCpuSeconds(root, true) - rootBefore) / elapsed;
    return (qarvel::bench::treeCpuSeconds(root) - before) / elapsed;
}

bool makeClip(const QString& path, int seconds) {
    QProcess p;
    p.start(QStringLiteral("ffmpeg"), {"-v",
                                       "error",
                                       "-y",
                                       "-f",
                                       "lavfi",
                                       "-i",
                                       QStringLiteral("testsrc2=s=640x360:r=25:d=%1").arg(seconds),
                                       "-f",
                                       "lavfi",
                                       "-i",
                                       QStringLiteral("sine=f=440:d=%1").arg(seconds),
                                       "-c:v",
                                       "libx264",
                                       "-preset",
                                       "ultrafast",
                                       "-pix_fmt",
                                       "yuv420p",
                                       "-c:a",
                                       "aac",
                                       path});
    return p.waitForFinished(120000) && p.exitCode() == 0;
}

struct NoPower final : qarvel::platform::PowerOff {
    void ShutDownComputer() override {}
};

}  // namespace

int main(int argc, char** argv) {
    int seconds = 20;
    int rounds = 3;
    QString mpv = QStringLiteral("mpv");
    for (int i = 1; i + 1 < argc; i += 2) {
        const QByteArray a = argv[i];
        if (a == "--seconds") seconds = QByteArray(argv[i + 1]).toInt();
        else if (a == "--mpv") mpv = QString::fromLocal8Bit(argv[i + 1]);
        else if (a == "--rounds") rounds = std::max(1, QByteArray(argv[i + 1]).toInt());
    }
    qarvel::web::prepareWebEngineEnvironment();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");

    const qarvel::bench::MachineLoad load;
    QTemporaryDir home;
    const QString clip = home.filePath(QStringLiteral("film.mp4"));
    const int length = (rounds + 1) * seconds + 60;
    if (!makeClip(clip, length)) {
        std::fprintf(stderr, "bench_poll_cpu: ffmpeg could not make the film\n");
        return 1;
    }
    qarvel::service::DemoService service;
    if (!service.start()) return 1;

    qarvel::platform::LinuxPlayerComponent component;
    qarvel::platform::DesktopShell shell;
    qarvel::platform::QtUserDialogs dialogs;
    NoPower power;
    auto program = std::make_unique<qarvel::Application>(
        qarvel::ApplicationOptions{.files = qarvel::ProgramFiles::inFolder(home.filePath("program")),
                                   .serviceBase = QString::fromStdString(service.baseUrl()),
                                   .dialogs = &dialogs,
                                   .power = &power});
    QDir().mkpath(home.filePath("program"));
    if (program->start(component, shell) != qarvel::StartupResult::WindowShown) return 1;
    runFor(5000);  // the panes load
    QString target = clip;
    program->parts().router->runCommandText(target);
    runFor(5000);  // playing, the first pictures shown
    QWidget* video = program->player()->videoWidget();
    const QSize size = video ? video->size() : QSize(640, 360);
    const int state = int(program->player()->playState());

    // The program and the mpv command line take turns, so that a machine
    // that drifts (clock, other load) moves both alike: the program plays
    // for a slice, then pauses while mpv plays the same film in a window of
    // the same size on the same display.
    // Its sound goes nowhere, as the program's does where there is no sound
    // device: both decode it (without a device mpv would not).
    const QStringList mpvArguments{"--no-config", "--really-quiet", "--hwdec=no", "--ao=null", "--loop-file=inf",
                                   "--force-window=yes", QStringLiteral("--geometry=%1x%2").arg(size.width()).arg(size.height()),
                                   clip};
    std::vector<double> programShares, mainShares, mpvShares, ratios;
    for (int round = 0; round < rounds; ++round) {
        double mainShare = 0;
        programShares.push_back(coreShare(getpid(), seconds, &mainShare));
        mainShares.push_back(mainShare);
        program->player()->pause();
        QProcess player;
        player.start(mpv, mpvArguments);
        if (!player.waitForStarted(10000)) {
            std::fprintf(stderr, "bench_poll_cpu: %s could not start\n", qPrintable(mpv));
            return 1;
        }
        runFor(3000);  // its window up and playing
        mpvShares.push_back(coreShare(pid_t(player.processId()), seconds));
        ratios.push_back(programShares.back() / mpvShares.back());
        player.kill();
        player.waitForFinished();
        program->player()->play();
        runFor(2000);
    }
    const double programShare = qarvel::bench::median(programShares);
    const double mpvShare = qarvel::bench::median(mpvShares);
    // The same with the poll stopped: what the poll itself adds.
    QTimer* poll1 = program->window()->controls().statusPollTimer;
    poll1->stop();
    const double withoutPollShare = coreShare(getpid(), seconds);
    poll1->start();

    // One poll, timed on its own while the film plays.
    qarvel::playback::StatusPoll& poll = *program->parts().poll;
    constexpr int kPolls = 2000;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < kPolls; ++i) poll.pollPlayerStatus();
    const double pollMicroseconds = double(t.nsecsElapsed()) / kPolls / 1000.0;
    program->storePlayPosition();
    program.reset();
    service.stop();

    const double limit = 1.1 * mpvShare;
    std::printf("picture %dx%d, state while measured %d, %d rounds of %d s each, medians\n", size.width(),
                size.height(), state, rounds, seconds);
    std::printf("program (process tree)  %6.1f %% of one core\n", 100 * programShare);
    std::printf("  of which the main process %6.1f %%\n", 100 * qarvel::bench::median(mainShares));
    std::printf("  the same, poll stopped %6.1f %% of one core\n", 100 * withoutPollShare);
    std::printf("mpv command line        %6.1f %% of one core\n", 100 * mpvShare);
    std::printf("ratio program / mpv, median of the rounds %5.2f (%s)\n", qarvel::bench::median(ratios),
                qarvel::bench::quartiles(ratios).c_str());
    std::printf("limit 1.1 x mpv          %6.1f %%  -> %s\n", 100 * limit, programShare <= limit ? "met" : "NOT met");
    std::printf("one status poll         %6.1f us\n", pollMicroseconds);
    load.report();
    return 0;
}

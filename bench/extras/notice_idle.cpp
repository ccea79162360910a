// CPU of the program's process tree, idle on the demo service, while the
// scrolling notice cycles; then the same window with the notice stopped, in
// the same run, so the difference is what the notice costs.
//
//   xvfb-run -a -s "-screen 0 1600x1000x24" bench_notice_idle [--seconds N]
//
// The goal: under 1 % of one core on average over a minute with the notice cycling.
#include "app/application.h"
#include "app/main_window/main_window.h"
#include "bench/support/process_figures.h"
#include "common/program_files.h"
#include "extras/online_extras.h"
#include "extras/scrolling_notice.h"
#include "platform/player_component.h"
#include "platform/power_off.h"
#include "platform/user_dialogs.h"
#include "service/demo_service.h"
#include "service/fault.h"
#include "web/web_environment.h"
#include "window/main_window_controls.h"
#include "window/picture_box.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <unistd.h>

namespace {

void runFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

struct NoPower final : qarvel::platform::PowerOff {
    void ShutDownComputer() override {}
};

// Nothing leaves the benchmark for the desktop.
struct NoShell final : qarvel::platform::Shell {
    bool openUrl(const QString&) override { return true; }
    bool startDetached(const QString&, const QStringList&) override { return true; }
};

// Share of one core the tree used over `seconds`, and how many times the
// notice's timer fired and how many notices were shown meanwhile.
struct Figures {
    double share = 0;
    int expiries = 0;
    int changes = 0;
};

Figures measure(qarvel::Application& program, int seconds) {
    QTimer* timer = program.window()->controls().noticeScrollTimer;
    Figures f;
    int last = program.window()->state().NoticeCurrent;
    const auto counting = QObject::connect(timer, &QTimer::timeout, [&] {
        ++f.expiries;
        const int now = program.window()->state().NoticeCurrent;
        if (now != last) ++f.changes;
        last = now;
    });
    const double before = qarvel::bench::treeCpuSeconds(getpid());
    QElapsedTimer t;
    t.start();
    runFor(seconds * 1000);
    f.share = (qarvel::bench::treeCpuSeconds(getpid()) - before) / (t.elapsed() / 1000.0);
    QObject::disconnect(counting);
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    int seconds = 60;
    for (int i = 1; i + 1 < argc; i += 2)
        if (QByteArray(argv[i]) == "--seconds") seconds = QByteArray(argv[i + 1]).toInt();
    qarvel::web::prepareWebEngineEnvironment();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");

    const qarvel::bench::MachineLoad load;
    qarvel::service::DemoService service;
    if (!service.start()) return 1;
    // The notice on, the other switches off: what is measured is the notice.
    service.setTextFile(qarvel::service::endpoint::kUpdateControl, "0====0====0====1====0====1.0");

    QTemporaryDir home;
    QDir().mkpath(home.filePath("program"));
    qarvel::platform::LinuxPlayerComponent component;
    NoShell shell;
    qarvel::platform::QtUserDialogs dialogs;
    NoPower power;
    auto program = std::make_unique<qarvel::Application>(
        qarvel::ApplicationOptions{.files = qarvel::ProgramFiles::inFolder(home.filePath("program")),
                                   .serviceBase = QString::fromStdString(service.baseUrl()),
                                   .dialogs = &dialogs,
                                   .power = &power});
    if (program->start(component, shell) != qarvel::StartupResult::WindowShown) return 1;
    program->window()->controls().updateCheckTimer->start(10);
    runFor(10000);  // the panes load, the notice starts
    QTimer* notice = program->window()->controls().noticeScrollTimer;
    const int labels = int(program->parts().extras->notice().labels().size());
    if (!notice->isActive()) {
        std::fprintf(stderr, "bench_notice_idle: the notice did not start\n");
        return 1;
    }
    const Figures cycling = measure(*program, seconds);
    notice->stop();
    const Figures still = measure(*program, seconds);

    std::printf("%d notices, %d s each measurement\n", labels, seconds);
    std::printf("notice cycling      %6.2f %% of one core (%d timer expiries, %d notices shown)\n", 100 * cycling.share,
                cycling.expiries, cycling.changes);
    std::printf("notice stopped      %6.2f %% of one core\n", 100 * still.share);
    std::printf("goal < 1 %% cycling  -> %s\n", cycling.share < 0.01 ? "met" : "NOT met");
    program.reset();
    service.stop();
    load.report();
    return 0;
}

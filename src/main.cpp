// qarvel: the client. Parses the command line, prepares the program folder,
// optionally starts the demo service, then runs the start-up sequence.
#include "app/build_config.h"
#include "app/main_window/main_window.h"
#include "app/command_line.h"
#include "app/startup_sequence.h"
#include "app/system_services.h"
#include "app/unattended_run.h"
#include "engine/mpv_player.h"
#include "platform/player_component.h"
#include "platform/user_dialogs.h"
#include "records/record_list_page.h"
#include "service/demo_service.h"
#include "web/web_environment.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <clocale>
#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    const qarvel::CommandLine cl = qarvel::parseCommandLine(args, qEnvironmentVariable("QARVEL_HOME"));
    if (!cl.error.isEmpty()) {
        std::fprintf(stderr, "qarvel: %s\n\n%s", qPrintable(cl.error), qPrintable(qarvel::usageText()));
        return 2;
    }
    if (cl.help) {
        std::fputs(qPrintable(qarvel::usageText()), stdout);
        return 0;
    }
    if (cl.version) {
        std::printf("%s %s\n", qarvel::config::kProgramName, qarvel::config::kVersion);
        return 0;
    }

    qarvel::web::prepareWebEngineEnvironment();
    // The browser engine reports its start parameters at info level; users don't need them.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");  // libmpv parses numbers with the C locale

    const QString home = QDir::cleanPath(
        QFileInfo(cl.home.isEmpty() ? QCoreApplication::applicationDirPath() : cl.home).absoluteFilePath());
    if (!QDir().mkpath(home)) {
        std::fprintf(stderr, "qarvel: cannot create the program folder %s\n", qPrintable(home));
        return 1;
    }

    // The service base address: built in, given, or the in-process demo service.
    QString serviceBase = cl.service.isEmpty() ? QString::fromUtf8(qarvel::config::kServiceBase) : cl.service;
    std::unique_ptr<qarvel::service::DemoService> demo;
    if (cl.demo) {
        demo = std::make_unique<qarvel::service::DemoService>();
        if (!demo->start()) {
            std::fprintf(stderr, "qarvel: the demo service could not start: %s\n", demo->errorText().c_str());
            return 1;
        }
        serviceBase = QString::fromStdString(demo->baseUrl());
        for (const std::string& clip : demo->missingMedia())
            std::fprintf(stderr, "qarvel: demo clip missing (build the demo_media target): %s\n", clip.c_str());
    }

    qarvel::platform::LinuxPlayerComponent component;
    qarvel::platform::QtUserDialogs dialogs;
    qarvel::platform::DesktopShell shell;
    std::unique_ptr<qarvel::engine::MpvPlayer> player;
    std::unique_ptr<qarvel::MainWindow> window;

    qarvel::StartupEnvironment env;
    env.programFolder = home;
    env.component = &component;
    env.dialogs = &dialogs;
    env.shell = &shell;
    env.macAddress = [] { return qarvel::GetMacAddress(); };
    env.randomUserId = [] { return qarvel::MakeRandomUserId(); };
    const qarvel::records::ListPageWriter pages(home);
    env.renderRecordList = [&pages](const QString& recordFile) {
        pages.RenderRecordList(qarvel::records::recordFileForName(recordFile));
    };
    env.showMainWindow = [&] {
        qarvel::engine::MpvPlayer::Options options;
        options.programFolder = home;
        options.sources = {serviceBase + QStringLiteral("seed/")};
        // Platforms without a screen have no GL surface for the picture; the
        // film still plays (state, time, records) without one.
        const QString platform = QGuiApplication::platformName();
        options.videoOutput = platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
        player = std::make_unique<qarvel::engine::MpvPlayer>(options);
        // The window cannot stand without its player control.
        if (!player->isReady()) {
            std::fprintf(stderr, "qarvel: the player could not start: %s\n", qPrintable(player->errorText()));
            return false;
        }
        window = std::make_unique<qarvel::MainWindow>(qarvel::MainWindowDeps{
            .programFolder = home, .serviceBase = serviceBase, .player = *player, .commandLine = cl.playTarget});
        window->show();
        return true;
    };
    if (qarvel::StartupSequence(env).run() != qarvel::StartupResult::WindowShown) return 0;
    qarvel::scheduleUnattendedRun([&window](const QString& path) { return window && window->grabScreenshot(path); },
                                  cl.screenshot, cl.quitAfterMs > 0 ? cl.quitAfterMs * 3 / 4 : 15000, cl.quitAfterMs);
    const int code = app.exec();
    window.reset();  // before the player it holds a reference to
    return code;
}

// qarvel: the client. Parses the command line, prepares the program folder,
// optionally starts the demo service, then runs the start-up sequence, which
// has the application show its window.
#include "common/atomic_file.h"
#include "common/build_config.h"
#include "common/logging.h"
#include "common/program_files.h"
#include "app/application.h"
#include "app/command_line.h"
#include "app/program_folder.h"
#include "app/single_instance.h"
#include "app/unattended_run.h"
#include "engine/freed_memory.h"
#include "platform/desktop_bus.h"
#include "platform/player_component.h"
#include "platform/termination_signals.h"
#include "platform/user_dialogs.h"
#include "service/demo_service.h"
#include "web/web_environment.h"

#include <QApplication>
#include <QDir>
#include <QLoggingCategory>
#include <clocale>
#include <cstdio>
#include <memory>

namespace {
// Everything from the application object's start to its end.
int runClient(QApplication& app, const qarvel::CommandLine& cl);
}  // namespace

int main(int argc, char** argv) {
    qarvel::engine::useOneHeapArena();  // before any thread starts
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

    qarvel::installLogHandler();
    if (!cl.leftTargets.isEmpty())
        qCWarning(qarvel::lcClient).noquote() << "one film plays at a time;" << cl.playTarget
                                              << "plays, left:" << cl.leftTargets.join(QStringLiteral(", "));
    qarvel::web::prepareWebEngineEnvironment();
    // The browser engine reports its start parameters at info level; users don't need them.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    QApplication app(argc, argv);
    qarvel::platform::useChineseQtTexts();
    const int status = runClient(app, cl);
    // The window and its panes are gone; the profile goes while the browser
    // engine still runs, so the service's last cookies reach the disk.
    qarvel::web::releaseSharedProfile();
    return status;
}

namespace {

int runClient(QApplication& app, const qarvel::CommandLine& cl) {
    std::setlocale(LC_NUMERIC, "C");  // libmpv parses numbers with the C locale
    qarvel::platform::quitOnTerminationSignals();

    const QString home = qarvel::chooseProgramFolder(cl.home, QCoreApplication::applicationDirPath());
    if (!qarvel::makePrivateFolder(home)) {
        qCCritical(qarvel::lcClient).noquote() << "cannot create the program folder" << home;
        return 1;
    }

    // One window per program folder: a running one takes the file and comes
    // forward. When it does not answer in time, this process carries on as
    // the first, so the file is not lost.
    // A file named relative to this process's folder is named in full, here
    // and for the running window, which has a folder of its own: the record
    // and the title need the full path.
    const QString playTarget = qarvel::absoluteTarget(cl.playTarget, QDir::currentPath());
    const QString target = playTarget.isEmpty() ? QString() : qarvel::commandText({playTarget});
    if (qarvel::SingleInstance::handOff(qarvel::SingleInstance::serverName(home), target) == qarvel::HandOff::Delivered)
        return 0;

    // The service base address: built in, given, or the in-process demo service.
    QString serviceBase = cl.service.isEmpty() ? QString::fromUtf8(qarvel::config::kServiceBase) : cl.service;
    std::unique_ptr<qarvel::service::DemoService> demo;
    if (cl.demo) {
        demo = std::make_unique<qarvel::service::DemoService>();
        if (!demo->start()) {
            qCCritical(qarvel::lcClient) << "the demo service could not start:" << demo->errorText().c_str();
            return 1;
        }
        serviceBase = QString::fromStdString(demo->baseUrl());
        demo->reportMissingMedia();
    }

    // The one value that names the program's files; every part gets it from here.
    const qarvel::ProgramFiles files = qarvel::ProgramFiles::inFolder(home);
    qarvel::platform::LinuxPlayerComponent component;
    qarvel::platform::QtUserDialogs dialogs;
    qarvel::platform::DesktopShell shell;
    const qarvel::platform::DesktopBus bus = qarvel::platform::machineDesktopBus();
    qarvel::Application application({.files = files,
                                     .serviceBase = serviceBase,
                                     .playTarget = playTarget,
                                     .dialogs = &dialogs,
                                     .desktopBus = &bus});

    const qarvel::StartupResult started = application.start(component, shell);
    if (started != qarvel::StartupResult::WindowShown) return qarvel::startupExitStatus(started);
    // The end of the session (SIGTERM, logout) takes the exit's own path.
    qarvel::platform::quitOnTerminationSignals([&application] { application.endSession(); });
    qarvel::scheduleUnattendedRun([&application](const QString& path) { return application.grabScreenshot(path); },
                                  cl.screenshot, cl.quitAfterMs > 0 ? cl.quitAfterMs * 3 / 4 : 15000, cl.quitAfterMs);
    return app.exec();
}

}  // namespace

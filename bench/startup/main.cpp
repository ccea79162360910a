// bench_startup: how long from process start until every pane has loaded its
// first page, and how much memory the process tree then takes.
//
//   bench_startup                 runs each case below in a fresh process and prints a table
//   bench_startup --case panes    the eleven panes with the program's engine flags
//   bench_startup --case plain    the eleven panes with the engine's own defaults
//   bench_startup --case bare     one plain QWebEngineView loading the catalogue page
//   bench_startup --case program  the real program (Application, as main() builds it, with
//                                 --demo), idle once its panes loaded, then with a clip playing
//   --runs N                      repeat each case N times (default 3) and report medians
//
// All cases load from the demo service on loopback, started in-process. The
// memory is summed PSS over the process and its children, one second after
// the last load. Without a display the offscreen platform is used.
#include "bench/support/process_figures.h"
#include "bench/support/timing.h"

#include "app/application.h"
#include "app/main_window/main_window.h"
#include "common/logging.h"
#include "engine/player.h"
#include "platform/player_component.h"
#include "platform/user_dialogs.h"
#include "web/link_router.h"
#include "common/text_codec.h"
#include "service/demo_service.h"
#include "web/first_pages.h"
#include "web/web_environment.h"
#include "web/web_pane.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineView>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

using qarvel::bench::median;
using qarvel::bench::msSinceProcessStart;
using qarvel::bench::treeMemory;
using qarvel::bench::waitFor;

const int kTimeoutMs = 60000;

void writeListPage(const QString& path) {
    // The shape of an empty list page; enough for a load.
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) {
        f.write(qarvel::toGbk(QStringLiteral(
            "<html><head><title></title></head><body oncontextmenu=\"return false\">"
            "<table id=\"v1\"><tr><td colspan=2 align=center>暂无记录</td></tr></table></body></html>\r\n")));
    }
}

void runFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void report(const char* name, double loadedMs, double mainMs) {
    // Settle, then measure the whole tree once.
    runFor(1000);
    const auto mem = treeMemory(::getpid());
    std::printf("case=%s loaded_ms=%.0f from_main_ms=%.0f pss_mib=%.1f rss_mib=%.1f processes=%d\n", name, loadedMs,
                mainMs, mem.pssKiB / 1024.0, mem.rssKiB / 1024.0, mem.processes);
    std::fflush(stdout);
}

// The program as main() starts it: its window, its panes on their first
// pages, its player; then a clip of the demo service played from its file.
int runProgram(const QString& base, const QString& mediaDir, const QElapsedTimer& sinceMain) {
    QTemporaryDir home;
    qarvel::platform::LinuxPlayerComponent component;
    qarvel::platform::DesktopShell shell;
    qarvel::platform::QtUserDialogs dialogs;
    qarvel::Application application(
        {.files = qarvel::ProgramFiles::inFolder(home.path()), .serviceBase = base, .dialogs = &dialogs});
    if (application.start(component, shell) != qarvel::StartupResult::WindowShown) return 3;
    std::vector<int> finished(qarvel::kPaneCount, 0);
    double catalogueMs = -1;  // the catalogue pane's first load, from process start
    for (int n = qarvel::Pane::Catalogue; n <= qarvel::kPaneCount; ++n) {
        auto* pane = application.window()->pane(n);
        if (!pane) return 3;
        QObject::connect(pane, &QWebEngineView::loadFinished, [&finished, &catalogueMs, n](bool) {
            if (n == qarvel::Pane::Catalogue && catalogueMs < 0) catalogueMs = msSinceProcessStart();
            ++finished[qarvel::paneSlot(qarvel::Pane(n))];
        });
    }
    const bool ok = waitFor(
        [&] {
            for (int n = qarvel::Pane::Catalogue; n <= qarvel::kPaneCount; ++n)
                if (finished[qarvel::paneSlot(qarvel::Pane(n))] == 0 ||
                    application.window()->pane(n)->page()->isLoading())
                    return false;
            return true;
        },
        kTimeoutMs);
    if (!ok) {
        std::fprintf(stderr, "bench_startup: not every pane of the program loaded within %d ms\n", kTimeoutMs);
        return 3;
    }
    const double loadedMs = msSinceProcessStart();
    const double mainMs = double(sinceMain.elapsed());
    runFor(1000);
    const auto idle = treeMemory(::getpid());

    QString clip = mediaDir + QStringLiteral("/chengshi.mp4");
    application.parts().router->runCommandText(clip);
    if (!waitFor([&] { return application.player()->playState() == qarvel::engine::PlayState::Playing; }, kTimeoutMs))
        return 3;
    runFor(3000);
    const auto playing = treeMemory(::getpid());
    std::printf(
        "case=program loaded_ms=%.0f catalogue_ms=%.0f from_main_ms=%.0f pss_mib=%.1f rss_mib=%.1f processes=%d "
        "playing_pss_mib=%.1f playing_processes=%d\n",
        loadedMs, catalogueMs, mainMs, idle.pssKiB / 1024.0, idle.rssKiB / 1024.0, idle.processes,
        playing.pssKiB / 1024.0, playing.processes);
    std::fflush(stdout);
    return 0;
}

int runCase(const QString& name, int argc, char** argv) {
    QElapsedTimer sinceMain;
    sinceMain.start();

    if (name == QLatin1String("plain")) {
        // Only what the engine needs to start at all here.
        if (::geteuid() == 0) qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox");
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    } else {
        qarvel::web::prepareWebEngineEnvironment();
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");  // libmpv parses numbers with the C locale

    qarvel::service::DemoService service;
    if (!service.start()) {
        std::fprintf(stderr, "bench_startup: demo service: %s\n", service.errorText().c_str());
        return 1;
    }
    const QString base = QString::fromStdString(service.baseUrl());

    if (name == QLatin1String("program"))
        return runProgram(base, QString::fromStdString(service.mediaDir()), sinceMain);

    QTemporaryDir home;
    const qarvel::ProgramFiles files = qarvel::ProgramFiles::inFolder(home.path());
    writeListPage(files.networkListPage);
    writeListPage(files.localListPage);

    if (name == QLatin1String("bare")) {
        QWebEngineView view;
        view.resize(800, 600);
        view.show();
        bool loaded = false;
        QObject::connect(&view, &QWebEngineView::loadFinished, [&](bool) { loaded = true; });
        view.load(QUrl(base));
        if (!waitFor([&] { return loaded; }, kTimeoutMs)) return 3;
        report("bare", msSinceProcessStart(), double(sinceMain.elapsed()));
        return 0;
    }

    qarvel::web::createSharedProfile(files);
    QWidget window;
    window.resize(1000, 700);
    qarvel::web::PaneSet panes{};
    std::vector<int> begun(11, 0), finished(11, 0);
    for (int i = 0; i < 11; ++i) {
        auto* pane = new qarvel::web::WebPane(&window);
        pane->setGeometry((i % 4) * 250, (i / 4) * 230, 250, 230);
        QObject::connect(pane, &qarvel::web::WebPane::downloadBegin, [&begun, i] { ++begun[i]; });
        QObject::connect(pane, &qarvel::web::WebPane::downloadComplete, [&finished, i] { ++finished[i]; });
        panes[i] = pane;
    }
    window.show();
    qarvel::web::navigateFirstPages(panes, base, files, QStringLiteral("00-11-22-33-44-55"));
    const bool ok = waitFor(
        [&] {
            for (int i = 0; i < 11; ++i) {
                if (finished[i] == 0 || begun[i] > finished[i]) return false;
            }
            return true;
        },
        kTimeoutMs);
    if (!ok) {
        std::fprintf(stderr, "bench_startup: not every pane loaded within %d ms\n", kTimeoutMs);
        return 3;
    }
    report(qPrintable(name), msSinceProcessStart(), double(sinceMain.elapsed()));
    return 0;
}

double field(const QByteArray& line, const char* key) {
    for (const QByteArray& part : line.trimmed().split(' ')) {
        if (part.startsWith(QByteArray(key) + '=')) return part.mid(qstrlen(key) + 1).toDouble();
    }
    return -1;
}

int runAll(int runs) {
    std::printf("%-7s %6s %12s %12s %9s %9s %5s %12s\n", "case", "runs", "loaded_ms", "from_main", "pss_mib", "rss_mib",
                "procs", "playing_pss");
    double panesPss = 0, programPss = 0, programPlaying = 0;
    for (const char* name : {"bare", "panes", "plain", "program"}) {
        std::vector<double> loaded, fromMain, pss, rss, procs, playing;
        for (int r = 0; r < runs; ++r) {
            QProcess p;
            p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--case"), QString::fromLatin1(name)});
            if (!p.waitForFinished(kTimeoutMs + 30000) || p.exitCode() != 0) {
                std::fprintf(stderr, "bench_startup: case %s failed (exit %d)\n", name, p.exitCode());
                return 1;
            }
            const QByteArray line = p.readAllStandardOutput();
            loaded.push_back(field(line, "loaded_ms"));
            fromMain.push_back(field(line, "from_main_ms"));
            pss.push_back(field(line, "pss_mib"));
            rss.push_back(field(line, "rss_mib"));
            procs.push_back(field(line, "processes"));
            playing.push_back(field(line, "playing_pss_mib"));
        }
        std::printf("%-7s %6d %12.0f %12.0f %9.1f %9.1f %5.0f %12.1f\n", name, runs, median(loaded), median(fromMain),
                    median(pss), median(rss), median(procs), median(playing));
        std::fflush(stdout);
        if (qstrcmp(name, "panes") == 0) panesPss = median(pss);
        if (qstrcmp(name, "program") == 0) {
            programPss = median(pss);
            programPlaying = median(playing);
        }
    }
    // The goal: the program with a clip playing costs at most 60 MiB over the bare panes.
    std::printf("program over the eleven bare panes: idle %+.1f MiB, playing %+.1f MiB (goal: at most +60)\n",
                programPss - panesPss, programPlaying - panesPss);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    qarvel::installLogHandler();
    QString caseName;
    int runs = 3;
    for (int i = 1; i < argc; ++i) {
        const QByteArray a = argv[i];
        if (a == "--case" && i + 1 < argc) {
            caseName = QString::fromLocal8Bit(argv[++i]);
        } else if (a == "--runs" && i + 1 < argc) {
            runs = std::max(1, QByteArray(argv[++i]).toInt());
        } else {
            std::fprintf(stderr, "usage: bench_startup [--case bare|panes|plain|program] [--runs N]\n");
            return 2;
        }
    }
    if (!caseName.isEmpty()) {
        if (caseName != "bare" && caseName != "panes" && caseName != "plain" && caseName != "program") {
            std::fprintf(stderr, "bench_startup: unknown case %s\n", qPrintable(caseName));
            return 2;
        }
        return runCase(caseName, argc, argv);
    }
    QCoreApplication app(argc, argv);
    return runAll(runs);
}

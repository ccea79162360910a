// bench_soak: the real program (the window main() builds, its libmpv player,
// its download service) plays a series of the demo service by itself, episode
// after episode, and the program's own process is measured once per episode:
// its memory (PSS and RSS), the heap that malloc holds and hands out, its open
// descriptors and its threads. The browser's processes and the download
// service are children and are left out; the tree's PSS is printed beside.
// PSS divides shared pages among every process on the machine that maps them,
// so it moves when other programs using the same libraries start or end; RSS
// and the heap columns show the program's own growth.
//
// Series 1001 has twelve released episodes of 10 s each. After the last one
// the cache folder is emptied and the first episode is clicked again, so every
// episode is a film fetched afresh, as a long series would be.
//
//   bench_soak [--episodes N]   (default 33)
#include "app/application.h"
#include "app/main_window/main_window.h"
#include "bench/support/demo_program.h"
#include "bench/support/process_figures.h"
#include "bench/support/timing.h"
#include "common/settings_file.h"
#include "engine/freed_memory.h"
#include "engine/mpv_player.h"
#include "platform/player_component.h"
#include "service/demo_service.h"
#include "web/web_environment.h"
#include "web/web_pane.h"

#include <QApplication>
#include <QDir>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <clocale>
#include <cstdio>
#include <malloc.h>
#include <memory>
#include <unistd.h>

namespace svc = qarvel::service;
using qarvel::bench::waitFor;
using qarvel::engine::PlayState;

namespace {

const int kSeries = 1001;
const int kTimeoutMs = 60000;
// Into each episode before it is measured: it plays, the next one is buffering.
const int kSettleMs = 4000;

void runFor(int ms) {
    waitFor([] { return false; }, ms);
}

// Every film in the cache folder, so that the next round fetches them again.
void emptyCache(const QString& folder) {
    QDir dir(folder);
    for (const QFileInfo& entry : dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (entry.isDir()) QDir(entry.filePath()).removeRecursively();
        else QFile::remove(entry.filePath());
    }
}

double mib(long long kib) { return kib / 1024.0; }

}  // namespace

int main(int argc, char** argv) {
    qarvel::engine::useOneHeapArena();  // as main() does
    qarvel::web::prepareWebEngineEnvironment();
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");  // libmpv parses numbers with the C locale

    int episodes = 33;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); i += 2) {
        const int value = i + 1 < args.size() ? args[i + 1].toInt() : 0;
        if (args[i] == "--episodes" && value > 0) episodes = value;
        else {
            std::fprintf(stderr, "usage: bench_soak [--episodes N]\n");
            return 2;
        }
    }
    const auto links = qarvel::bench::playableEpisodes(kSeries);
    if (links.empty()) {
        std::fprintf(stderr, "bench_soak: the demo catalogue lacks series %d\n", kSeries);
        return 1;
    }
    svc::DemoService service;
    if (!service.start()) {
        std::fprintf(stderr, "bench_soak: demo service: %s\n", service.errorText().c_str());
        return 1;
    }
    for (const std::string& clip : service.missingMedia()) {
        std::fprintf(stderr, "bench_soak: demo clip missing (build the demo_media target): %s\n", clip.c_str());
        return 1;
    }

    QTemporaryDir home;
    const qarvel::ProgramFiles files = qarvel::ProgramFiles::inFolder(home.path());
    // A known user, so that start-up does not derive one from this machine.
    (void)qarvel::WriteSetting(files.settings, "user", "Name", "00-1A-2B-3C-4D-5E");
    qarvel::bench::QuietDesktop desktop("bench_soak");
    qarvel::platform::LinuxPlayerComponent component;
    qarvel::Application application(qarvel::ApplicationOptions{
        .files = files, .serviceBase = QString::fromStdString(service.baseUrl()), .dialogs = &desktop});
    if (application.start(component, desktop) != qarvel::StartupResult::WindowShown) {
        std::fprintf(stderr, "bench_soak: the window did not start: %s\n", qPrintable(application.errorText()));
        return 1;
    }
    auto* player = qobject_cast<qarvel::engine::MpvPlayer*>(application.player());
    if (!player) {
        std::fprintf(stderr, "bench_soak: the program does not play with its libmpv player\n");
        return 1;
    }
    QString pictured;  // the address of the latest first picture
    QObject::connect(player, &qarvel::engine::MpvPlayer::firstFrame, [&] { pictured = player->url(); });
    auto* catalogue = application.window()->pane(qarvel::Pane::Catalogue);
    const QString probe = QStringLiteral("!!document.querySelector('#film%1 a')").arg(kSeries);
    if (!waitFor([&] { return qarvel::bench::runScript(catalogue, probe).toBool(); }, kTimeoutMs)) {
        std::fprintf(stderr, "bench_soak: the catalogue did not load\n");
        return 1;
    }

    std::printf("series %d played by the program itself, %d episodes of %zu per round, measured %d ms into each\n",
                kSeries, episodes, links.size(), kSettleMs);
    std::printf("%4s %-14s %8s %8s %8s %9s %9s %5s %7s %9s %5s\n", "ep", "clip", "pss_mib", "private", "rss_mib",
                "heap_use", "heap_held", "fds", "threads", "tree_pss", "procs");
    std::fflush(stdout);
    const pid_t self = ::getpid();
    int played = 0;
    qarvel::bench::ProcessFigures third, last;
    for (int round = 0; played < episodes; ++round) {
        if (round > 0) {
            // The last episode ends first; then the series starts again, uncached.
            waitFor([&] { return player->playState() != PlayState::Playing; }, kTimeoutMs);
            runFor(2000);
            emptyCache(player->cacheFolder());
        }
        pictured.clear();
        catalogue->page()->runJavaScript(qarvel::bench::clickScript(links.front().href));
        for (size_t i = 0; i < links.size() && played < episodes; ++i) {
            const QString clip = QString::fromStdString(links[i].clip);
            if (!waitFor([&] { return pictured.contains(clip); }, kTimeoutMs)) {
                std::fprintf(stderr, "bench_soak: %s did not play (player: %s)\n", links[i].clip.c_str(),
                             qPrintable(player->errorText()));
                return 1;
            }
            runFor(kSettleMs);
            ++played;
            const auto own = qarvel::bench::processFigures(self);
            const struct mallinfo2 heap = ::mallinfo2();
            const auto tree = qarvel::bench::treeMemory(self);
            std::printf("%4d %-14s %8.1f %8.1f %8.1f %9.1f %9.1f %5d %7d %9.1f %5d\n", played, links[i].clip.c_str(),
                        mib(own.pssKiB), mib(own.privateKiB), mib(own.rssKiB), heap.uordblks / 1048576.0,
                        (heap.arena + heap.hblkhd) / 1048576.0, own.descriptors, own.threads, mib(tree.pssKiB),
                        tree.processes);
            std::fflush(stdout);
            if (played == 3) third = own;
            last = own;
        }
    }
    if (played > 3) {
        std::printf(
            "program after the third episode, over the next %d: PSS %+.1f MiB (goal: at most +5 over 30), "
            "private %+.1f MiB, descriptors %+d, threads %+d\n",
            played - 3, mib(last.pssKiB - third.pssKiB), mib(last.privateKiB - third.privateKiB),
            last.descriptors - third.descriptors, last.threads - third.threads);
    }
    return 0;
}

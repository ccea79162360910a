// Films of the real program through the download service (qarvel-terminal):
// played from it, the service killed with SIGKILL and started again while a
// film plays or before the next, the rest of a film fetched after the window
// has gone, a new cache folder that restarts the service, and a player folder
// deleted and made again under a running service; the service of the player
// folder that "qvodw" names plays the film.
#include "app/player_host/player_host.h"
#include "platform/process_finder.h"
#include "program_harness.h"

#include <QDir>
#include <csignal>

using namespace playtest;
using qarvel::platform::kTerminalProgram;
using qarvel::platform::LinuxProcessFinder;

namespace {

qint64 terminalServing(const QString& playerFolder) {
    return LinuxProcessFinder().findProcessByName(kTerminalProgram, playerFolder);
}

// The film in the cache folder is byte for byte the demo service's clip of that size.
bool completeInCache(const QString& cacheFolder, const std::string& mediaDir) {
    const QStringList films = QDir(cacheFolder).entryList({QStringLiteral("*.mp4")}, QDir::Files);
    if (films.size() != 1) return false;
    QFile cached(cacheFolder + films.first());
    if (!cached.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = cached.readAll();
    for (const QFileInfo& clip : QDir(QString::fromStdString(mediaDir)).entryInfoList({QStringLiteral("*.mp4")})) {
        if (clip.size() != bytes.size()) continue;
        QFile f(clip.filePath());
        if (f.open(QIODevice::ReadOnly) && f.readAll() == bytes) return true;
    }
    return false;
}

void endTerminal(const QString& playerFolder) {
    LinuxProcessFinder finder;
    for (const auto& p : finder.processesNamed(kTerminalProgram, playerFolder)) finder.endProcess(p.id, true);
}

}  // namespace

TEST(PlayThroughTheTerminal, ADemoFilmPlaysFromTheServiceAndArrivesInTheCacheFolder) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    Program p(service.baseUrl(), {{"s_h", "1"}});
    ASSERT_TRUE(p.started);
    // The host check started the service of the program's player folder.
    EXPECT_TRUE(waitUntil(
        [&] { return terminalServing(p.files().playerFolder) != 0 && QFile::exists(p.files().terminalAddress); }));
    ASSERT_TRUE(p.catalogueShown());
    ASSERT_TRUE(p.clickEpisode(1001, QStringLiteral("第01集")));
    ASSERT_TRUE(waitUntil([&] { return p.playing(); })) << int(p.player().playState());
    EXPECT_GT(service.requestCount(ep::kSeed), 0);
    EXPECT_EQ(mpv(p).propertyText("cache"), QStringLiteral("yes"));  // it arrives over loopback
    EXPECT_TRUE(waitUntil([&] { return p.player().downloadProgress() == 1000; }));
    EXPECT_TRUE(completeInCache(p.files().cacheFolder, service.mediaDir()));
    endTerminal(p.files().playerFolder);
}

TEST(PlayThroughTheTerminal, AKilledServiceIsStartedAgainAndTheFilmGoesOn) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    ASSERT_TRUE(service.setFault(ep::kSeed, svc::Fault::throttled(150'000)));
    Program p(service.baseUrl(), {{"s_h", "1"}});
    ASSERT_TRUE(p.started);
    ASSERT_TRUE(p.catalogueShown());
    ASSERT_TRUE(p.clickEpisode(1001, QStringLiteral("第01集")));
    ASSERT_TRUE(waitUntil([&] { return p.playing(); }, 30000)) << int(p.player().playState());
    const qint64 first = terminalServing(p.files().playerFolder);
    ASSERT_NE(first, 0);
    ASSERT_LT(p.player().downloadProgress(), 1000);
    ::kill(pid_t(first), SIGKILL);
    // Never a hang: a new service serves the folder and the film plays on.
    EXPECT_TRUE(waitUntil(
        [&] {
            const qint64 now = terminalServing(p.files().playerFolder);
            return now != 0 && now != first;
        },
        20000));
    ASSERT_TRUE(service.setFault(ep::kSeed, svc::Fault{}));
    EXPECT_TRUE(waitUntil([&] { return p.playing() && p.player().downloadProgress() == 1000; }, 30000))
        << int(p.player().playState()) << " " << p.player().downloadProgress();
    EXPECT_TRUE(completeInCache(p.files().cacheFolder, service.mediaDir()));
    endTerminal(p.files().playerFolder);
}

TEST(PlayThroughTheTerminal, AFilmAskedForAfterTheServiceWasKilledStartsItAgainAndPlays) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    Program p(service.baseUrl(), {{"s_h", "1"}});
    ASSERT_TRUE(p.started);
    // The catalogue has the start's processor: the service is started once it has loaded.
    EXPECT_EQ(terminalServing(p.files().playerFolder), 0);
    ASSERT_TRUE(p.catalogueShown());
    // Then the player knows the service before any film: films start without waiting for its answers.
    ASSERT_TRUE(waitUntil([&] { return mpv(p).knowsService(); }));
    const qint64 first = terminalServing(p.files().playerFolder);
    ASSERT_NE(first, 0);
    ::kill(pid_t(first), SIGKILL);  // its address stays behind
    ASSERT_TRUE(waitUntil([&] { return terminalServing(p.files().playerFolder) == 0; }));
    ASSERT_TRUE(p.clickEpisode(1001, QStringLiteral("第02集")));
    EXPECT_TRUE(waitUntil([&] { return p.playing(); }, 30000)) << qPrintable(mpv(p).errorText());
    EXPECT_NE(terminalServing(p.files().playerFolder), 0);
    endTerminal(p.files().playerFolder);
}

TEST(PlayThroughTheTerminal, AFilmAskedForAfterThePlayerFolderWasMadeAgainStartsAFreshServiceAndPlays) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    Program p(service.baseUrl(), {{"s_h", "1"}});
    ASSERT_TRUE(p.started);
    ASSERT_TRUE(p.catalogueShown());
    ASSERT_TRUE(waitUntil([&] { return mpv(p).knowsService(); }));
    const qint64 first = terminalServing(p.files().playerFolder);
    ASSERT_NE(first, 0);
    // Gone and back between two of the service's looks: its address went with it.
    ASSERT_TRUE(QDir(p.files().playerFolder).removeRecursively());
    ASSERT_TRUE(QDir().mkpath(p.files().playerFolder));
    ASSERT_TRUE(p.clickEpisode(1001, QStringLiteral("第02集")));
    EXPECT_TRUE(waitUntil([&] { return p.playing(); }, 30000)) << qPrintable(mpv(p).errorText());
    const qint64 now = terminalServing(p.files().playerFolder);
    EXPECT_TRUE(now != 0 && now != first);
    endTerminal(p.files().playerFolder);
}

TEST(PlayThroughTheTerminal, AnEpisodeClickedBeforeTheCatalogueHasLoadedPlays) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    // Late posters hold the catalogue's load: its links are there before the service is started.
    service.setFault(ep::kPoster, svc::Fault::delay(5000));
    Program p(service.baseUrl(), {{"s_h", "1"}});
    ASSERT_TRUE(p.started);
    ASSERT_TRUE(waitUntil([&] { return p.clickEpisode(1001, QStringLiteral("第03集")); }));
    EXPECT_TRUE(waitUntil([&] { return p.playing(); }, 30000)) << qPrintable(mpv(p).errorText());
    EXPECT_NE(terminalServing(p.files().playerFolder), 0);
    endTerminal(p.files().playerFolder);
}

TEST(PlayThroughTheTerminal, TheServiceFinishesTheFilmAfterTheWindowHasGone) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    ASSERT_TRUE(service.setFault(ep::kSeed, svc::Fault::throttled(120'000)));
    QTemporaryDir home;  // outlives the program: the service keeps serving it
    const qarvel::ProgramFiles files = qarvel::ProgramFiles::inFolder(home.path());
    {
        Program p(service.baseUrl(), {{"s_h", "1"}, {"qvodk", "1"}}, home.path());
        ASSERT_TRUE(p.started);
        ASSERT_TRUE(p.catalogueShown());
        ASSERT_TRUE(p.clickEpisode(1001, QStringLiteral("第01集")));
        ASSERT_TRUE(waitUntil([&] { return p.playing(); }, 30000));
        ASSERT_LT(p.player().downloadProgress(), 1000);
    }
    EXPECT_NE(terminalServing(files.playerFolder), 0);
    EXPECT_TRUE(waitUntil([&] { return completeInCache(files.cacheFolder, service.mediaDir()); }, 30000));
    endTerminal(files.playerFolder);
}

TEST(PlayThroughTheTerminal, ANewCacheFolderRestartsTheServiceAndTheNextFilmArrivesThere) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    Program p(service.baseUrl(), {{"s_h", "1"}});
    ASSERT_TRUE(p.started);
    ASSERT_TRUE(p.catalogueShown());
    ASSERT_TRUE(waitUntil([&] { return terminalServing(p.files().playerFolder) != 0; }));
    const qint64 before = terminalServing(p.files().playerFolder);
    const QString moved = p.home.path() + QStringLiteral("/新的缓存/");
    // What the settings dialog's apply runs.
    ASSERT_TRUE(
        qarvel::player_host::RestartDownloadService(*p.application->parts().processes, p.files().playerFolder, moved));
    p.player().configurationChanged();
    EXPECT_EQ(p.player().cacheFolder(), moved);
    EXPECT_TRUE(waitUntil([&] {
        const qint64 now = terminalServing(p.files().playerFolder);
        return now != 0 && now != before;
    }));
    ASSERT_TRUE(p.clickEpisode(1001, QStringLiteral("第01集")));
    ASSERT_TRUE(waitUntil([&] { return p.playing(); })) << int(p.player().playState());
    EXPECT_TRUE(waitUntil([&] { return completeInCache(moved, service.mediaDir()); }));
    EXPECT_TRUE(QDir(p.files().cacheFolder).entryList({QStringLiteral("*.mp4")}, QDir::Files).isEmpty());
    endTerminal(p.files().playerFolder);
}

TEST(PlayThroughTheTerminal, TheServiceOfThePlayerFolderQvodwNamesPlaysTheFilm) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    QTemporaryDir other;  // another copy of the program, whose player folder is remembered
    const qarvel::ProgramFiles theirs = qarvel::ProgramFiles::inFolder(other.path());
    ASSERT_TRUE(QDir().mkpath(theirs.playerFolder));
    Program p(service.baseUrl(), {{"s_h", "1"}, {"qvodw", theirs.playerFolder}});
    ASSERT_TRUE(p.started);
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(theirs.terminalAddress); }));
    ASSERT_TRUE(p.catalogueShown());
    ASSERT_TRUE(p.clickEpisode(1001, QStringLiteral("第01集")));
    ASSERT_TRUE(waitUntil([&] { return p.playing(); }, 30000)) << int(p.player().playState());
    EXPECT_TRUE(waitUntil([&] { return completeInCache(theirs.cacheFolder, service.mediaDir()); }, 30000));
    EXPECT_EQ(terminalServing(p.files().playerFolder), 0);  // no service of its own was started
    endTerminal(theirs.playerFolder);
    endTerminal(p.files().playerFolder);
}

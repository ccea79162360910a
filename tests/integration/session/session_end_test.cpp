// Where the viewer was survives the end of the program: the real client plays
// a local film from its command line and is then killed outright (SIGKILL) or
// asked to end (SIGTERM); its local record keeps a recent position. The end
// of the session shows no window on the way out.
#include "common/settings_file.h"
#include "common/text_codec.h"
#include "service/demo_service.h"
#include "service/fault.h"
#include "support/wait_until.h"
#include "support/x_server.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

namespace {

// A plain film of the given length, small and quick to make.
bool makeClip(const QString& path, int seconds) {
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty()) return false;
    QProcess p;
    p.start(ffmpeg,
            {"-v", "error", "-y", "-f", "lavfi", "-i", QStringLiteral("testsrc=s=160x120:r=5:d=%1").arg(seconds),
             "-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p", path});
    return p.waitForFinished(60000) && p.exitCode() == 0;
}

// The position stored in the local record of path, or -1 without one.
int storedPosition(const QString& home, const QString& path) {
    QFile f(home + QStringLiteral("/date_f.dat"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QString& line : qarvel::fromGbk(f.readAll()).split(QStringLiteral("\r\n"))) {
        const QStringList fields = line.split(u'|');
        if (fields.size() >= 3 && fields[1] == path) return fields[2].toInt();
    }
    return -1;
}

// Download services started for that program folder that still run.
int terminalsOf(const QString& home) {
    int n = 0;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile f(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!f.open(QIODevice::ReadOnly)) continue;
        const QByteArray line = f.readAll();
        if (line.contains("qarvel-terminal") && line.contains(home.toLocal8Bit())) ++n;
    }
    return n;
}

struct Client {
    // before: runs before the client starts (files of its folder, service texts).
    explicit Client(const std::function<void(Client&)>& before = {}) {
        EXPECT_TRUE(service.start()) << service.errorText();
        clip = home.filePath(QStringLiteral("long.mp4"));
        made = makeClip(clip, 120);
        if (!made) return;
        if (before) before(*this);
        process.setProgram(QStringLiteral(QARVEL_CLIENT));
        process.setArguments({"--home", home.path(), "--service", QString::fromStdString(service.baseUrl()), clip});
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start();
    }
    ~Client() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }
    // Waits until the film is recorded, which the program does as it starts it.
    bool started() {
        return qarvel::test::waitUntil([&] { return storedPosition(home.path(), clip) == 0; }, 60000);
    }

    qarvel::service::DemoService service;
    QTemporaryDir home;
    QString clip;
    bool made = false;
    QProcess process;
};

TEST(SessionEnd, KilledProgramKeepsAPositionAtMostThirtySecondsOld) {
    Client c;
    if (!c.made) GTEST_SKIP() << "ffmpeg could not make the film";
    ASSERT_TRUE(c.started());
    QElapsedTimer playing;
    playing.start();
    QThread::sleep(38);
    const int playedAtMost = int(playing.elapsed() / 1000);
    ::kill(pid_t(c.process.processId()), SIGKILL);
    ASSERT_TRUE(c.process.waitForFinished(10000));
    const int stored = storedPosition(c.home.path(), c.clip);
    EXPECT_GE(stored, playedAtMost - 30 - 3);
    EXPECT_LE(stored, playedAtMost);
}

TEST(SessionEnd, TerminatedProgramKeepsItsPosition) {
    Client c;
    if (!c.made) GTEST_SKIP() << "ffmpeg could not make the film";
    ASSERT_TRUE(c.started());
    QElapsedTimer playing;
    playing.start();
    QThread::sleep(10);
    const int playedAtMost = int(playing.elapsed() / 1000);
    ::kill(pid_t(c.process.processId()), SIGTERM);
    ASSERT_TRUE(c.process.waitForFinished(30000));
    EXPECT_EQ(c.process.exitStatus(), QProcess::NormalExit);
    const int stored = storedPosition(c.home.path(), c.clip);
    // Start-up of the player takes a moment of the time measured.
    EXPECT_GE(stored, playedAtMost - 5);
    EXPECT_LE(stored, playedAtMost);
}

TEST(SessionEnd, TheSessionsEndRunsTheExitWithoutShowingAWindow) {
    qarvel::test::XServer screen([] {}, QStringLiteral("1280x800x24"));
    screen.SetUp();
    // The service asks for the side window at exit; the helpers end with the program.
    Client c([](Client& c) {
        c.service.setTextFile(qarvel::service::endpoint::kUpdateControl, "1====0====0====0====0====1.0");
        EXPECT_TRUE(qarvel::WriteSetting(c.home.filePath(QStringLiteral("config.dll")), "S_q", "qvodk", "2"));
    });
    if (!c.made) GTEST_SKIP() << "ffmpeg could not make the film";
    ASSERT_TRUE(c.started());
    // The control file read six seconds after start, and the download service running.
    ASSERT_TRUE(qarvel::test::waitUntil(
        [&] { return c.service.requestCount(qarvel::service::endpoint::kUpdateControl) >= 1; }, 20000));
    ASSERT_TRUE(qarvel::test::waitUntil([&] { return terminalsOf(c.home.path()) == 1; }, 10000));
    QThread::sleep(1);
    // Every window mapped on the screen from here on.
    QProcess watch;
    watch.start(QStringLiteral("xev"), {"-root", "-event", "substructure"});
    ASSERT_TRUE(watch.waitForStarted(5000));
    QThread::msleep(500);

    ::kill(pid_t(c.process.processId()), SIGTERM);
    ASSERT_TRUE(c.process.waitForFinished(20000));
    EXPECT_EQ(c.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(c.process.exitCode(), 0);
    EXPECT_GT(storedPosition(c.home.path(), c.clip), 0);
    EXPECT_TRUE(qarvel::test::waitUntil([&] { return terminalsOf(c.home.path()) == 0; }, 5000));
    QThread::msleep(300);
    watch.terminate();
    watch.waitForFinished(5000);
    const QByteArray events = watch.readAllStandardOutput();
    EXPECT_FALSE(events.contains("MapNotify")) << events.toStdString();
    screen.TearDown();
}

}  // namespace

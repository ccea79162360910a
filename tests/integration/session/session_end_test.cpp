// Where the viewer was survives the end of the program: the real client plays
// a local film from its command line and is then killed outright (SIGKILL) or
// asked to end (SIGTERM); its local record keeps a recent position.
#include "common/text_codec.h"
#include "service/demo_service.h"
#include "support/wait_until.h"

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

struct Client {
    Client() {
        EXPECT_TRUE(service.start()) << service.errorText();
        clip = home.filePath(QStringLiteral("long.mp4"));
        made = makeClip(clip, 120);
        if (!made) return;
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

}  // namespace

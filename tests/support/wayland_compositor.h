#pragma once
// A Wayland compositor of the test binary's own: a headless Weston with its
// socket in a runtime folder of its own, with Qt pointed at it (its native
// Wayland platform, no X display). Its pixman renderer keeps what the clients
// drew, and --debug lets its screenshooter take the screen as the compositor
// composes it, subsurfaces included. Where Weston is not installed nothing
// starts and running() is false: the tests skip.
//
//     const auto* env = ::testing::AddGlobalTestEnvironment(new qarvel::test::WaylandCompositor([] { app(); }));
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>

namespace qarvel::test {

class WaylandCompositor : public ::testing::Environment {
public:
    static inline const QString kSocket = QStringLiteral("qarvel-test");

    explicit WaylandCompositor(std::function<void()> startApplication, QSize screen = {1280, 800})
        : startApplication_(std::move(startApplication)), screen_(screen) {}

    static bool installed() { return !QStandardPaths::findExecutable(QStringLiteral("weston")).isEmpty(); }
    bool running() const { return compositor_.state() == QProcess::Running; }
    QSize screen() const { return screen_; }

    void SetUp() override {
        if (!installed()) return;
        ASSERT_TRUE(runtime_.isValid());  // made with mode 0700, as the runtime folder must be
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("DISPLAY"));  // or it would open a window on that X server instead
        compositor_.setProcessEnvironment(env);
        compositor_.setStandardOutputFile(runtime_.filePath(QStringLiteral("weston.log")));
        compositor_.setStandardErrorFile(runtime_.filePath(QStringLiteral("weston.log")));
        compositor_.start(QStringLiteral("weston"),
                          {QStringLiteral("--backend=headless-backend.so"), QStringLiteral("--use-pixman"),
                           QStringLiteral("--debug"), QStringLiteral("--no-config"), QStringLiteral("--idle-time=0"),
                           QStringLiteral("--socket=") + kSocket,
                           QStringLiteral("--width=%1").arg(screen_.width()),
                           QStringLiteral("--height=%1").arg(screen_.height())});
        ASSERT_TRUE(compositor_.waitForStarted(5000)) << "weston did not start";
        const QString socket = runtime_.filePath(kSocket);
        for (int i = 0; i < 100 && !QFileInfo::exists(socket) && running(); ++i) QThread::msleep(50);
        ASSERT_TRUE(QFileInfo::exists(socket)) << "weston made no socket: " << log().toStdString();
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
        qputenv("WAYLAND_DISPLAY", kSocket.toLocal8Bit());
        qputenv("QT_QPA_PLATFORM", "wayland");
        qunsetenv("DISPLAY");
        startApplication_();
    }
    void TearDown() override {
        delete QCoreApplication::instance();  // before its compositor goes
        compositor_.terminate();
        if (!compositor_.waitForFinished(5000)) {
            compositor_.kill();
            compositor_.waitForFinished();
        }
    }

    // The screen as the compositor shows it; a null image when none can be taken.
    QImage screenshot() const {
        QTemporaryDir shots;
        QProcess shooter;
        QProcessEnvironment env = compositor_.processEnvironment();
        env.insert(QStringLiteral("WAYLAND_DISPLAY"), kSocket);
        shooter.setProcessEnvironment(env);
        shooter.setWorkingDirectory(shots.path());  // it writes its picture there
        shooter.start(QStringLiteral("weston-screenshooter"), {});
        if (!shooter.waitForFinished(10000) || shooter.exitCode() != 0) return {};
        const QStringList taken = QDir(shots.path()).entryList({QStringLiteral("*.png")});
        return taken.isEmpty() ? QImage() : QImage(shots.filePath(taken.first()));
    }
    QString log() const {
        QFile f(runtime_.filePath(QStringLiteral("weston.log")));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

private:
    std::function<void()> startApplication_;
    QSize screen_;
    QTemporaryDir runtime_;
    QProcess compositor_;
};

}  // namespace qarvel::test

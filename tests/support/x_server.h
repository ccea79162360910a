#pragma once
// An X server of the test binary's own (Xvfb on a display it picks itself),
// with Qt pointed at it, for tests that need real windows, real pointer and
// key events (xdotool) and a real screen size. With a window manager
// (openbox) on it, for what only a window manager does: minimising, bringing
// a window forward, keeping it on top, its close.
//
//     ::testing::AddGlobalTestEnvironment(new qarvel::test::XServer([] { makeApplication(); }));
//     new qarvel::test::XServer(start, qarvel::test::XServer::kScreen, qarvel::test::WithWindowManager)
#include <QByteArray>
#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace qarvel::test {

inline bool xdotool(const QStringList& args);

enum WindowManager { NoWindowManager, WithWindowManager };

class XServer : public ::testing::Environment {
public:
    static inline const QString kScreen = QStringLiteral("800x600x24");
    // startApplication creates the application object once the display is set.
    explicit XServer(std::function<void()> startApplication, QString screen = kScreen,
                     WindowManager manager = NoWindowManager)
        : startApplication_(std::move(startApplication)), screen_(std::move(screen)), wanted_(manager) {}

    void SetUp() override {
        server_.setProgram(QStringLiteral("Xvfb"));
        // -terminate: the server ends with its last client, so a test that dies leaves none behind.
        server_.setArguments({"-displayfd", "1", "-screen", "0", screen_, "-nolisten", "tcp", "-terminate"});
        server_.start();
        ASSERT_TRUE(server_.waitForStarted(5000)) << "Xvfb did not start";
        QByteArray display;
        for (int i = 0; i < 100 && !display.contains('\n'); ++i) {
            server_.waitForReadyRead(100);
            display += server_.readAllStandardOutput();
        }
        ASSERT_FALSE(display.trimmed().isEmpty());
        qputenv("DISPLAY", ":" + display.trimmed());
        qputenv("QT_QPA_PLATFORM", "xcb");
        startApplication_();
        // After the application: its connection keeps the server up (it ends
        // with its last client) while the manager's readiness is asked.
        if (wanted_ == WithWindowManager) startWindowManager();
    }
    void TearDown() override {
        delete QCoreApplication::instance();  // before its X server goes
        windowManager_.terminate();
        windowManager_.waitForFinished(5000);
        server_.terminate();
        server_.waitForFinished(5000);
    }

private:
    void startWindowManager() {
        // xdotool's keys come from the server's test device; the first of
        // them switches the keyboard's map, and openbox, seeing the change,
        // drops and takes its key grabs again, so an Alt+F4 sent then reaches
        // the window instead. One key before openbox starts makes that switch.
        // Openbox announces its desktops before it grabs its keys; the
        // command it runs once fully started is the sign it is ready.
        ASSERT_TRUE(windowManagerFolder_.isValid());
        const QString ready = windowManagerFolder_.filePath(QStringLiteral("ready"));
        ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("shift")}));
        windowManager_.setProgram(QStringLiteral("openbox"));
        windowManager_.setArguments({QStringLiteral("--sm-disable"), QStringLiteral("--startup"),
                                     QStringLiteral("touch '%1'").arg(ready)});
        windowManager_.setStandardOutputFile(QProcess::nullDevice());
        windowManager_.setStandardErrorFile(QProcess::nullDevice());
        windowManager_.start();
        ASSERT_TRUE(windowManager_.waitForStarted(5000)) << "openbox did not start (scripts/deps installs it)";
        for (int i = 0; i < 200 && !QFileInfo::exists(ready); ++i) windowManager_.waitForFinished(50);
        ASSERT_TRUE(QFileInfo::exists(ready)) << "openbox did not finish starting";
    }

    std::function<void()> startApplication_;
    QString screen_;
    WindowManager wanted_;
    QProcess server_;
    QProcess windowManager_;
    QTemporaryDir windowManagerFolder_;
};

// Runs xdotool with args (pointer and key events on the test's X server);
// false when it did not run to its end.
inline bool xdotool(const QStringList& args) {
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), args);
    return tool.waitForFinished(5000) && tool.exitCode() == 0;
}

}  // namespace qarvel::test

#pragma once
// An X server of the test binary's own (Xvfb on a display it picks itself),
// with Qt pointed at it, for tests that need real windows, real pointer and
// key events (xdotool) and a real screen size.
//
//     ::testing::AddGlobalTestEnvironment(new qarvel::test::XServer([] { makeApplication(); }));
#include <QByteArray>
#include <QCoreApplication>
#include <QProcess>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>

namespace qarvel::test {

class XServer : public ::testing::Environment {
public:
    // startApplication creates the application object once the display is set.
    explicit XServer(std::function<void()> startApplication, QString screen = QStringLiteral("800x600x24"))
        : startApplication_(std::move(startApplication)), screen_(std::move(screen)) {}

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
    }
    void TearDown() override {
        delete QCoreApplication::instance();  // before its X server goes
        server_.terminate();
        server_.waitForFinished(5000);
    }

private:
    std::function<void()> startApplication_;
    QString screen_;
    QProcess server_;
};

// Runs xdotool with args (pointer and key events on the test's X server);
// false when it did not run to its end.
inline bool xdotool(const QStringList& args) {
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), args);
    return tool.waitForFinished(5000) && tool.exitCode() == 0;
}

}  // namespace qarvel::test

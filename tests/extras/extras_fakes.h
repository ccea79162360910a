#pragma once
// The desktop and the message boxes as the extras' tests see them: every
// "Open", program start, question and notice is recorded, nothing leaves.
#include "platform/user_dialogs.h"
#include "support/recording_shell.h"

#include <QApplication>
#include <QStringList>
#include <gtest/gtest.h>

namespace qarvel::extras::test {

// One application object for the test binary (widgets and panes need it).
inline QApplication* app() {
    static int argc = 1;
    static char name[] = "extras_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* a = [] {
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        return new QApplication(argc, argv);
    }();
    return a;
}

// The browser engine shuts down with the application object; left to exit(),
// its threads would outlive the heap they use and crash the finished run.
struct ApplicationTeardown : ::testing::Environment {
    void TearDown() override {
        if (!QCoreApplication::instance()) return;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete QCoreApplication::instance();
    }
};
inline ::testing::Environment* const kApplicationTeardown =
    ::testing::AddGlobalTestEnvironment(new ApplicationTeardown);

using RecordingShell = qarvel::test::RecordingShell;

struct ScriptedDialogs : platform::UserDialogs {
    bool askYesNo(const QString& title, const QString& text) override {
        asked << title + u'|' + text;
        return answerYes;
    }
    void inform(const QString& title, const QString& text) override { informed << title + u'|' + text; }
    QString pickFolder(const QString&, const QString&) override { return {}; }
    bool answerYes = false;
    QStringList asked;
    QStringList informed;
};

}  // namespace qarvel::extras::test

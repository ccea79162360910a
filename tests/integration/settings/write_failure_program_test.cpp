// A settings file the program cannot write: the user is told once, when the
// window shows, however many writes fail after.
#include "window/skin_painter.h"
#include "integration/play/program_harness.h"

#include <QDir>
#include <QLabel>

using namespace playtest;

TEST(WriteFailuresInTheProgram, AnUnwritableSettingsFileIsToldOnceWhenTheWindowShows) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    QTemporaryDir folder;
    // No file can replace a folder: every settings write fails, start-up's first.
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("config.dll")));
    Program p(service.baseUrl(), {}, folder.path());
    ASSERT_TRUE(p.started);
    ASSERT_TRUE(waitUntil([&] { return p.window().notice() && p.window().notice()->isVisible(); }));
    const QString shown = p.window().notice()->text();  // the balloon's title, then its text
    EXPECT_TRUE(shown.endsWith(QStringLiteral("\n设置保存失败"))) << shown.toStdString();

    QStringList balloons;
    p.window().tray().balloonFallback = [&](const QString& text) { balloons << text; };
    p.application->parts().painter->applySkin(1);  // each stores the skin's number
    p.application->parts().painter->applySkin(0);
    qarvel::test::runEventsFor(300);
    EXPECT_TRUE(balloons.isEmpty()) << balloons.join(u'|').toStdString();
}

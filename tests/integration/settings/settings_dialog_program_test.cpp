// The settings dialog as the program builds it: the options reach config.dll,
// a new cache folder reaches the player's configuration files and the engine,
// which stores the next film there, and a skin change repaints the open
// dialog. With QARVEL_SCREENSHOT_DIR set, each page is saved in both skins.
#include "dialogs/settings_dialog.h"
#include "engine/cache/player_config.h"
#include "window/skin_painter.h"
#include "integration/play/program_harness.h"

#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QMouseEvent>

using namespace playtest;
using qarvel::dialogs::SettingsWindow;

namespace {

QStringList filesUnder(const QString& folder) {
    QStringList found;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) found << it.next();
    return found;
}

SettingsWindow* openDialog(Program& p) {
    p.application->parts().settingsDialog->open();
    SettingsWindow* w = p.application->parts().settingsDialog->window();
    if (w && !QTest::qWaitForWindowExposed(w)) return nullptr;
    return w;
}

}  // namespace

TEST(SettingsDialogInTheProgram, NewCacheFolderTakesTheNextFilm) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    Program p(service.baseUrl(), {{"s_h", "1"}});
    ASSERT_TRUE(p.started);
    ASSERT_TRUE(p.catalogueShown());

    SettingsWindow* w = openDialog(p);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->parentWidget(), &p.window());
    EXPECT_EQ(w->cacheFolderEdit->text(), p.files().cacheFolder);
    const QString target = p.home.path() + QStringLiteral("/影片");
    w->cacheFolderEdit->setText(target);
    QTest::mouseClick(w->okButton, Qt::LeftButton);
    EXPECT_FALSE(p.application->parts().settingsDialog->isOpen());
    EXPECT_EQ(p.dialogs.informed, QStringList{QStringLiteral("提示：|缓存路径修改成功！")});

    const QString applied = target + u'/';
    EXPECT_EQ(qarvel::ReadSetting(p.files().playerIni, "NBQVODTERMINAL", "defaultsavepath", "0"), applied);
    EXPECT_EQ(qarvel::engine::cachePathInXml(qarvel::toGbk(readGbk(p.files().playerXml))), applied);
    EXPECT_EQ(p.player().cacheFolder(), applied);

    ASSERT_TRUE(p.clickEpisode(1001, QStringLiteral("第01集")));
    ASSERT_TRUE(waitUntil([&] { return p.playing(); }));
    ASSERT_TRUE(waitUntil([&] { return p.player().downloadProgress() == 1000; }, 30000));
    EXPECT_FALSE(filesUnder(applied).isEmpty());
    EXPECT_TRUE(filesUnder(p.files().cacheFolder).isEmpty())
        << filesUnder(p.files().cacheFolder).join(' ').toStdString();

    // Opened again, it shows the folder in effect; Apply without a change restarts nothing.
    w = openDialog(p);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->cacheFolderEdit->text(), applied);
    QTest::mouseClick(w->applyButton, Qt::LeftButton);
    EXPECT_EQ(p.dialogs.informed.size(), 1);
    QTest::mouseClick(w->cancelButton, Qt::LeftButton);
}

TEST(SettingsDialogInTheProgram, OptionsReachTheSettingsFileAndTheSkinRepaintsTheFrame) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    Program p(service.baseUrl(), {{"s_jd", "1"}});
    ASSERT_TRUE(p.started);

    SettingsWindow* w = openDialog(p);
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->optionBoxes[3]->isChecked());
    QTest::mouseClick(w->optionBoxes[8], Qt::LeftButton);
    QTest::mouseClick(w->optionBoxes[3], Qt::LeftButton);
    QTest::mouseClick(w->applyButton, Qt::LeftButton);
    const auto stored = [&](const char* key) { return qarvel::ReadSetting(p.files().settings, "S_q", key, "0"); };
    EXPECT_EQ(stored("s_pao"), "1");
    EXPECT_EQ(stored("s_jd"), "2");
    for (const char* key : {"quit", "qvodk", "s_size", "s_h", "s_bo", "qvodqi"}) EXPECT_EQ(stored(key), "2") << key;
    EXPECT_TRUE(p.dialogs.informed.isEmpty());

    const QString shots = qEnvironmentVariable("QARVEL_SCREENSHOT_DIR");
    const char* pageNames[3] = {"about", "options", "cache"};
    for (int skin : {0, 1}) {
        p.application->parts().painter->applySkin(skin);
        const QImage strip = p.window().skin().slot(0).toImage();
        const QImage frame = w->grab().toImage();
        EXPECT_EQ(frame.pixel(6, 6) | 0xff000000u, strip.pixel(6, 6) | 0xff000000u) << skin;
        EXPECT_EQ(frame.pixel(w->width() - 8, 6) | 0xff000000u, strip.pixel(80 - 8, 6) | 0xff000000u) << skin;
        for (int page : {1, 2, 0}) {
            QTest::mouseClick(w->tabCaptions[page], Qt::LeftButton);
            EXPECT_TRUE(w->tabFaces[page]->isVisible());
            if (!shots.isEmpty()) {
                QTest::qWait(50);
                const QString name = QStringLiteral("%1/settings-%2-skin%3.png").arg(shots, pageNames[page]).arg(skin);
                EXPECT_TRUE(w->grab().save(name)) << name.toStdString();
            }
        }
    }

    // The close button's hovered face is the skin's; the title band drags the dialog.
    QMouseEvent over(QEvent::MouseMove, QPointF(5, 5), w->closeButton->mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w->closeButton, &over);
    EXPECT_EQ(w->closeButton->picture().toImage(), p.window().skin().piece(2, 120, 0, 24, 24).toImage());
    const QPoint before = w->pos();
    const QPointF grip(200, 12);
    const QPointF globalGrip = w->mapToGlobal(grip);
    QMouseEvent press(QEvent::MouseButtonPress, grip, globalGrip, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent drag(QEvent::MouseMove, grip + QPointF(30, 20), globalGrip + QPointF(30, 20), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &drag);
    QMouseEvent release(QEvent::MouseButtonRelease, grip + QPointF(30, 20), globalGrip + QPointF(30, 20),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
    EXPECT_EQ(w->pos(), before + QPoint(30, 20));

    QTest::mouseClick(w->closeButton, Qt::LeftButton);
    EXPECT_FALSE(p.application->parts().settingsDialog->isOpen());
    w = openDialog(p);
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->optionBoxes[8]->isChecked());
    EXPECT_TRUE(w->optionBoxes[3]->isChecked());
}

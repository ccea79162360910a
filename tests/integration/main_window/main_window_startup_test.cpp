// The main window's start-up on plain panes and a quiet player: size, skin,
// tabs, timers, state, controls, key preview, command line.
#include "app/application.h"
#include "app/main_window/main_window.h"
#include "window/key_preview.h"
#include "window/skin_painter.h"
#include "window/window_buttons.h"
#include "window/picture_box.h"

#include <QTimer>
#include "common/settings_file.h"
#include "quiet_player.h"
#include "resources/skin_resources.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using qarvel::MainWindow;
using qarvel::testing::QuietPlayer;

using namespace qarvel;

namespace {

QApplication* app() {
    static int argc = 1;
    static char name[] = "main_window_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* a = new QApplication(argc, argv);
    return a;
}

const QString kBase = QStringLiteral("http://127.0.0.1:1/box/");

struct Started {
    explicit Started(const QMap<QString, QString>& settings = {}, QString commandLine = {}) {
        app();
        for (auto it = settings.begin(); it != settings.end(); ++it) {
            const QStringList sk = it.key().split('/');
            EXPECT_TRUE(qarvel::WriteSetting(dir.path() + "/config.dll", sk[0], sk[1], it.value()));
        }
        application = std::make_unique<qarvel::Application>(
            qarvel::ApplicationOptions{.files = qarvel::ProgramFiles::inFolder(dir.path()),
                                       .serviceBase = kBase,
                                       .playTarget = std::move(commandLine),
                                       .player = &player,
                                       .paneFactory = [](int, QWidget* parent) { return new QWidget(parent); }});
        application->showMainWindow(false);
        window = application->window();
    }
    QString setting(const QString& section, const QString& key) {
        return qarvel::ReadSetting(dir.path() + "/config.dll", section, key, "(none)");
    }
    QTemporaryDir dir;
    QuietPlayer player;
    std::unique_ptr<qarvel::Application> application;
    MainWindow* window = nullptr;
};

QImage imageOf(const QPixmap& pm) { return pm.toImage().convertToFormat(QImage::Format_ARGB32); }

}  // namespace

TEST(MainWindowStartup, DefaultSizeUnlessTheStoredSizeIsKept) {
    {
        Started s({{"S_q/s_size", "1"}, {"S_q/h_w", "15000"}, {"S_q/h_h", "9000"}});
        EXPECT_EQ(s.window->size(), QSize(990, 655));  // 14850 × 9830 twips
        EXPECT_EQ(s.window->state().SavedWidth, 15000);
        EXPECT_EQ(s.window->state().KeepSizeOption, 1);
    }
    {
        Started s({{"S_q/s_size", "2"}, {"S_q/h_w", "15000"}, {"S_q/h_h", "9000"}});
        EXPECT_EQ(s.window->size(), QSize(1000, 600));
    }
    {
        // A kept size below the minimum snaps to the minimum once shown.
        Started s({{"S_q/s_size", "2"}, {"S_q/h_w", "0"}, {"S_q/h_h", "0"}});
        s.window->show();
        QApplication::processEvents();
        EXPECT_EQ(s.window->size(), QSize(900, 467));
    }
}

TEST(MainWindowStartup, SkinFromTheSettingsWithAnythingButOneStartingSkinZero) {
    app();
    const QImage logo0 = imageOf(qarvel::skinLogo(0));
    const QImage logo1 = imageOf(qarvel::skinLogo(1));
    ASSERT_NE(logo0, logo1);
    const std::pair<const char*, const QImage*> cases[] = {{"1", &logo1},  {"0", &logo0},   {"3", &logo0},
                                                           {"-1", &logo0}, {"abc", &logo0}, {"", &logo0}};
    for (auto [stored, logo] : cases) {
        Started s({{"Skin/Num", stored}});
        EXPECT_EQ(imageOf(s.window->controls().logo->picture()), *logo) << stored;
        EXPECT_EQ(s.window->state().SkinApplied, 1);
        EXPECT_EQ(s.window->skin().index(), stored == QStringLiteral("1") ? 1 : 0);
        // Start-up does not write the index back.
        EXPECT_EQ(s.setting("Skin", "Num"), QString::fromUtf8(stored)) << stored;
    }
    // A later change does.
    Started s;
    s.application->parts().painter->applySkin(1);
    EXPECT_EQ(s.setting("Skin", "Num"), "1");
}

TEST(MainWindowStartup, StateTabsAndTimers) {
    Started s({{"user/Name", "00-1A-2B-3C-4D-5E"}});
    auto& st = s.window->state();
    EXPECT_EQ(st.ConfigPath, s.dir.path() + "/config.dll");
    EXPECT_FALSE(st.WorkArea.isEmpty());
    EXPECT_EQ(st.WorkAreaWidth, st.WorkArea.width());
    EXPECT_EQ(st.MainTab, MainTab::Catalogue);
    EXPECT_EQ(st.SideTab, SideTab::TaskList);
    EXPECT_FALSE(s.window->session().recordKey());
    EXPECT_EQ(st.SideWindowOnExit, "0");
    EXPECT_EQ(st.CurrentView, View::Nothing);
    EXPECT_EQ(s.player.adPageUrl(), kBase + "js/ads/qvodad.html");

    auto& c = s.window->controls();
    EXPECT_FALSE(c.cataloguePage->isHidden());
    EXPECT_TRUE(c.playerPage->isHidden());
    EXPECT_FALSE(c.taskListFrame->isHidden());
    EXPECT_TRUE(c.catalogueFrame->isHidden());  // waiting for the catalogue's first page
    EXPECT_FALSE(c.catalogueWaitPanel->isHidden());
    EXPECT_EQ(c.playerVideo, s.player.videoWidget());
    EXPECT_EQ(c.playerVideo->parentWidget(), c.videoFrame);
    EXPECT_TRUE(s.window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(s.window->windowTitle(), QStringLiteral("Qarvel影视盒"));

    struct Expect {
        const char* name;
        int interval;
        bool active;
    };
    for (Expect e : {Expect{"Timer1", 1000, true}, Expect{"Timer2", 2000, false}, Expect{"Timer3", 10, true},
                     Expect{"Timer4", 50000, false}, Expect{"Timer5", 6000, true}, Expect{"Timerg", 50, false}}) {
        auto* t = s.window->findChild<QTimer*>(e.name);
        ASSERT_NE(t, nullptr) << e.name;
        EXPECT_EQ(t->interval(), e.interval) << e.name;
        EXPECT_EQ(t->isActive(), e.active) << e.name;
    }
}

TEST(MainWindowStartup, EveryControlCarriesItsName) {
    Started s;
    const char* names[] = {"Imi",   "ni_name", "P1",    "bo_tip", "jbi",    "ni_bo1",  "zzp",     "zz",      "tv",
                           "ying",  "Pic1",    "wait",  "jia",    "w3",     "l2",      "L1",      "Pic2",    "ggx",
                           "Pic3",  "Pic4",    "Pic5",  "shan",   "qk",     "tvleft",  "tvright", "gtv",     "qvod",
                           "Qvodx", "QvodC",   "Lqvod", "bo_zt",  "zhun",   "times",   "bo_name", "gunt",    "gunt1",
                           "gunt2", "huan",    "bo_ad", "adp",    "bo_pad", "ad_huan", "next_s",  "bo_foot", "yin",
                           "bo_v",  "bo_y",    "La_0",  "tj"};
    for (const char* n : names) EXPECT_NE(s.window->findChild<QWidget*>(n), nullptr) << n;
    for (int i = 0; i < 16; ++i) EXPECT_NE(s.window->findChild<QWidget*>(QString("npc_%1").arg(i)), nullptr) << i;
    for (int i = 0; i < 8; ++i) EXPECT_NE(s.window->findChild<QWidget*>(QString("bo_but_%1").arg(i)), nullptr) << i;
    for (int i = 1; i <= 11; ++i) EXPECT_NE(s.window->findChild<QWidget*>(QString("Web%1").arg(i)), nullptr) << i;
    EXPECT_EQ(s.window->objectName(), "BA1");
    auto& c = s.window->controls();
    EXPECT_EQ(c.windowButtons[WindowButton::Minimise]->tip(), QStringLiteral("最小化"));
    EXPECT_EQ(c.windowButtons[WindowButton::AlwaysOnTop]->tip(), QStringLiteral("置顶"));
    EXPECT_EQ(c.windowButtons[WindowButton::PlayerSidebarStrip]->tip(), QStringLiteral("关闭侧栏"));
    EXPECT_EQ(c.statusText->text(), QStringLiteral("准备就绪"));
}

TEST(MainWindowStartup, CommandLinePlaysTheFileUnquotedAndShowsItsName) {
    Started none;
    EXPECT_TRUE(none.player.url().isEmpty());
    EXPECT_EQ(none.window->session().recordKind(), qarvel::playback::RecordKind::None);
    // A shell passes a path with blanks quoted.
    Started s({}, QStringLiteral("\"/home/u/影片 one.mp4\""));
    EXPECT_EQ(s.player.url(), QStringLiteral("/home/u/影片 one.mp4"));
    EXPECT_EQ(s.window->controls().filmTitle->text(), QStringLiteral("影片 one.mp4"));
    EXPECT_EQ(s.window->session().recordKey(), QStringLiteral("/home/u/影片 one.mp4"));
    EXPECT_EQ(s.window->session().recordKind(), qarvel::playback::RecordKind::LocalFile);
    EXPECT_TRUE(s.window->controls().statusPollTimer->isActive());
    // Shown in the player view on the player tab, where its buttons and keys answer.
    EXPECT_EQ(s.window->state().CurrentView, View::Player);
    EXPECT_EQ(s.window->state().MainTab, MainTab::Player);
    EXPECT_EQ(none.window->state().CurrentView, View::Nothing);
}

TEST(MainWindowStartup, KeyPreviewSeesKeysBeforeTheFocusedControlOnce) {
    Started s;
    int seen = 0;
    qarvel::window::KeyPreview preview(s.window, [&](QKeyEvent* e) {
        ++seen;
        return e->key() == Qt::Key_Space;  // consumed
    });
    s.window->show();
    QApplication::processEvents();
    QWidget* target = s.window->controls().webPanes[Pane::Catalogue];
    target->setFocusPolicy(Qt::StrongFocus);
    target->setFocus();
    QTest::keyClick(target, Qt::Key_A);
    EXPECT_EQ(seen, 1);
    QTest::keyClick(target, Qt::Key_Space);
    EXPECT_EQ(seen, 2);
}

TEST(MainWindowStartup, TrayIconAndBalloonFallback) {
    Started s;
    EXPECT_TRUE(s.window->tray().exists());
    if (!s.window->tray().available()) {
        // No tray and no desktop notices: a notice in the window, not the status text.
        s.window->tray().desktopNotice = {};
        s.window->tray().ShowTrayBalloon(QStringLiteral("开始缓冲下一集！"));
        ASSERT_NE(s.window->notice(), nullptr);
        EXPECT_EQ(s.window->notice()->text(), QStringLiteral("Qarvel影视盒提示:\n开始缓冲下一集！"));
        EXPECT_NE(s.window->controls().statusText->text(), QStringLiteral("开始缓冲下一集！"));
    }
    EXPECT_EQ(qarvel::balloonTitle(), QStringLiteral("Qarvel影视盒提示:"));
}

TEST(MainWindowStartup, MaximisedFillsTheWorkArea) {
    Started s;
    s.window->show();
    QApplication::processEvents();
    s.application->parts().buttons->pressWindowButton(WindowButton::Maximise);
    QApplication::processEvents();
    EXPECT_TRUE(s.window->isMaximized());
    EXPECT_EQ(s.window->geometry(), s.window->state().WorkArea);
    EXPECT_EQ(s.window->controls().windowButtons[WindowButton::Maximise]->tip(), QStringLiteral("还原"));
    s.application->parts().buttons->pressWindowButton(WindowButton::Maximise);
    QApplication::processEvents();
    EXPECT_FALSE(s.window->isMaximized());
}

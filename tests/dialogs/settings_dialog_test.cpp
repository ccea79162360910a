// The settings dialog on test strips and settings in memory: what it shows
// when it loads, the keys and the cache folder Apply writes, what Cancel
// leaves alone, the folder picker, the painted frame and close button, the
// site link's looks, the drag, and the opening and unloading.
#include "dialogs/settings_dialog.h"
#include "platform/user_dialogs.h"
#include "window/window_fixture.h"

#include <QCheckBox>
#include <QMouseEvent>
#include <QTest>

namespace qarvel::dialogs {
namespace {

using window::testing::codedStrip;
using window::testing::codeOf;
using window::testing::MemorySettings;

struct Dialogs final : platform::UserDialogs {
    bool askYesNo(const QString&, const QString&) override { return false; }
    void inform(const QString& title, const QString& text) override { calls << "inform " + title + text; }
    QString pickFolder(const QString& start, const QString& title) override {
        calls << "pick " + start + u'|' + title;
        return picked;
    }
    QStringList& calls;
    QString picked;
    explicit Dialogs(QStringList& log) : calls(log) {}
};

class SettingsDialogTest : public ::testing::Test {
protected:
    SettingsDialogTest() { skin.load(0); }

    SettingsDialogServices services() {
        return {.settings = settings,
                .skin = skin,
                .dialogs = dialogs,
                .readCachePath =
                    [this](const QString& folder) {
                        calls << "read " + folder;
                        return storedCache;
                    },
                .writeCachePath =
                    [this](const QString& folder, const QString& path) {
                        calls << "write " + folder + u'|' + path;
                        return writable;
                    },
                .stopService = [this](const QString& folder) { calls << "stop " + folder; },
                .startService = [this](const QString& folder) { calls << "start " + folder; },
                .openUrl = [this](const QString& address) { calls << "open " + address; },
                .defaultCacheFolder = "/prog/Media/",
                .siteAddress = "http://site.example/"};
    }
    SettingsWindow& open() {
        dialog = std::make_unique<SettingsDialog>(nullptr, services());
        dialog->open();
        calls.clear();
        return *dialog->window();
    }

    QApplication* app = window::testing::app();  // before any picture
    QStringList calls;
    MemorySettings settings;
    window::Skin skin{codedStrip, {}};
    Dialogs dialogs{calls};
    QString storedCache = "/films/";
    bool writable = true;  // what the configuration write answers
    std::unique_ptr<SettingsDialog> dialog;
};

void hover(QWidget* w, QPoint pos) {
    QMouseEvent move(QEvent::MouseMove, pos, w->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

QRgb pixel(const QImage& image, int x, int y) { return image.pixel(x, y) | 0xff000000u; }

TEST_F(SettingsDialogTest, LoadingShowsTheOptionsPageAndClearsABoxOnlyForOne) {
    settings.values = {{"S_q/quit", "1"},   {"S_q/qvodqi", "2"}, {"S_q/qvodk", "0"},  {"S_q/s_pao", "3"},
                       {"S_q/s_size", "1"}, {"S_q/s_h", "x"},    {"S_q/s_bo", " 1 "}, {"S_q/qvodw", "/opt/q/"}};
    SettingsWindow& w = open();
    EXPECT_FALSE(w.optionBoxes[5]->isChecked());
    EXPECT_TRUE(w.optionBoxes[7]->isChecked());
    EXPECT_TRUE(w.optionBoxes[6]->isChecked());  // "0"
    EXPECT_TRUE(w.optionBoxes[8]->isChecked());  // "3"
    EXPECT_FALSE(w.optionBoxes[0]->isChecked());
    EXPECT_TRUE(w.optionBoxes[1]->isChecked());   // no number
    EXPECT_FALSE(w.optionBoxes[2]->isChecked());  // 1 as a number
    EXPECT_TRUE(w.optionBoxes[3]->isChecked());   // absent
    EXPECT_EQ(w.optionBoxes[4], nullptr);
    EXPECT_EQ(w.optionBoxes[5]->text(), QStringLiteral("关闭软件最小化到托盘"));
    EXPECT_EQ(w.optionBoxes[3]->text(), QStringLiteral("记录影片播放进度"));

    EXPECT_EQ(w.windowTitle(), QStringLiteral("软件设置"));
    EXPECT_TRUE(w.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(w.tabFaces[1]->isVisible());
    EXPECT_FALSE(w.tabFaces[0]->isVisible());
    EXPECT_FALSE(w.tabFaces[2]->isVisible());
    EXPECT_EQ(w.tabCaptions[1]->palette().color(QPalette::Window), QColor(250, 175, 65));
    EXPECT_EQ(w.tabCaptions[1]->foreColour(), QColor(Qt::white));
    EXPECT_EQ(w.tabCaptions[1]->text(), QStringLiteral("软件设置\r\n"));
    // The player folder as remembered, and the cache folder its configuration names.
    EXPECT_EQ(w.DialogQvodFolder, "/opt/q/");
    EXPECT_EQ(w.LoadedCachePath, "/films/");
    EXPECT_EQ(w.cacheFolderEdit->text(), "/films/");
}

TEST_F(SettingsDialogTest, NoCacheFolderReadShowsTheProgramsOwn) {
    storedCache.clear();
    SettingsWindow& w = open();
    EXPECT_EQ(w.DialogQvodFolder, "0");
    EXPECT_EQ(w.LoadedCachePath, "");
    EXPECT_EQ(w.cacheFolderEdit->text(), "/prog/Media/");
}

TEST_F(SettingsDialogTest, TabsSwitchPagesAndColours) {
    SettingsWindow& w = open();
    for (int i : {2, 0, 1}) {
        QTest::mouseClick(w.tabCaptions[i], Qt::LeftButton);
        for (int t = 0; t < 3; ++t) {
            EXPECT_EQ(w.tabFaces[t]->isVisible(), t == i) << i << t;
            EXPECT_EQ(w.tabCaptions[t]->palette().color(QPalette::Window),
                      t == i ? QColor(250, 175, 65) : QColor(218, 218, 218));
            EXPECT_EQ(w.tabCaptions[t]->foreColour(), t == i ? QColor(Qt::white) : QColor(Qt::black));
        }
    }
}

// Each box alone cleared: its key gets "1", every other key "2".
TEST_F(SettingsDialogTest, ApplyWritesEachBoxToItsKey) {
    const std::map<int, QString> keys = {{5, "quit"},   {7, "qvodqi"}, {6, "qvodk"}, {8, "s_pao"},
                                         {0, "s_size"}, {1, "s_h"},    {2, "s_bo"},  {3, "s_jd"}};
    for (const auto& [cleared, key] : keys) {
        settings.values.clear();
        settings.writes = 0;
        SettingsWindow& w = open();
        QTest::mouseClick(w.optionBoxes[cleared], Qt::LeftButton);
        ASSERT_FALSE(w.optionBoxes[cleared]->isChecked()) << key.toStdString();
        QTest::mouseClick(w.applyButton, Qt::LeftButton);
        for (const auto& [box, other] : keys)
            EXPECT_EQ(settings.values.value("S_q/" + other), box == cleared ? "1" : "2") << key.toStdString();
        EXPECT_EQ(settings.writes, 8);
        EXPECT_TRUE(calls.isEmpty()) << calls.join(", ").toStdString();  // folder unchanged
    }
}

TEST_F(SettingsDialogTest, ApplyOfANewFolderRestartsTheServiceAroundTheWrite) {
    SettingsWindow& w = open();
    w.cacheFolderEdit->setText("/new/films");
    QTest::mouseClick(w.applyButton, Qt::LeftButton);
    EXPECT_EQ(calls, (QStringList{"stop 0", "write 0|/new/films/", "start 0", "inform 提示：缓存路径修改成功！"}));
    EXPECT_EQ(w.cacheFolderEdit->text(), "/new/films/");
    EXPECT_EQ(w.LoadedCachePath, "/new/films/");
    EXPECT_TRUE(w.cacheMoveNotice->isHidden());
    // Applied once: the same folder again changes nothing more.
    calls.clear();
    QTest::mouseClick(w.applyButton, Qt::LeftButton);
    EXPECT_TRUE(calls.isEmpty());
}

TEST_F(SettingsDialogTest, AFolderThatCannotBeWrittenIsSaidSoAndTheOldOneStays) {
    storedCache = "/old/";
    writable = false;
    SettingsWindow& w = open();
    w.cacheFolderEdit->setText("/new/films");
    QTest::mouseClick(w.applyButton, Qt::LeftButton);
    // The service comes back on the old folder; no word of success.
    EXPECT_EQ(calls.mid(0, 3), (QStringList{"stop 0", "write 0|/new/films/", "start 0"}));
    ASSERT_EQ(calls.size(), 4);
    EXPECT_TRUE(calls[3].startsWith("inform 提示：缓存路径修改失败")) << calls[3].toStdString();
    EXPECT_EQ(w.cacheFolderEdit->text(), "/old/");
    EXPECT_EQ(w.LoadedCachePath, "/old/");
    EXPECT_TRUE(w.cacheMoveNotice->isHidden());
}

TEST_F(SettingsDialogTest, AFolderThatIsNoAbsolutePathBecomesTheProgramsOwn) {
    for (const QString& typed : {QString("films"), QString("D:\\Media\\"), QString(), QString("~/x")}) {
        SettingsWindow& w = open();
        w.cacheFolderEdit->setText(typed);
        QTest::mouseClick(w.applyButton, Qt::LeftButton);
        EXPECT_EQ(w.cacheFolderEdit->text(), "/prog/Media/") << typed.toStdString();
        EXPECT_TRUE(calls.contains("write 0|/prog/Media/")) << typed.toStdString();
    }
    EXPECT_EQ(normalisedCacheFolder("/a/b", "/x/"), "/a/b/");
    EXPECT_EQ(normalisedCacheFolder("/", "/x/"), "/");
    EXPECT_EQ(normalisedCacheFolder("rel/", "/x"), "/x/");
}

TEST_F(SettingsDialogTest, WithNoPlayerFolderTheServiceIsNotStartedAgain) {
    settings.values["S_q/qvodw"] = "";
    SettingsWindow& w = open();
    w.cacheFolderEdit->setText("/elsewhere/");
    QTest::mouseClick(w.applyButton, Qt::LeftButton);
    EXPECT_EQ(calls, (QStringList{"stop ", "write |/elsewhere/", "inform 提示：缓存路径修改成功！"}));
}

TEST_F(SettingsDialogTest, OkAppliesAndUnloadsCancelAndCloseWriteNothing) {
    SettingsWindow* w = &open();
    QTest::mouseClick(w->optionBoxes[2], Qt::LeftButton);
    w->cacheFolderEdit->setText("/typed/");
    QTest::mouseClick(w->cancelButton, Qt::LeftButton);
    EXPECT_FALSE(dialog->isOpen());
    EXPECT_EQ(settings.writes, 0);
    EXPECT_TRUE(calls.isEmpty());

    // The next opening loads again: the box shows the stored value.
    settings.values["S_q/s_bo"] = "1";
    dialog->open();
    w = dialog->window();
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->optionBoxes[2]->isChecked());
    QTest::mouseClick(w->optionBoxes[1], Qt::LeftButton);
    QTest::mouseClick(w->closeButton, Qt::LeftButton);
    EXPECT_FALSE(dialog->isOpen());
    EXPECT_EQ(settings.writes, 0);

    dialog->open();
    w = dialog->window();
    QTest::mouseClick(w->optionBoxes[1], Qt::LeftButton);
    QTest::mouseClick(w->okButton, Qt::LeftButton);
    EXPECT_FALSE(dialog->isOpen());
    EXPECT_EQ(settings.values.value("S_q/s_h"), "1");
    EXPECT_EQ(settings.values.value("S_q/s_bo"), "1");
    EXPECT_EQ(settings.writes, 8);
}

TEST_F(SettingsDialogTest, OpeningTwiceRaisesTheSameDialog) {
    SettingsWindow* first = &open();
    dialog->open();
    EXPECT_EQ(dialog->window(), first);
}

TEST_F(SettingsDialogTest, BrowseTakesThePickedFolderOrKeepsTheLoadedOne) {
    SettingsWindow& w = open();
    dialogs.picked = "/media/disk";
    QTest::mouseClick(w.browseCacheFolderButton, Qt::LeftButton);
    EXPECT_EQ(calls.value(0), "pick /films/|请选择影片下载存放的文件夹");
    EXPECT_EQ(w.cacheFolderEdit->text(), "/media/disk/");

    dialogs.picked = "/";
    QTest::mouseClick(w.browseCacheFolderButton, Qt::LeftButton);
    EXPECT_EQ(w.cacheFolderEdit->text(), "/");

    dialogs.picked.clear();  // cancelled
    QTest::mouseClick(w.browseCacheFolderButton, Qt::LeftButton);
    EXPECT_EQ(w.cacheFolderEdit->text(), "/films/");
}

TEST_F(SettingsDialogTest, FrameAndCloseButtonComeFromTheSkinStrips) {
    SettingsWindow& w = open();
    const int W = w.width(), H = w.height();
    QImage image = w.grab().toImage();
    EXPECT_EQ(pixel(image, 5, 5), codeOf(0, 0, 5, 5));       // top-left corner
    EXPECT_EQ(pixel(image, W - 4, 5), codeOf(0, 0, 76, 5));  // top-right corner, beside the close button
    EXPECT_EQ(qRed(pixel(image, 200, 29)), 1);               // top edge, stretched
    EXPECT_EQ(qBlue(pixel(image, 200, 29)), 29);
    EXPECT_EQ(pixel(image, 1, H - 2), codeOf(0, 0, 1, 106));           // bottom-left corner
    EXPECT_EQ(pixel(image, W - 2, H - 2), codeOf(0, 0, 78, 106));      // bottom-right corner
    EXPECT_EQ(pixel(image, W - 32 + 5, 3 + 7), codeOf(0, 1, 125, 7));  // close face, normal
    EXPECT_EQ(w.closeButton->geometry(), QRect(W - 32, 3, 24, 24));
    EXPECT_FALSE(w.mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(w.mask().contains(QPoint(1, 0)));

    // Over the close button: the hovered face; away: the normal one.
    hover(w.closeButton, {5, 5});
    EXPECT_EQ(pixel(w.closeButton->grab().toImage(), 5, 7), codeOf(0, 2, 125, 7));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(w.closeButton, &leave);
    EXPECT_EQ(pixel(w.closeButton->grab().toImage(), 5, 7), codeOf(0, 1, 125, 7));

    // The layout follows the size; the frame is painted for the new one.
    w.resize(600, 420);
    image = w.grab().toImage();
    EXPECT_EQ(pixel(image, 600 - 4, 5), codeOf(0, 0, 76, 5));
    EXPECT_EQ(w.closeButton->pos(), QPoint(600 - 32, 3));
    EXPECT_EQ(w.panel->geometry(), QRect(2, 30, 596, 388));
    EXPECT_EQ(w.pageArea->geometry(), QRect(130, 0, 466, 348));
    EXPECT_EQ(w.tabFaces[1]->size(), QSize(466, 348));
    EXPECT_EQ(w.tabCaptions[2]->geometry(), QRect(0, 31, 130, 35));
    EXPECT_LT(w.okButton->x(), w.cancelButton->x());
    EXPECT_LT(w.cancelButton->x(), w.applyButton->x());
    EXPECT_GE(w.okButton->y(), 348);
}

TEST_F(SettingsDialogTest, ASkinChangeRepaintsTheOpenDialog) {
    SettingsWindow& w = open();
    skin.load(1);
    dialog->repaintFrame();
    const QImage image = w.grab().toImage();
    EXPECT_EQ(pixel(image, 5, 5), codeOf(1, 0, 5, 5));
    EXPECT_EQ(pixel(image, w.width() - 32 + 5, 3 + 7), codeOf(1, 1, 125, 7));
    dialog->window()->close();
    dialog->repaintFrame();  // closed: nothing to paint, nothing fails
    EXPECT_EQ(dialog->window(), nullptr);
}

TEST_F(SettingsDialogTest, SiteLinkLooksAndOpensTheSite) {
    SettingsWindow& w = open();
    QTest::mouseClick(w.tabCaptions[0], Qt::LeftButton);
    window::Label* link = w.captions[0];
    EXPECT_EQ(link->text(), QStringLiteral("官方网址: http://site.example/"));
    EXPECT_EQ(link->foreColour(), QColor(0, 0, 255));
    hover(link, {3, 3});
    EXPECT_EQ(link->foreColour(), QColor(255, 0, 0));
    EXPECT_TRUE(link->font().underline());

    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_EQ(calls, QStringList{"open http://site.example/"});
    EXPECT_EQ(w.SiteLinkClicked, 1);
    EXPECT_EQ(link->foreColour(), QColor(0, 0, 255));
    hover(link, {4, 4});
    EXPECT_FALSE(link->font().underline());  // clicked: no hover look until the page is crossed

    hover(w.tabFaces[0], {1, 1});
    EXPECT_EQ(w.SiteLinkClicked, 0);
    hover(link, {4, 4});
    EXPECT_TRUE(link->font().underline());
    hover(w.tabFaces[0], {1, 1});
    EXPECT_EQ(link->foreColour(), QColor(0, 0, 255));
    EXPECT_FALSE(link->font().underline());
}

TEST_F(SettingsDialogTest, DraggingTheSurfaceMovesTheDialog) {
    SettingsWindow& w = open();
    w.move(100, 100);
    const QPoint start = w.pos();
    const QPoint grip(200, 12);
    QMouseEvent press(QEvent::MouseButtonPress, grip, w.mapToGlobal(grip), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&w, &press);
    const QPoint to = grip + QPoint(40, 25);
    QMouseEvent move(QEvent::MouseMove, to, w.mapToGlobal(grip) + QPoint(40, 25), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&w, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, w.mapToGlobal(to), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(&w, &release);
    EXPECT_EQ(w.pos(), start + QPoint(40, 25));
}

}  // namespace
}  // namespace qarvel::dialogs

// Subtitles and drops in the program as main() builds it: films dropped on
// the window play (the first of several; a folder's first film) and go into
// the local list; the subtitle file beside a film shows its line on the
// picture (seen on the screen) until "关闭字幕"; a subtitle file dropped on
// the picture or chosen in "加载字幕文件..." is loaded; "字幕" lists the
// bilingual clip's own track; "s_hwdec" "0" turns hardware decoding off.
#include "engine/mpv_player.h"
#include "integration/play/program_harness.h"
#include "playback/player_menu.h"
#include "support/x_server.h"

#include <QAction>
#include <QDir>
#include <QDropEvent>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScreen>

using namespace playtest;
using qarvel::test::runEventsFor;

namespace {

const auto* const kXServer =
    ::testing::AddGlobalTestEnvironment(new qarvel::test::XServer([] { app(); }, QStringLiteral("1280x800x24")));

// What a file manager's drop delivers: the entering drag, then the drop.
bool drop(QWidget* on, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    const QPoint at = on->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(on, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(on, &dropped);
    return dropped.isAccepted();
}

QStringList captionsOf(QMenu* menu) {
    QStringList captions;
    for (QAction* a : menu->actions()) captions << a->text();
    return captions;
}

QMenu* subtitleMenu(Program& p) {
    auto* item = p.window().menus().playerPopupMenu.findChild<QAction*>(QStringLiteral("q_zimu"));
    QMenu* menu = item ? item->menu() : nullptr;
    if (menu) menu->popup(QPoint(100, 100));
    return menu && waitUntil([&] { return menu->isVisible(); }) ? menu : nullptr;
}

QAction* itemCalled(QMenu* menu, const QString& caption) {
    for (QAction* a : menu->actions())
        if (a->text() == caption) return a;
    return nullptr;
}

// Near-white pixels on the screen in the middle of the picture's lower part,
// where on the news clip (a plain colour, its labels top left and bottom
// left) nothing but a subtitle line is drawn.
int subtitlePixels(QWidget* picture) {
    runEventsFor(500);
    const QPoint origin = picture->mapToGlobal(QPoint(0, 0));
    const QImage shot = QGuiApplication::primaryScreen()
                            ->grabWindow(0, origin.x(), origin.y(), picture->width(), picture->height())
                            .toImage();
    int lit = 0;
    for (int y = shot.height() * 6 / 10; y < shot.height(); ++y) {
        for (int x = shot.width() * 4 / 10; x < shot.width() * 7 / 10; ++x) {
            const QRgb p = shot.pixel(x, y);
            if (qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) > 200) ++lit;
        }
    }
    return lit;
}

void writeSubtitle(const QString& path, const QString& line) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("1\r\n00:00:00,000 --> 00:00:09,000\r\n%1\r\n").arg(line).toUtf8());
}

}  // namespace

TEST(SubtitlesAndDrops, DroppedFilmsPlayTheFirstAndGoIntoTheLocalList) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    Program p(service.baseUrl(), {{"s_h", "1"}});
    ASSERT_TRUE(p.started);
    // The picture's render context is made once the catalogue has loaded, ahead of any film.
    EXPECT_FALSE(mpv(p).pictureReady());
    ASSERT_TRUE(p.catalogueShown());
    EXPECT_TRUE(waitUntil([&] { return mpv(p).pictureReady(); }));
    // On a browser pane, which would otherwise open the file as a page.
    const QString first = clip(service, "chengshi.mp4");
    ASSERT_TRUE(drop(p.pane(1), {first, clip(service, "xiake-02.mp4")}));
    ASSERT_TRUE(waitUntil([&] { return p.playing(); }));
    EXPECT_EQ(p.player().url(), first);
    EXPECT_EQ(p.c().filmTitle->text(), QStringLiteral("chengshi.mp4"));
    EXPECT_TRUE(readGbk(p.files().localRecords).startsWith(QStringLiteral("chengshi.mp4|") + first));
    EXPECT_TRUE(p.pane(1)->url().toString().endsWith(QStringLiteral("/box/")));
    // Hardware decoding is on by default; this machine has none and plays on in software.
    EXPECT_EQ(mpv(p).propertyText("hwdec"), QStringLiteral("auto-safe"));
    // Its display draws in software: the player draws the picture in memory, as its own X11 output would.
    EXPECT_TRUE(mpv(p).pictureInMemory());
    // A film on disk is read as it plays, not held in memory ahead.
    EXPECT_EQ(mpv(p).propertyText("cache"), QStringLiteral("no"));
}

TEST(SubtitlesAndDrops, ADroppedFolderPlaysItsFirstFilmAndTheSubtitleBesideItShows) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::copy(clip(service, "tv-news.webm"), folder.filePath("第2集.webm")));
    ASSERT_TRUE(QFile::copy(clip(service, "xiake-02.mp4"), folder.filePath("第10集.mp4")));
    writeSubtitle(folder.filePath("第2集.chs.srt"), QStringLiteral("侠客行 中文字幕在此"));
    writeSubtitle(folder.filePath("另一个.srt"), QStringLiteral("另一个字幕"));
    Program p(service.baseUrl(), {{"s_h", "1"}});
    ASSERT_TRUE(p.started);
    ASSERT_TRUE(drop(&p.window(), {folder.path()}));
    ASSERT_TRUE(waitUntil([&] { return p.playing() && p.player().position() >= 1; }));
    EXPECT_EQ(p.player().url(), folder.filePath("第2集.webm"));
    EXPECT_TRUE(readGbk(p.files().localRecords).startsWith(QStringLiteral("第2集.webm|")));
    ASSERT_TRUE(waitUntil([&] { return p.player().subtitleTracks().size() == 1; }));
    const qarvel::engine::SubtitleTrack beside = p.player().subtitleTracks().first();
    EXPECT_EQ(beside.title, QStringLiteral("第2集.chs.srt"));
    EXPECT_EQ(beside.language, QStringLiteral("chs"));
    EXPECT_TRUE(beside.selected);

    // The line is on the picture while it is due, and gone with "关闭字幕".
    QWidget* picture = p.c().playerVideo;
    EXPECT_GT(subtitlePixels(picture), 100);
    QMenu* menu = subtitleMenu(p);
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(itemCalled(menu, QStringLiteral("第2集.chs.srt (chs)"))->isChecked());
    itemCalled(menu, qarvel::playback::kSubtitlesOffCaption)->trigger();
    menu->close();
    ASSERT_TRUE(waitUntil([&] { return mpv(p).propertyText("sid") == QStringLiteral("no"); }));
    EXPECT_LT(subtitlePixels(picture), 5);

    // A subtitle file dropped on the picture is loaded and shows.
    ASSERT_TRUE(drop(picture, {folder.filePath("另一个.srt")}));
    ASSERT_TRUE(waitUntil([&] { return p.player().subtitleTracks().size() == 2; }));
    EXPECT_EQ(p.player().subtitleTracks().last().title, QStringLiteral("另一个.srt"));
    EXPECT_TRUE(waitUntil([&] { return p.player().subtitleTracks().last().selected; }));
    EXPECT_EQ(p.player().url(), folder.filePath("第2集.webm"));
}

TEST(SubtitlesAndDrops, TheMenuListsTheClipsOwnTrackAndLoadsAChosenFileAndTheSettingTurnsHardwareDecodingOff) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    Program p(service.baseUrl(), {{"s_h", "1"}, {"s_hwdec", "0"}}, {}, nullptr, clip(service, "shuangyu.mkv"));
    ASSERT_TRUE(p.started);
    ASSERT_TRUE(waitUntil([&] { return p.playing() && !p.player().subtitleTracks().isEmpty(); }));
    EXPECT_EQ(mpv(p).propertyText("hwdec"), QStringLiteral("no"));

    QMenu* menu = subtitleMenu(p);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(captionsOf(menu), (QStringList{"中文 (chi)", "", "加载字幕文件...", "关闭字幕"}));
    EXPECT_TRUE(menu->actions().value(0)->isChecked());  // a Chinese track shows unasked
    QTemporaryDir folder;
    p.dialogs.fileToOpen = folder.filePath("chosen.srt");
    writeSubtitle(p.dialogs.fileToOpen, QStringLiteral("选中的字幕"));
    itemCalled(menu, qarvel::playback::kLoadSubtitleCaption)->trigger();
    menu->close();
    EXPECT_EQ(p.dialogs.openAsked,
              QStringList{QStringLiteral("选择字幕文件|字幕文件|*.srt;*.ass;*.ssa;*.vtt|所有文件|*.*")});
    ASSERT_TRUE(waitUntil([&] { return p.player().subtitleTracks().size() == 2; }));
    EXPECT_EQ(p.player().subtitleTracks().last().title, QStringLiteral("chosen.srt"));
    EXPECT_TRUE(waitUntil([&] { return p.player().subtitleTracks().last().selected; }));
}

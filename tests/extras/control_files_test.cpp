// The three control files read from golden files as the service writes them
// (GBK, CR LF), the version comparison at its edges, and the malformed files
// that must switch nothing on.
#include "common/text_codec.h"
#include "extras/control_files.h"

#include <QFile>
#include <gtest/gtest.h>

namespace qarvel::extras {
namespace {

QString golden(const char* name) {
    QFile f(QStringLiteral(QARVEL_TEST_DATA "/") + QLatin1String(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return fromGbk(f.readAll());
}

TEST(UpdateControlFile, GoldenFilesGiveTheirSwitchesAndVersion) {
    const auto def = parseUpdateControl(golden("wen_default.txt"));
    ASSERT_TRUE(def);
    EXPECT_EQ(def->sideWindowOnExit, "0");
    EXPECT_TRUE(def->popupNotice && def->pauseAd && def->scrollingNotice && def->stopAd);
    EXPECT_EQ(def->latestVersion, "1.0");  // the trailing CR LF is gone

    // One section a line: the switches read as numbers, the side window's
    // text is taken as written and so is not exactly "1".
    const auto lines = parseUpdateControl(golden("wen_newer_lines.txt"));
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->sideWindowOnExit, "1\r\n");
    EXPECT_TRUE(lines->popupNotice && lines->pauseAd && lines->scrollingNotice && lines->stopAd);
    EXPECT_EQ(lines->latestVersion, "1.1");

    const auto side = parseUpdateControl(golden("wen_side_window.txt"));
    ASSERT_TRUE(side);
    EXPECT_EQ(side->sideWindowOnExit, "1");
    EXPECT_FALSE(side->popupNotice || side->pauseAd || side->scrollingNotice || side->stopAd);
    EXPECT_EQ(side->latestVersion, "2.0");
}

TEST(UpdateControlFile, FewerSectionsLeaveTheRestOffAndNoVersion) {
    const auto c = parseUpdateControl(golden("wen_short.txt"));
    ASSERT_TRUE(c);
    EXPECT_TRUE(c->popupNotice && c->pauseAd);
    EXPECT_FALSE(c->scrollingNotice || c->stopAd);
    EXPECT_TRUE(c->latestVersion.isEmpty());
    EXPECT_FALSE(isUpdateOffered(c->latestVersion, "1.0"));
}

TEST(UpdateControlFile, EmptyGarbageAndCutFilesAreNoControlFile) {
    EXPECT_FALSE(parseUpdateControl(QString()));
    EXPECT_FALSE(parseUpdateControl(golden("wen_garbage.txt")));
    EXPECT_FALSE(parseUpdateControl("0==="));  // cut inside the first mark
    EXPECT_FALSE(parseUpdateControl("1"));
}

TEST(UpdateControlFile, SwitchesAreOnOnlyForTheNumberOne) {
    for (const char* on : {"1", " 1 ", "1.0", "01", "1\r\n"})
        EXPECT_TRUE(parseUpdateControl(QStringLiteral("0====%1").arg(QLatin1String(on)))->popupNotice) << on;
    for (const char* off : {"", "2", "0", "yes", "1x", "-1", "11"})
        EXPECT_FALSE(parseUpdateControl(QStringLiteral("0====%1").arg(QLatin1String(off)))->popupNotice) << off;
}

TEST(UpdateOffer, AnyOtherTextThanTheOwnVersionIsNewer) {
    EXPECT_FALSE(isUpdateOffered("", "1.0"));
    EXPECT_FALSE(isUpdateOffered("0", "1.0"));
    EXPECT_FALSE(isUpdateOffered("1.0", "1.0"));
    EXPECT_TRUE(isUpdateOffered("0.9", "1.0"));  // lower is offered all the same
    EXPECT_TRUE(isUpdateOffered("1.01", "1.0"));
    EXPECT_TRUE(isUpdateOffered("1.0 ", "1.0"));  // only CR LF is taken away
    EXPECT_TRUE(isUpdateOffered("00", "1.0"));
    EXPECT_EQ(parseUpdateControl("0====0====0====0====0====1.0\r\n\r\n")->latestVersion, "1.0");
    EXPECT_EQ(parseUpdateControl("0====0====0====0====0====1.0\n")->latestVersion, "1.0\n");
}

TEST(NoticeFile, GoldenFileGivesTheValidItemsInOrder) {
    const QList<NoticeItem> items = parseNoticeList(golden("gun_notices.txt"));
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0].text, "欢迎使用影视盒");
    EXPECT_FALSE(hasNoticeLink(items[0]));  // "*"
    EXPECT_EQ(items[1].text, "《星河往事》已更新");
    EXPECT_EQ(items[1].link, "http://127.0.0.1/box/");  // the line break is not part of it
    EXPECT_TRUE(hasNoticeLink(items[1]));
    // The item without "||" is skipped; a further "||" ends the link.
    EXPECT_EQ(items[2].text, "电视直播");
    EXPECT_EQ(items[2].link, "http://127.0.0.1/box/tv/list.htm");
}

TEST(NoticeFile, AtMostFiftyOneItemsAndNothingWithoutAMark) {
    QStringList pieces;
    for (int i = 0; i < 60; ++i) pieces << QStringLiteral("n%1||http://h/%1").arg(i);
    const QList<NoticeItem> items = parseNoticeList(pieces.join("$$$"));
    ASSERT_EQ(items.size(), 51);
    EXPECT_EQ(items.last().text, "n50");
    EXPECT_TRUE(parseNoticeList(QString()).isEmpty());
    EXPECT_TRUE(parseNoticeList("no marks here$$$at all").isEmpty());
    EXPECT_FALSE(hasNoticeLink({"t", ""}));
    EXPECT_EQ(parseNoticeList("only||")[0].link, "");
}

TEST(PopupFile, ZeroFieldsTakeTheDefaultsAndPagesKeepTheirOrder) {
    const auto c = parsePopupControl(golden("tan_defaults.txt"));
    ASSERT_TRUE(c);
    EXPECT_EQ(c->firstDelaySeconds, 120);
    EXPECT_EQ(c->intervalMinutes, 30);
    EXPECT_FALSE(c->repeat);
    EXPECT_EQ(c->pages, (QStringList{"http://127.0.0.1/box/a.htm", "http://127.0.0.1/box/b.htm"}));
}

TEST(PopupFile, OnlyExactHttpItemsAreKeptAndPackedFromTheStart) {
    const auto c = parsePopupControl(golden("tan_mixed.txt"));
    ASSERT_TRUE(c);
    EXPECT_EQ(c->firstDelaySeconds, 10);
    EXPECT_EQ(c->intervalMinutes, 5);
    EXPECT_TRUE(c->repeat);
    EXPECT_EQ(c->pages, QStringList{"http://127.0.0.1/ok.htm"});
}

TEST(PopupFile, BadNumbersCountAsZeroAndTheListIsCutAfterFiftyOne) {
    const auto c = parsePopupControl("x||-5||2||");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->firstDelaySeconds, 120);
    EXPECT_EQ(c->intervalMinutes, 30);
    EXPECT_FALSE(c->repeat);
    EXPECT_TRUE(c->pages.isEmpty());
    QStringList pages;
    for (int i = 0; i < 55; ++i) pages << (i == 0 ? QStringLiteral("bad") : QStringLiteral("http://h/%1").arg(i));
    const auto cut = parsePopupControl("1||1||0||" + pages.join("$$$"));
    ASSERT_EQ(cut->pages.size(), 50);  // items 0..50 considered, item 0 dropped
    EXPECT_EQ(cut->pages.last(), "http://h/50");
    EXPECT_FALSE(parsePopupControl(golden("tan_garbage.txt")));
    EXPECT_FALSE(parsePopupControl(QString()));
}

TEST(BrowserAddress, OnlyHttpAndHttpsWithAHost) {
    for (const char* yes : {"http://h/", "https://h/x?y=1", "HTTP://H/", " http://h/a "})
        EXPECT_TRUE(isBrowserAddress(QLatin1String(yes))) << yes;
    for (const char* no : {"", "zuvovod://1-0-0-x", "zvqvod://a&&&b", "open://1", "delk://1", "file:///etc/passwd",
                           "/home/x", "javascript:alert(1)", "http://", "ftp://h/f"})
        EXPECT_FALSE(isBrowserAddress(QLatin1String(no))) << no;
}

}  // namespace
}  // namespace qarvel::extras

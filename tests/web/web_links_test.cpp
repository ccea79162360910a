// Links of the program's schemes and the end-of-play sentinel reach the pane's
// hook exactly as the page wrote them, however they are followed, and the
// browser never navigates to them; ordinary links still load.
#include "web_test_support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace qarvel::web::test {
namespace {

const QString kEpisode =
    QStringLiteral("zvqvod://qvod&&&http%3A//127.0.0.1/a.mp4&&&%u7B2C%u4E00&&&%u7B2C1%u96C6&&&7&&&0&&&3&&&0");
const QString kSentinel = QStringLiteral("http://end-of-play.qarvel.invalid/");

const char kLinksPage[] = R"(<html><head><title>links</title></head><body>
<a id="q" href="zvqvod://qvod&&&http%3A//127.0.0.1/a.mp4&&&%u7B2C%u4E00&&&%u7B2C1%u96C6&&&7&&&0&&&3&&&0">episode</a><br>
<a id="s" href="http://end-of-play.qarvel.invalid/">end</a><br>
<a id="o" href="open://3">open</a><br>
<a id="d" href="delk://3/">delete</a><br>
<a id="h" href="/second">next page</a><br>
<a id="p" href="zvqvod://prevented" onclick="return false">prevented</a><br>
<a id="t" href="zvtvs://5" target="_blank"><span id="ts">channel</span></a><br>
<iframe id="f" srcdoc="<a id='fo' href='open://12'>framed</a>"></iframe>
<script>
window.marker = 'still here';
window.pageClicks = 0;
document.getElementById('q').addEventListener('click', function () { window.pageClicks++; });
</script>
</body></html>)";

class WebLinks : public ::testing::Test {
protected:
    void SetUp() override {
        server.http().Get("/links.htm", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(kLinksPage, "text/html");
        });
        server.http().Get("/second", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("<html><head><title>second</title></head><body>two</body></html>", "text/html");
        });
        server.start();
        ASSERT_TRUE(navigateAndWait(pane(), server.url("/links.htm")));
        rec.seen.clear();
    }

    WebPane* pane() { return rec.pane.get(); }

    // Waits for `count` addresses to reach the hook.
    bool handedOver(int count) {
        return waitUntil([&] { return rec.seen.size() >= count; });
    }

    // The links page is still the document: nothing navigated away.
    void expectStillOnLinksPage() {
        runEventsFor(300);
        EXPECT_EQ(runScript(pane(), "window.marker").toString(), "still here");
        EXPECT_EQ(pane()->url(), QUrl(server.url("/links.htm")));
    }

    QPoint centreOf(const QString& script) {
        const QJsonObject r =
            QJsonDocument::fromJson(
                runScript(pane(), "JSON.stringify(" + script + ".getBoundingClientRect())").toString().toUtf8())
                .object();
        return QPoint(int(r["left"].toDouble() + r["width"].toDouble() / 2),
                      int(r["top"].toDouble() + r["height"].toDouble() / 2));
    }

    LoopbackServer server;
    RecordingPane rec;
};

TEST_F(WebLinks, ScriptClicksHandOverRawLinksAndStay) {
    QSignalSpy begins(pane(), &WebPane::downloadBegin);
    for (const char* id : {"q", "s", "o", "d"})
        runScript(pane(), QString("document.getElementById('%1').click()").arg(id));
    ASSERT_TRUE(handedOver(4));
    EXPECT_EQ(rec.seen, (QStringList{kEpisode, kSentinel, "open://3", "delk://3/"}));
    expectStillOnLinksPage();
    EXPECT_EQ(begins.count(), 0);
    // The page's own click handlers still ran.
    EXPECT_EQ(runScript(pane(), "window.pageClicks").toInt(), 1);
}

TEST_F(WebLinks, MouseClicksHandOverRawLinks) {
    QWidget* surface = pane()->focusProxy();
    ASSERT_NE(surface, nullptr);
    QTest::mouseClick(surface, Qt::LeftButton, {}, centreOf("document.getElementById('q')"));
    ASSERT_TRUE(handedOver(1));
    QTest::mouseClick(surface, Qt::LeftButton, {}, centreOf("document.getElementById('o')"));
    ASSERT_TRUE(handedOver(2));
    EXPECT_EQ(rec.seen, (QStringList{kEpisode, "open://3"}));
    expectStillOnLinksPage();
}

TEST_F(WebLinks, ScriptNavigationsAreCaught) {
    runScript(pane(),
              "location.href = " +
                  QString(QJsonDocument(QJsonArray{kEpisode}).toJson(QJsonDocument::Compact)).mid(1).chopped(1));
    ASSERT_TRUE(handedOver(1));
    runScript(pane(), "window.location = 'delk://4'");
    ASSERT_TRUE(handedOver(2));
    runScript(pane(), "location.assign('http://end-of-play.qarvel.invalid/?next')");
    ASSERT_TRUE(handedOver(3));
    EXPECT_EQ(rec.seen, (QStringList{kEpisode, "delk://4", kSentinel + "?next"}));
    expectStillOnLinksPage();
}

TEST_F(WebLinks, FramedAndTargetedLinksAreCaught) {
    runScript(pane(), "document.getElementById('f').contentDocument.getElementById('fo').click()");
    ASSERT_TRUE(handedOver(1));
    // A click on an element inside a link aimed at another window.
    runScript(pane(), "document.getElementById('ts').click()");
    ASSERT_TRUE(handedOver(2));
    EXPECT_EQ(rec.seen, (QStringList{"open://12", "zvtvs://5"}));
    expectStillOnLinksPage();
}

TEST_F(WebLinks, ClickThePageCancelsHandsNothingOver) {
    runScript(pane(), "document.getElementById('p').click(); document.getElementById('o').click()");
    ASSERT_TRUE(handedOver(1));
    runEventsFor(200);
    EXPECT_EQ(rec.seen, QStringList{"open://3"});
}

TEST_F(WebLinks, OrdinaryLinkAsksTheHookAndLoads) {
    QSignalSpy complete(pane(), &WebPane::downloadComplete);
    runScript(pane(), "document.getElementById('h').click()");
    ASSERT_TRUE(waitUntil([&] { return complete.count() > 0; }));
    EXPECT_EQ(rec.seen, QStringList{server.url("/second")});
    EXPECT_EQ(pane()->title(), "second");
}

TEST_F(WebLinks, OrdinaryLinkTheHookCancelsStaysSilent) {
    rec.cancel = [](const QString&) { return true; };
    QSignalSpy begins(pane(), &WebPane::downloadBegin);
    QSignalSpy complete(pane(), &WebPane::downloadComplete);
    QSignalSpy errors(pane(), &WebPane::navigateError);
    runScript(pane(), "document.getElementById('h').click()");
    ASSERT_TRUE(handedOver(1));
    expectStillOnLinksPage();
    EXPECT_EQ(begins.count(), 0);
    EXPECT_EQ(complete.count(), 0);
    EXPECT_EQ(errors.count(), 0);
}

}  // namespace
}  // namespace qarvel::web::test

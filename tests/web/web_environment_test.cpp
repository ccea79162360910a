// Engine start flags, which addresses count as the program's, the capture
// script's messages, and the shared profile's place on disk.
#include "web_test_support.h"

#include "web/link_capture.h"
#include "web/program_links.h"
#include "web/web_environment.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QWebEngineProfile>
#include <gtest/gtest.h>

namespace qarvel::web::test {
namespace {

TEST(WebEnvironment, ChromiumFlagsAddWhatIsMissingOnce) {
    EXPECT_EQ(chromiumFlags("", false),
              "--process-per-site --disable-features=MediaSessionService,HardwareMediaKeyHandling");
    EXPECT_EQ(chromiumFlags("", true),
              "--process-per-site --no-sandbox --disable-features=MediaSessionService,HardwareMediaKeyHandling");
    // A user's own feature list is kept and joined, never given a second switch.
    EXPECT_EQ(chromiumFlags("  --foo   --disable-features=Bar  ", false),
              "--foo --disable-features=Bar,MediaSessionService,HardwareMediaKeyHandling --process-per-site");
    const QByteArray once = chromiumFlags("--no-sandbox", true);
    EXPECT_EQ(chromiumFlags(once, true), once);
    EXPECT_EQ(once.count("--no-sandbox"), 1);
}

TEST(WebProgramLinks, SchemesAtTheStartAndTheSentinelAnywhere) {
    for (const char* a : {"zuvovod://1-0-0-x", "zvqvod://qvod&&&a", "zvtvs://3", "open://1", "delk://2/", " open://1",
                          "http://end-of-play.qarvel.invalid/", "http://x/?u=end-of-play.qarvel.invalid"}) {
        EXPECT_TRUE(isProgramAddress(a)) << a;
    }
    for (const char* a : {"", "about:blank", "http://127.0.0.1/box/", "OPEN://1", "http://x/?u=open://1",
                          "/home/u/c.htm", "file:///home/u/zvqvod.htm"}) {
        EXPECT_FALSE(isProgramAddress(a)) << a;
    }
}

TEST(WebLinkCapture, MessagesAreDecodedOnlyWithTheTag) {
    const QString tag = scriptTag();
    EXPECT_TRUE(tag.size() > 10);
    EXPECT_EQ(scriptTag(), tag);

    ScriptMessage link = parseScriptMessage(tag + "Lzvqvod://a&&&b,c", tag);
    EXPECT_EQ(link.kind, ScriptMessage::Link);
    EXPECT_EQ(link.text, "zvqvod://a&&&b,c");

    ScriptMessage menu = parseScriptMessage(tag + "C1,12,-3,open://4,5", tag);
    EXPECT_EQ(menu.kind, ScriptMessage::ContextMenu);
    EXPECT_TRUE(menu.topFrame);
    EXPECT_EQ(menu.clientPos, QPoint(12, -3));
    EXPECT_EQ(menu.text, "open://4,5");

    ScriptMessage noLink = parseScriptMessage(tag + "C0,1,2,", tag);
    EXPECT_EQ(noLink.kind, ScriptMessage::ContextMenu);
    EXPECT_FALSE(noLink.topFrame);
    EXPECT_EQ(noLink.text, "");

    for (const QString& foreign : {QString("Lzvqvod://a"), QString("qarvel:Lopen://1"), tag, tag + "L", tag + "X1",
                                   tag + "C1,2", tag + "C1,x,2,open://1", QString()}) {
        EXPECT_EQ(parseScriptMessage(foreign, tag).kind, ScriptMessage::None) << foreign.toStdString();
    }
}

TEST(WebLinkCapture, PagesCannotReadTheTag) {
    RecordingPane rec;
    ASSERT_TRUE(writeAndWait(rec.pane.get(), "<html><body><a href='open://1'>x</a></body></html>"));
    const QString tag = scriptTag().mid(1, scriptTag().size() - 2);
    const QString html = runScript(rec.pane.get(), "document.documentElement.outerHTML").toString();
    EXPECT_FALSE(html.isEmpty());
    EXPECT_FALSE(html.contains(tag));
    // Nor send one: a forged message without the tag hands nothing over.
    runScript(rec.pane.get(), "console.log('Lopen://9'); console.log('\\u0001qarvel-0:Lopen://9')");
    runEventsFor(200);
    EXPECT_TRUE(rec.seen.isEmpty());
}

TEST(WebProfile, SharedProfileKeepsItsDataInTheProgramFolder) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    QWebEngineProfile* profile = createSharedProfile(qarvel::ProgramFiles::inFolder(home.path() + "/"));
    ASSERT_NE(profile, nullptr);
    EXPECT_EQ(createSharedProfile(qarvel::ProgramFiles::inFolder("/elsewhere")), profile);
    EXPECT_EQ(QDir(profile->persistentStoragePath()), QDir(home.path() + "/webdata"));

    {
        WebPane pane;
        EXPECT_EQ(pane.page()->profile(), profile);
    }
    // Panes go before the profile; then a new one may be made.
    delete profile;
    EXPECT_EQ(sharedProfile(), nullptr);
}

}  // namespace
}  // namespace qarvel::web::test

namespace qarvel::web::test {
namespace {

// What web_cookie_probe prints for `path` with the profile under `home`.
QString probe(const QString& home, const QString& url) {
    QProcess p;
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(QStringLiteral(QARVEL_COOKIE_PROBE), {home, url});
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        ADD_FAILURE() << "probe failed: " << p.readAllStandardError().right(2000).toStdString();
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

TEST(WebProfile, CookiesSurviveARestart) {
    LoopbackServer server;
    server.http().Get("/set", [](const httplib::Request&, httplib::Response& res) {
        res.set_header("Set-Cookie", "sid=kept42; Max-Age=3600; Path=/");
        res.set_content("<html><body>set</body></html>", "text/html");
    });
    server.http().Get("/show", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content("<html><body>cookie=" + req.get_header_value("Cookie") + "</body></html>", "text/html");
    });
    server.start();
    QTemporaryDir home, other;
    ASSERT_TRUE(home.isValid() && other.isValid());

    EXPECT_EQ(probe(home.path(), server.url("/set")), "set");
    EXPECT_EQ(probe(home.path(), server.url("/show")), "cookie=sid=kept42");
    EXPECT_EQ(probe(other.path(), server.url("/show")), "cookie=");
}

}  // namespace
}  // namespace qarvel::web::test

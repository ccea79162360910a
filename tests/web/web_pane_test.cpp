// What a pane reports and shows: program addresses handed over without a
// load, load errors, written documents, GBK pages, silent dialogs and the
// right-click report that replaces the browser's menu.
#include "web_test_support.h"

#include "common/text_codec.h"
#include "web/first_pages.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace qarvel::web::test {
namespace {

QString plainText(WebPane* pane) { return runScript(pane, "document.body ? document.body.innerText : ''").toString(); }

TEST(WebPane, ProgramAddressesGoStraightToTheHookAndNeverLoad) {
    RecordingPane rec;
    QSignalSpy begins(rec.pane.get(), &WebPane::downloadBegin);
    const QString episode = "zvqvod://qvod&&&http%3A//h/%u4E2D&&&%u7B2C&&&a&&&1&&&0&&&2";
    rec.pane->navigate(episode);
    rec.pane->navigate("zuvovod://12-0-3-%u4E2D-x");
    rec.pane->navigate("http://end-of-play.qarvel.invalid/");
    // The hook is asked at once, before any event runs.
    EXPECT_EQ(rec.seen, (QStringList{episode, "zuvovod://12-0-3-%u4E2D-x", "http://end-of-play.qarvel.invalid/"}));
    runEventsFor(300);
    EXPECT_EQ(begins.count(), 0);
}

TEST(WebPane, OrdinaryAddressesAskTheHookWithTheTextGiven) {
    LoopbackServer server;
    server.http().Get("/box/", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<html><body>catalogue</body></html>", "text/html");
    });
    server.start();
    RecordingPane rec;
    rec.cancel = [](const QString& a) { return a.endsWith("no"); };
    QSignalSpy begins(rec.pane.get(), &WebPane::downloadBegin);
    rec.pane->navigate(server.url("/box/no"));
    ASSERT_TRUE(navigateAndWait(rec.pane.get(), server.url("/box/")));
    EXPECT_EQ(rec.seen, (QStringList{server.url("/box/no"), server.url("/box/")}));
    EXPECT_EQ(begins.count(), 1);
    EXPECT_EQ(plainText(rec.pane.get()), "catalogue");
}

TEST(WebPane, HttpErrorsAndRefusedConnectionsAreNavigateErrors) {
    LoopbackServer server;
    server.http().Get("/missing", [](const httplib::Request&, httplib::Response& res) {
        res.status = 404;
        res.set_content("<html><body>not here</body></html>", "text/html");
    });
    server.http().Get("/fine", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<html><body>ok</body></html>", "text/html");
    });
    server.start();
    RecordingPane rec;
    QSignalSpy errors(rec.pane.get(), &WebPane::navigateError);

    ASSERT_TRUE(navigateAndWait(rec.pane.get(), server.url("/missing")));
    ASSERT_EQ(errors.count(), 1);
    EXPECT_EQ(errors.takeFirst().at(0).toString(), server.url("/missing"));

    const QString refused = QStringLiteral("http://127.0.0.1:%1/box/").arg(closedPort());
    ASSERT_TRUE(navigateAndWait(rec.pane.get(), refused));
    ASSERT_EQ(errors.count(), 1);
    EXPECT_EQ(errors.takeFirst().at(0).toString(), refused);

    ASSERT_TRUE(navigateAndWait(rec.pane.get(), server.url("/fine")));
    EXPECT_EQ(errors.count(), 0);
}

TEST(WebPane, RedirectToTheSentinelIsNeverFollowed) {
    LoopbackServer server;
    server.http().Get("/end", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("http://end-of-play.qarvel.invalid/");
    });
    server.start();
    RecordingPane rec;  // a hook that lets everything through
    QSignalSpy errors(rec.pane.get(), &WebPane::navigateError);
    ASSERT_TRUE(navigateAndWait(rec.pane.get(), server.url("/end")));
    EXPECT_EQ(rec.seen, (QStringList{server.url("/end"), "http://end-of-play.qarvel.invalid/"}));
    // A followed redirect would fail on the name and report it.
    runEventsFor(200);
    EXPECT_EQ(errors.count(), 0);
}

TEST(WebPane, UnusableAddressIsReportedAndLoadsNothing) {
    RecordingPane rec;
    QSignalSpy errors(rec.pane.get(), &WebPane::navigateError);
    QSignalSpy begins(rec.pane.get(), &WebPane::downloadBegin);
    rec.pane->navigate("   ");
    ASSERT_EQ(errors.count(), 1);
    EXPECT_EQ(errors.at(0).at(0).toString(), "   ");
    EXPECT_TRUE(rec.seen.isEmpty());
    runEventsFor(200);
    EXPECT_EQ(begins.count(), 0);
}

TEST(WebPane, WrittenDocumentIsShownWithoutAskingTheHook) {
    RecordingPane rec;
    ASSERT_TRUE(writeAndWait(rec.pane.get(), darkEmptyPage()));
    EXPECT_TRUE(rec.seen.isEmpty());
    EXPECT_EQ(runScript(rec.pane.get(), "getComputedStyle(document.body).backgroundColor").toString(),
              "rgb(33, 33, 33)");
}

TEST(WebPane, GbkPageWithoutCharsetShowsChineseAndStaysAFile) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString path = home.filePath("c.htm");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        toGbk("<html><head><title></title></head><body><table><tr><td>暂无记录</td></tr></table>"
              "<a id=\"o\" href=open://1>·第一集</a></body></html>\r\n"));
    file.close();

    RecordingPane rec;
    ASSERT_TRUE(navigateAndWait(rec.pane.get(), path));
    EXPECT_EQ(rec.seen, QStringList{path});
    EXPECT_EQ(rec.pane->url(), QUrl::fromLocalFile(path));
    EXPECT_TRUE(plainText(rec.pane.get()).contains("暂无记录"));
    runScript(rec.pane.get(), "document.getElementById('o').click()");
    ASSERT_TRUE(waitUntil([&] { return rec.seen.size() == 2; }));
    EXPECT_EQ(rec.seen.at(1), "open://1");
}

TEST(WebPane, ScriptDialogsNeverBlock) {
    RecordingPane rec;
    ASSERT_TRUE(writeAndWait(rec.pane.get(),
                             "<html><body><script>alert('x'); var c = confirm('y'); var p = prompt('z', 'w');"
                             "document.title = 'after-' + c + '-' + p;</script></body></html>"));
    ASSERT_TRUE(waitUntil([&] { return rec.pane->title() == "after-false-null"; }, 3000))
        << rec.pane->title().toStdString();
}

TEST(WebPane, RightClickReportsTheLinkEvenWhenThePageCancelsTheMenu) {
    RecordingPane rec;
    ASSERT_TRUE(writeAndWait(rec.pane.get(),
                             "<html><body oncontextmenu=\"return false\" style=\"margin:0\">"
                             "<a id=\"o\" href=\"open://7\" style=\"display:block;height:40px\">entry</a>"
                             "<div style=\"height:200px\">text</div></body></html>"));
    QSignalSpy menus(rec.pane.get(), &WebPane::contextMenuRequested);
    QWidget* surface = rec.pane->focusProxy();
    ASSERT_NE(surface, nullptr);

    QTest::mouseClick(surface, Qt::RightButton, {}, QPoint(20, 20));
    ASSERT_TRUE(waitUntil([&] { return menus.count() == 1; }));
    EXPECT_EQ(menus.at(0).at(0).toString(), "open://7");
    EXPECT_EQ(menus.at(0).at(1).toPoint(), rec.pane->mapToGlobal(QPoint(20, 20)));

    QTest::mouseClick(surface, Qt::RightButton, {}, QPoint(20, 120));
    ASSERT_TRUE(waitUntil([&] { return menus.count() == 2; }));
    EXPECT_EQ(menus.at(1).at(0).toString(), "");
    // A right-click is no navigation.
    EXPECT_TRUE(rec.seen.isEmpty());
}

}  // namespace
}  // namespace qarvel::web::test

namespace qarvel::web::test {
namespace {

TEST(WebPane, HookMayNavigateItsOwnPaneAndReplaceItself) {
    // As the catalogue does: a play-request link turns into an episode link
    // that the same pane's hook handles, and the handler may be swapped meanwhile.
    auto pane = std::make_unique<WebPane>();
    QStringList seen;
    WebPane* p = pane.get();
    p->setNavigationHook([&seen, p](const QString& a) {
        seen << a;
        if (a.startsWith("zuvovod://")) {
            // Replaces the function that is running right now.
            p->setNavigationHook([&seen](const QString& b) {
                seen << "second:" + b;
                return true;
            });
            p->navigate("zvqvod://qvod&&&%u4E2D&&&t&&&n&&&1&&&0&&&0");
            seen << "first still running:" + a;
        }
        return true;
    });
    p->navigate("zuvovod://1-0-0-x");
    p->navigate("open://2");
    EXPECT_EQ(seen, (QStringList{"zuvovod://1-0-0-x", "second:zvqvod://qvod&&&%u4E2D&&&t&&&n&&&1&&&0&&&0",
                                 "first still running:zuvovod://1-0-0-x", "second:open://2"}));
}

TEST(WebPane, NewWindowsAreReportedWithTheirAddressAndNeverOpened) {
    LoopbackServer server;
    server.http().Get("/box/", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(
            "<html><body><a id='blank' href='/box/elsewhere.htm' target='_blank'>x</a>"
            "<a id='named' href='/box/named.htm' target='other'>y</a></body></html>",
            "text/html");
    });
    server.http().Get("/box/elsewhere.htm", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<html><body>elsewhere</body></html>", "text/html");
    });
    server.start();
    RecordingPane rec;
    QSignalSpy asked(rec.pane.get(), &WebPane::newWindowRequested);
    ASSERT_TRUE(navigateAndWait(rec.pane.get(), server.url("/box/")));
    const auto visibleWindows = [] {
        int n = 0;
        for (const QWidget* w : QApplication::topLevelWidgets()) n += w->isVisible() ? 1 : 0;
        return n;
    };
    const int topLevel = visibleWindows();

    runScript(rec.pane.get(), "document.getElementById('blank').click()");
    ASSERT_TRUE(waitUntil([&] { return asked.count() == 1; }));
    EXPECT_EQ(asked.at(0).at(0).toString(), server.url("/box/elsewhere.htm"));
    runScript(rec.pane.get(), "document.getElementById('named').click()");
    runScript(rec.pane.get(), "window.open('" + server.url("/box/opened.htm") + "'); true");
    ASSERT_TRUE(waitUntil([&] { return asked.count() == 3; }));
    EXPECT_EQ(asked.at(1).at(0).toString(), server.url("/box/named.htm"));
    EXPECT_EQ(asked.at(2).at(0).toString(), server.url("/box/opened.htm"));

    // The pane itself stays where it was and no window of ours appeared.
    runEventsFor(200);
    EXPECT_EQ(rec.pane->url().toString(), server.url("/box/"));
    EXPECT_EQ(visibleWindows(), topLevel);
}

}  // namespace
}  // namespace qarvel::web::test

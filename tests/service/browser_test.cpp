// The service's pages run in a real browser engine: the episode list starts and
// marks episodes by itself, and the web player goes to the sentinel at the end.
#include "common/build_config.h"
#include "service/demo_service.h"
#include "common/js_escape.h"
#include "service_test_support.h"
#include "support/wait_until.h"

#include <QApplication>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

#include <gtest/gtest.h>

#include <memory>

namespace qarvel::service {
namespace {

// Catches what the client's panes intercept: clicks on links in the program's
// schemes (kept, not followed) and navigations to the sentinel.
class RecordingPage : public QWebEnginePage {
public:
    explicit RecordingPage(QWebEngineProfile* profile) : QWebEnginePage(profile) {
        QWebEngineScript catcher;
        catcher.setInjectionPoint(QWebEngineScript::DocumentCreation);
        catcher.setWorldId(QWebEngineScript::MainWorld);
        catcher.setSourceCode(
            "window.__clicks=[];document.addEventListener('click',function(e){"
            "var a=e.target.closest&&e.target.closest('a');if(!a)return;var h=a.getAttribute('href')||'';"
            "if(h.indexOf('zvqvod://')>=0||h.indexOf('zuvovod://')>=0){window.__clicks.push(h);e.preventDefault();}"
            "},true);");
        scripts().insert(catcher);
        settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    }
    QStringList navigations;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override {
        if (isMainFrame && url.host() == QLatin1String(config::kSentinelHost)) {
            navigations << url.toString();
            return false;
        }
        return true;
    }
};

class ServiceBrowser : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --autoplay-policy=no-user-gesture-required");
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        static int argc = 1;
        static char name[] = "service_browser_tests";
        static char* argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
        service_ = new DemoService(Options{"127.0.0.1", 0, test::mediaDir()});
        ASSERT_TRUE(service_->start()) << service_->errorText();
    }
    static void TearDownTestSuite() {
        delete service_;
        service_ = nullptr;
    }
    void SetUp() override {
        profile_ = std::make_unique<QWebEngineProfile>();
        page_ = std::make_unique<RecordingPage>(profile_.get());
    }
    void TearDown() override {
        page_.reset();
        profile_.reset();
    }

    bool load(const std::string& path) {
        QEventLoop loop;
        bool ok = false;
        QObject::connect(page_.get(), &QWebEnginePage::loadFinished, &loop, [&](bool done) {
            ok = done;
            loop.quit();
        });
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        page_->load(QUrl(QString::fromStdString(service_->baseUrl() + path)));
        loop.exec();
        return ok;
    }
    QVariant evaluate(const QString& script) {
        QEventLoop loop;
        QVariant result;
        page_->runJavaScript(script, [&](const QVariant& v) {
            result = v;
            loop.quit();
        });
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
        return result;
    }
    QJsonObject state() {
        return QJsonDocument::fromJson(
                   evaluate("JSON.stringify({clicks:window.__clicks,"
                            "ly0:getComputedStyle(document.getElementById('ly0')).display,"
                            "ly1:getComputedStyle(document.getElementById('ly1')).display,"
                            "marked:Array.from(document.querySelectorAll('.cur')).map(function(e){return e.id;})})")
                       .toString()
                       .toUtf8())
            .object();
    }

    static QApplication* app_;
    static DemoService* service_;
    std::unique_ptr<QWebEngineProfile> profile_;
    std::unique_ptr<RecordingPage> page_;
};
QApplication* ServiceBrowser::app_ = nullptr;
DemoService* ServiceBrowser::service_ = nullptr;

TEST_F(ServiceBrowser, EpisodeListStartsTheEpisodeOfItsStartKey) {
    // The title travels escaped; the URL class re-escapes its "%u" on the way.
    ASSERT_TRUE(load("pp.htm?1001-0-3-" + codec::jsEscape("星河往事") + "-04"));
    const QJsonObject s = state();
    const QString c04 = evaluate("document.getElementById('c04').getAttribute('href')").toString();
    ASSERT_TRUE(c04.endsWith("&&&1001&&&0&&&4&&&n&&&1")) << c04.toStdString();
    EXPECT_EQ(s["clicks"].toVariant().toStringList(), QStringList{c04});
    EXPECT_NE(s["ly0"].toString(), "none");
    EXPECT_EQ(s["ly1"].toString(), "none");
    EXPECT_EQ(s["marked"].toVariant().toStringList(), QStringList{"c03"});
}

TEST_F(ServiceBrowser, EpisodeListWithStartKeyZeroStartsNothing) {
    ASSERT_TRUE(load("pp.htm?1001-1-11-x-0"));
    const QJsonObject s = state();
    EXPECT_TRUE(s["clicks"].toArray().isEmpty());
    EXPECT_EQ(s["ly0"].toString(), "none");
    EXPECT_NE(s["ly1"].toString(), "none");
    EXPECT_EQ(s["marked"].toVariant().toStringList(), QStringList{"c111"});
    evaluate("document.querySelector('.tab').click()");  // the first source's tab
    EXPECT_NE(state()["ly0"].toString(), "none");
    evaluate("document.getElementById('c05').click()");  // a user's click on an episode
    EXPECT_EQ(state()["clicks"].toArray().size(), 1);
}

TEST_F(ServiceBrowser, WebPlayerGoesToTheSentinelWhenTheVideoEnds) {
    const std::string address = service_->baseUrl() + "media/haidi-01.webm";
    ASSERT_TRUE(load("play.htm?html5$$$" + codec::jsEscape(address)));
    // Playing 8 s of film at 16 times the speed keeps the test short.
    qarvel::test::waitUntil(
        [&] {
            evaluate("var v=document.getElementById('v');if(v){v.playbackRate=16;if(v.paused)v.play();}");
            return !page_->navigations.isEmpty();
        },
        20000, 100);
    EXPECT_EQ(page_->navigations, QStringList{QString::fromLatin1(config::kSentinelUrl)});
}

}  // namespace
}  // namespace qarvel::service

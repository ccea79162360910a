// The demo service's own pages in a pane: their play links reach the hook as
// written, including the click the episode list makes by script at load.
#include "web_test_support.h"

#include "service/demo_service.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qarvel::web::test {
namespace {

class WebDemoPages : public ::testing::Test {
protected:
    void SetUp() override {
        // Stand-ins for the clips: the pages list an episode only when its file exists.
        for (const std::string& name : service.missingMedia()) {
            QFile clip(media.filePath(QString::fromStdString(name)));
            ASSERT_TRUE(clip.open(QIODevice::WriteOnly));
            clip.write("clip");
        }
        ASSERT_TRUE(service.missingMedia().empty());
        ASSERT_TRUE(service.start()) << service.errorText();
        base = QString::fromStdString(service.baseUrl());
    }
    QString attribute(const QString& selector) {
        return runScript(
                   rec.pane.get(),
                   QString("(function(){var e=document.querySelector(\"%1\");return e?e.getAttribute('href'):'';})()")
                       .arg(selector))
            .toString();
    }

    QTemporaryDir media;
    service::DemoService service{service::Options{"127.0.0.1", 0, media.path().toStdString()}};
    QString base;
    RecordingPane rec;
};

TEST_F(WebDemoPages, CataloguePlayLinkReachesTheHookAsWritten) {
    ASSERT_TRUE(navigateAndWait(rec.pane.get(), base));
    rec.seen.clear();
    const QString link = attribute("a[href^='zuvovod://']");
    ASSERT_FALSE(link.isEmpty());
    runScript(rec.pane.get(), "document.querySelector(\"a[href^='zuvovod://']\").click()");
    ASSERT_TRUE(waitUntil([&] { return !rec.seen.isEmpty(); }));
    EXPECT_EQ(rec.seen, QStringList{link});
    EXPECT_EQ(rec.pane->url(), QUrl(base));
}

TEST_F(WebDemoPages, EpisodeListStartsItsEpisodeThroughTheHook) {
    rec.cancel = [](const QString& a) { return a.startsWith("zvqvod://"); };
    ASSERT_TRUE(navigateAndWait(rec.pane.get(), base + "pp.htm?1001-0-3-%u661F%u6CB3-04"));
    ASSERT_TRUE(waitUntil([&] { return rec.seen.size() >= 2; })) << rec.seen.join(" | ").toStdString();
    const QString c04 = attribute("#c04");
    ASSERT_TRUE(c04.startsWith("zvqvod://")) << c04.toStdString();
    EXPECT_EQ(rec.seen.at(1), c04);
    EXPECT_EQ(rec.seen.size(), 2);
}

}  // namespace
}  // namespace qarvel::web::test

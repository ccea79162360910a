// Skipping a series' opening and ending in the real program on the demo
// service: marks set while episode 1 plays take episode 2 past its opening
// and on to episode 3 at its ending.
#include "program_harness.h"

#include "playback/player_menu.h"

#include <QAction>

using namespace playtest;

TEST(SeriesSkip, MarkedOpeningAndEndingAreSkippedInTheNextEpisode) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    Program p(service.baseUrl(), {{"s_h", "2"}, {"s_bo", "2"}});
    ASSERT_TRUE(p.started);
    ASSERT_TRUE(p.catalogueShown());
    auto episodeIs = [&](int episode) {
        const auto& key = p.session().episode();
        return key && key->id == 1005 && key->episode == episode;
    };
    auto item = [&](const char* name) { return p.application->parts().playerMenu->item(QString::fromLatin1(name)); };
    ASSERT_TRUE(item("q_pt") && item("q_pw") && item("q_tg"));
    EXPECT_TRUE(item("q_tg")->isChecked());

    // Episode 1 (12 s): the opening card ends at 4 s, the ending card starts at 8 s.
    ASSERT_TRUE(p.clickEpisode(1005, QStringLiteral("第01集")));
    ASSERT_TRUE(waitUntil([&] { return p.playing() && episodeIs(0); }));
    p.player().setPosition(4);
    item("q_pt")->trigger();
    p.player().setPosition(8);
    item("q_pw")->trigger();
    EXPECT_EQ(readGbk(p.files().seriesMarks), "1005|4|8\r\n");

    // Episode 2 follows by itself and starts after its opening: ahead of the
    // time it has played.
    ASSERT_TRUE(waitUntil([&] { return p.playing() && episodeIs(1); }, 30000));
    QElapsedTimer played;
    played.start();
    bool ahead = false;
    ASSERT_TRUE(waitUntil([&] {
        ahead = ahead || p.player().position() >= played.elapsed() / 1000 + 2;
        return p.player().position() >= 4;
    }));
    EXPECT_TRUE(ahead) << "position " << p.player().position() << " after " << played.elapsed() << " ms";

    // At 8 s it goes to its end (12 s) at once, and episode 3 starts.
    ASSERT_TRUE(waitUntil([&] { return p.player().position() >= 11 || !episodeIs(1); }));
    EXPECT_LT(played.elapsed(), 9000);
    ASSERT_TRUE(waitUntil([&] { return p.playing() && episodeIs(2); }, 30000));

    // Switching it off is kept in the settings.
    item("q_tg")->trigger();
    EXPECT_EQ(qarvel::ReadSetting(p.files().settings, "S_q", "s_tiao", "0"), "1");
}

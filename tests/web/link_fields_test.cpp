// Cutting the program's links and reading the play request's answer.
#include "web/link_fields.h"
#include "web/play_answer.h"

#include <gtest/gtest.h>

namespace qarvel::web {
namespace {

TEST(LinkCutting, SchemeRemovedEverywhereThenOneTrailingSlash) {
    EXPECT_EQ(cutScheme("open://12//", kOpenScheme), "12/");
    EXPECT_EQ(cutScheme("xopen://1open://2", kOpenScheme), "x12");
    EXPECT_EQ(cutScheme("", kOpenScheme), "");
}

TEST(LinkCutting, NumbersThatDoNotConvertAreZero) {
    EXPECT_EQ(linkNumber(" 42 "), 42);
    EXPECT_EQ(linkNumber("-3"), -3);
    EXPECT_EQ(linkNumber("12abc"), 0);
    EXPECT_EQ(linkNumber("99999999999999999999"), 0);  // past 32 bits
    EXPECT_EQ(linkNumber("2147483648"), 0);
    EXPECT_EQ(linkNumber(""), 0);
    EXPECT_EQ(linkNumber(QString(QChar(0)) + "1"), 0);
}

TEST(LinkCutting, PlayRequestTitleEndsAtItsFirstDash) {
    const PlayRequestLink link = cutPlayRequestLink("zuvovod://17-1-3-%u4E2D-x-y/");
    EXPECT_EQ(link.id, 17);
    EXPECT_EQ(link.v, "1");
    EXPECT_EQ(link.v1, "3");
    EXPECT_EQ(link.title, "%u4E2D");

    const PlayRequestLink bare = cutPlayRequestLink("zuvovod://abc");
    EXPECT_EQ(bare.idText, "abc");
    EXPECT_EQ(bare.id, 0);
    EXPECT_TRUE(bare.v.isEmpty() && bare.v1.isEmpty() && bare.title.isEmpty());
}

TEST(LinkCutting, EpisodeFieldsWithAndWithoutListFlag) {
    const EpisodeLink full = cutEpisodeLink("zvqvod://qvod&&&qvod%3A//a&&&T&&&N&&&5&&&1&&&2&&&n&&&1/");
    EXPECT_EQ(full.kind, "qvod");
    EXPECT_EQ(full.address, "qvod%3A//a");
    EXPECT_EQ(full.title, "T");
    EXPECT_EQ(full.name, "N");
    EXPECT_EQ(full.id, 5);
    EXPECT_EQ(full.ly, 1);
    EXPECT_EQ(full.did, 2);
    EXPECT_EQ(full.listFlag, "n");

    const EpisodeLink seven = cutEpisodeLink("zvqvod://web&&&A&&&T&&&N&&&5&&&x&&&2");
    EXPECT_EQ(seven.ly, 0);
    EXPECT_EQ(seven.did, 2);
    EXPECT_TRUE(seven.listFlag.isEmpty());

    const EpisodeLink none = cutEpisodeLink("zvqvod://");
    EXPECT_TRUE(none.kind.isEmpty() && none.address.isEmpty() && none.idText.isEmpty());
}

TEST(LinkCutting, ChannelAndLineNumbers) {
    EXPECT_EQ(cutChannelLink("zvtvs://cctv-1/"), "cctv-1/");
    EXPECT_EQ(cutOpenLink("open://3/"), 3);
    EXPECT_EQ(cutOpenLink("open://3"), 3);
    EXPECT_EQ(cutOpenLink("open://x"), 0);
    EXPECT_EQ(cutDeleteLink("delk://1/2/"), 12);
    EXPECT_EQ(cutDeleteLink("delk://99999999999"), 0);
}

TEST(LinkCutting, EpisodeLinkFromAnAnswerEscapesOnlyTheAddress) {
    EXPECT_EQ(episodeLinkText("qvod", "qvod://1|ab|名.mp4|", "T%20", "第1集", 7, "0", "2"),
              "zvqvod://qvod&&&qvod%3A//1%7Cab%7C%u540D.mp4%7C&&&T%20&&&第1集&&&7&&&0&&&2");
}

TEST(PlayAnswerReading, TheFourForms) {
    using K = PlayAnswer::Kind;
    EXPECT_EQ(classifyPlayAnswer("1").kind, K::Refused);
    EXPECT_EQ(classifyPlayAnswer("0").kind, K::Nothing);
    EXPECT_EQ(classifyPlayAnswer(" 00 ").kind, K::Nothing);
    EXPECT_EQ(classifyPlayAnswer("0.0").kind, K::Nothing);
    EXPECT_EQ(classifyPlayAnswer("").kind, K::Failed);
    EXPECT_EQ(classifyPlayAnswer("<html>oops</html>").kind, K::Unusable);
    EXPECT_EQ(classifyPlayAnswer("2").kind, K::Unusable);
    EXPECT_TRUE(classifyPlayAnswer("1").isFailure());
    EXPECT_FALSE(classifyPlayAnswer("garbage").isFailure());
}

TEST(PlayAnswerReading, PiecesOfAFoundAnswer) {
    const PlayAnswer many = classifyPlayAnswer("第1集$qvod://1|h|a.mp4|$qvod$x$y$z$w$v$u$t");
    EXPECT_EQ(many.kind, PlayAnswer::Kind::Found);
    EXPECT_EQ(many.name, "第1集");
    EXPECT_EQ(many.address, "qvod://1|h|a.mp4|");
    EXPECT_EQ(many.playerKind, "qvod");

    const PlayAnswer one = classifyPlayAnswer("name$");
    EXPECT_EQ(one.kind, PlayAnswer::Kind::Found);
    EXPECT_EQ(one.name, "name");
    EXPECT_TRUE(one.address.isEmpty() && one.playerKind.isEmpty());
}

TEST(PlayAnswerReading, RequestAddress) {
    EXPECT_EQ(playRequestAddress("http://h/box/", 12, "0", "3"), "http://h/box/h.asp?id=12&v=0&v1=3");
}

}  // namespace
}  // namespace qarvel::web

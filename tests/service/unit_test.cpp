// Pure parts of the demo service: escaping, digests, ranges, play answers,
// queries, link texts, the catalogue and the clips the build made.
#include "service/byte_range.h"
#include "service/catalogue.h"
#include "common/js_escape.h"
#include "service/pages.h"
#include "service/play_exchange.h"
#include "common/request_head.h"
#include "service/sha1.h"
#include "service_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>

namespace qarvel::service {
namespace {

using test::cutLink;

TEST(ServiceEscape, WritesWhatABrowserEscapeWrites) {
    EXPECT_EQ(codec::jsEscape("星河往事"), "%u661F%u6CB3%u5F80%u4E8B");
    EXPECT_EQ(codec::jsEscape("AZaz09@*_+-./"), "AZaz09@*_+-./");
    EXPECT_EQ(codec::jsEscape(" \"%&|é\x7F"), "%20%22%25%26%7C%E9%7F");
    EXPECT_EQ(codec::jsEscape("qvod://12|ab|x.mp4|"), "qvod%3A//12%7Cab%7Cx.mp4%7C");
    EXPECT_EQ(codec::jsEscape("\xF0\x9F\x98\x80"), "%uD83D%uDE00");  // outside the BMP: two UTF-16 units
    EXPECT_EQ(codec::jsEscape("\xFF"), "%uFFFD");                    // not UTF-8
}

TEST(ServiceEscape, UnescapeReversesEscapeAndKeepsBrokenSequences) {
    for (const std::string text : {"星河往事", "侠客行-风云再起", "a b%c|d", "\xF0\x9F\x98\x80", "第01集"})
        EXPECT_EQ(codec::jsUnescape(codec::jsEscape(text)), text);
    EXPECT_EQ(codec::jsUnescape("%41%u0042%u661f"), "AB星");
    EXPECT_EQ(codec::jsUnescape("%zz%u12%4"), "%zz%u12%4");
    EXPECT_EQ(codec::jsUnescape("%uD800x"), "\xEF\xBF\xBDx");  // an unpaired surrogate
}

TEST(ServiceRequestHead, HandsOnWholeLinesAndRenamesTheRangeField) {
    const RequestLimits limits;
    RequestHead head(limits);
    const std::string request = "GET /a HTTP/1.1\r\nrange: bytes=1-2\r\nQarvel-Range: bytes=3-4\r\nHost: x\r\n\r\nBODY";
    std::string out;
    size_t pos = 0;
    // Delivered in two pieces that cut a line in half.
    EXPECT_EQ(head.take(std::string_view(request).substr(0, 20), pos, out), RequestHead::State::Reading);
    EXPECT_EQ(out, "GET /a HTTP/1.1\r\n");
    const std::string_view rest = std::string_view(request).substr(20);
    pos = 0;
    EXPECT_EQ(head.take(rest, pos, out), RequestHead::State::Complete);
    EXPECT_EQ(out, "GET /a HTTP/1.1\r\nQarvel-Range: bytes=1-2\r\nHost: x\r\n\r\n");
    EXPECT_EQ(rest.substr(pos), "BODY");  // the body is left for the library
    head.restart();
    out.clear();
    pos = 0;
    EXPECT_EQ(head.take("Range: x\n\n", pos, out), RequestHead::State::Complete);
    EXPECT_EQ(out, "Range: x\n\n");  // a request line is never renamed
}

TEST(ServiceRequestHead, StopsAtTheLimits) {
    RequestLimits limits;
    limits.headBytes = 40;
    limits.headerCount = 2;
    RequestHead head(limits);
    std::string out;
    size_t pos = 0;
    EXPECT_EQ(head.take("GET / HTTP/1.1\nA: 1\nB: 2\n\n", pos, out), RequestHead::State::Complete);
    head.restart();
    pos = 0;
    const std::string three = "GET / HTTP/1.1\nA: 1\nB: 2\nC: 3\n\n";
    EXPECT_EQ(head.take(three, pos, out), RequestHead::State::TooManyFields);
    EXPECT_EQ(pos, three.size() - 1);  // nothing after the refused line is taken
    head.restart();
    pos = 0;
    const std::string wide = "GET / HTTP/1.1\nA: " + std::string(30, 'a') + "\n\n";
    EXPECT_EQ(head.take(wide, pos, out), RequestHead::State::TooLarge);
    EXPECT_EQ(pos, 41u);
}

TEST(ServiceSha1, MatchesKnownDigestsWholeOrInPieces) {
    EXPECT_EQ(sha1Hex(""), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    EXPECT_EQ(sha1Hex("abc"), "a9993e364706816aba3e25717850c26c9cd0d89d");
    const std::string twoBlocks = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    EXPECT_EQ(sha1Hex(twoBlocks), "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
    Sha1 pieces;
    const std::string million(1000000, 'a');
    for (size_t at = 0; at < million.size(); at += 999) pieces.update(std::string_view(million).substr(at, 999));
    EXPECT_EQ(pieces.hexDigest(), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
}

TEST(ServiceByteRange, ResolvesAgainstTheSize) {
    using K = ByteRange::Kind;
    struct Case {
        const char* header;
        K kind;
        std::uint64_t first, last;
    } cases[] = {
        {"", K::Whole, 0, 0},
        {"bytes=0-99", K::Part, 0, 99},
        {"bytes=100-", K::Part, 100, 999},
        {"bytes=-10", K::Part, 990, 999},
        {"bytes=-5000", K::Part, 0, 999},
        {"bytes=500-99999", K::Part, 500, 999},  // the end is cut to the size
        {"bytes=999-999", K::Part, 999, 999},
        {"bytes=1000-", K::Unsatisfiable, 0, 0},
        {"bytes=-0", K::Unsatisfiable, 0, 0},
        {"bytes=0-1,5-6", K::Whole, 0, 0},  // several ranges: the whole body instead
        {"bytes=9-3", K::Whole, 0, 0},
        {"items=0-1", K::Whole, 0, 0},
        {"bytes=x-1", K::Whole, 0, 0},
    };
    for (const Case& c : cases) {
        const ByteRange r = resolveByteRange(c.header, 1000);
        EXPECT_EQ(r.kind, c.kind) << c.header;
        if (c.kind == K::Part) {
            EXPECT_EQ(r.first, c.first) << c.header;
            EXPECT_EQ(r.last, c.last) << c.header;
        }
    }
    EXPECT_EQ(resolveByteRange("bytes=0-", 0).kind, K::Unsatisfiable);
}

// A media folder with small stand-ins for the clips of the catalogue.
class ServicePlayExchange : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / ("qarvel-service-test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        for (const std::string& clip : Catalogue::demo().clips()) std::ofstream(dir_ / clip) << "clip " << clip;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
};

TEST_F(ServicePlayExchange, AnswersInTheThreeForms) {
    const MediaLibrary media(dir_.string());
    const Catalogue& cat = Catalogue::demo();
    const std::string base = "http://127.0.0.1:1/box/";
    const std::string content = "clip xinghe-04.mp4";
    const TextAnswer found = answerPlayRequest(cat, media, "1001", "0", "3", base);
    EXPECT_EQ(found.body,
              "第04集$qvod://" + std::to_string(content.size()) + "|" + sha1Hex(content) + "|xinghe-04.mp4|$qvod");
    EXPECT_EQ(answerPlayRequest(cat, media, "1001", "1", "11", base).body.rfind("第12集$qvod://", 0), 0u);
    EXPECT_EQ(answerPlayRequest(cat, media, "1001", "0", "12", base).body, "0");  // announced, not out yet
    EXPECT_EQ(answerPlayRequest(cat, media, "1001", "0", "13", base).body, "1");  // past the last episode
    EXPECT_EQ(answerPlayRequest(cat, media, "1001", "1", "12", base).body, "1");
    EXPECT_EQ(answerPlayRequest(cat, media, "1001", "2", "0", base).body, "1");  // no such source
    EXPECT_EQ(answerPlayRequest(cat, media, "4242", "0", "0", base).body, "1");  // no such film
    EXPECT_EQ(answerPlayRequest(cat, media, "1001", "0", "-1", base).body, "1");
    EXPECT_EQ(answerPlayRequest(cat, media, "1004", "0", "1", base).body,
              "第02集$http://127.0.0.1:1/box/media/haidi-02.webm$html5");
    const std::tuple<const char*, const char*, const char*> malformed[] = {
        {"x", "0", "0"}, {"1001", "", "0"}, {"1001", "0", "1e3"}};
    for (const auto& [id, v, v1] : malformed)
        EXPECT_EQ(answerPlayRequest(cat, media, id, v, v1, base).status, 400) << id << v << v1;
    std::filesystem::remove(dir_ / "xinghe-05.mp4");
    EXPECT_EQ(answerPlayRequest(cat, media, "1001", "0", "4", base).body, "0");  // clip missing: nothing now
}

TEST(ServiceQueries, EpisodeListTakesTheLastFieldAsStartKey) {
    auto q = parseEpisodeListQuery("1002-0-1-%u4FA0%u5BA2%u884C-%u98CE%u4E91-02");
    ASSERT_TRUE(q);
    EXPECT_EQ(q->id, 1002);
    EXPECT_EQ(q->source, 0);
    EXPECT_EQ(q->episode, 1);
    EXPECT_EQ(q->startKey, "02");
    q = parseEpisodeListQuery("1001-x-y-t-013");
    ASSERT_TRUE(q);
    EXPECT_EQ(q->source, 0);
    EXPECT_EQ(q->episode, 0);
    EXPECT_EQ(q->startKey, "013");
    EXPECT_EQ(parseEpisodeListQuery("1001-0-3-t-0')+alert(1)+('")->startKey, "0");  // only digits reach the page
    EXPECT_EQ(parseEpisodeListQuery("1001-0-3")->startKey, "0");
    EXPECT_FALSE(parseEpisodeListQuery("abc-0-0-t-0"));
    EXPECT_FALSE(parseEpisodeListQuery(""));
}

TEST(ServiceQueries, WebPlayerAcceptsOnlyWebAddresses) {
    auto q = parseWebPlayerQuery("html5$$$http%3A//127.0.0.1%3A80/box/media/haidi-01.webm");
    ASSERT_TRUE(q);
    EXPECT_EQ(q->kind, "html5");
    EXPECT_EQ(q->address, "http://127.0.0.1:80/box/media/haidi-01.webm");
    // "%" re-escaped as "%25" on the way (a URL class that does not know "%u").
    EXPECT_EQ(parseWebPlayerQuery("html5$$$http%253A//h/%25u661F.webm")->address, "http://h/星.webm");
    EXPECT_FALSE(parseWebPlayerQuery("html5$$$javascript%3Aalert%281%29"));
    EXPECT_FALSE(parseWebPlayerQuery("html5$$$http%3A//h/%0Aa"));
    EXPECT_FALSE(parseWebPlayerQuery("html5http%3A//h/a"));
}

TEST(ServiceLinks, CutByTheClientsRulesGiveTheirFields) {
    const Series* film = Catalogue::demo().findSeries(1002);
    ASSERT_NE(film, nullptr);
    const auto play = cutLink(playRequestLink(*film, 0, 2), "zuvovod://", "-");
    ASSERT_GE(play.size(), 4u);
    EXPECT_EQ(play[0], "1002");
    EXPECT_EQ(play[1], "0");
    EXPECT_EQ(play[2], "2");
    EXPECT_EQ(codec::jsUnescape(play[3]), "侠客行");  // a title holding "-" is cut at its first "-"

    const auto fields = cutLink(episodeListLink(*film, 0, 2, "qvod://9|ab|xiake-03.mp4|"), "zvqvod://", "&&&");
    const std::vector<std::string> expected = {"qvod",
                                               "qvod%3A//9%7Cab%7Cxiake-03.mp4%7C",
                                               codec::jsEscape("侠客行-风云再起"),
                                               codec::jsEscape("第03集"),
                                               "1002",
                                               "0",
                                               "2",
                                               "n",
                                               "1"};
    EXPECT_EQ(fields, expected);
    EXPECT_EQ(episodeElementId(1, 12), "c112");
}

TEST(ServiceCatalogue, DemoHoldsTheSeriesTheClientNeeds) {
    const Catalogue& cat = Catalogue::demo();
    std::set<int> ids;
    bool longTwoSources = false, dashedTitle = false, film = false, webKind = false, announced = false;
    for (const Series& s : cat.series()) {
        EXPECT_TRUE(ids.insert(s.id).second) << "duplicate id " << s.id;
        longTwoSources |= s.sources.size() >= 2 && s.episodeCount() >= 12;
        dashedTitle |= s.title.find('-') != std::string::npos;
        film |= s.episodeCount() == 1;
        webKind |= s.kind != "qvod";
        for (const Source& src : s.sources)
            for (const Episode& e : src.episodes) announced |= !e.available();
    }
    EXPECT_GE(cat.series().size(), 4u);
    EXPECT_TRUE(longTwoSources && dashedTitle && film && webKind && announced);
    EXPECT_FALSE(cat.channels().empty());
    EXPECT_EQ(cat.findSeries(1), nullptr);
}

// The index of every clip must come before its media data, so playback can start early.
TEST(ServiceCatalogue, BuiltMediaHoldsEveryClipWithItsIndexFirst) {
    for (const std::string& clip : Catalogue::demo().clips()) {
        const std::string bytes = test::readFile(test::mediaDir() + "/" + clip);
        ASSERT_GT(bytes.size(), 10000u) << clip;
        if (clip.ends_with(".mp4")) {
            const size_t moov = bytes.find("moov"), mdat = bytes.find("mdat");
            ASSERT_NE(moov, std::string::npos) << clip;
            EXPECT_LT(moov, mdat) << clip;
        } else {
            const size_t cues = bytes.find("\x1C\x53\xBB\x6B"), cluster = bytes.find("\x1F\x43\xB6\x75");
            ASSERT_NE(cues, std::string::npos) << clip;
            EXPECT_LT(cues, cluster) << clip;
        }
    }
}

TEST(ServicePages, EscapeMarkupAndKeepPostersAscii) {
    EXPECT_EQ(pages::htmlEscape("<a href=\"x\">&'"), "&lt;a href=&quot;x&quot;&gt;&amp;&#39;");
    for (const Series& s : Catalogue::demo().series()) {
        const std::string svg = pages::posterSvg(s);
        for (const char c : svg) ASSERT_LT(static_cast<unsigned char>(c), 0x80) << s.id;
        if (s.id == 1001) {
            EXPECT_NE(svg.find("&#x661F;&#x6CB3;"), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace qarvel::service

// The demo service over HTTP on loopback: answer forms, page properties,
// text files, pings, range serving and the refusal of bad requests.
#include "common/build_config.h"
#include "common/gbk.h"
#include "service/demo_service.h"
#include "common/js_escape.h"
#include "service/sha1.h"
#include "service_test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <regex>

namespace qarvel::service {
namespace {

using namespace test;

class ServiceHttp : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        service_ = std::make_unique<DemoService>(controlledOptions());
        ASSERT_TRUE(service_->start()) << service_->errorText();
    }
    static void TearDownTestSuite() { service_.reset(); }
    void SetUp() override { service_->reset(); }

    static int port() { return service_->port(); }
    static Fetched box(const std::string& path, const httplib::Headers& headers = {}) {
        return get(port(), config::kBasePath + path, headers);
    }
    static std::string text(const Fetched& f) { return codec::gbkToUtf8(f.body); }
    static std::string answer(int id, int v, int v1) {
        return text(box("h.asp?id=" + std::to_string(id) + "&v=" + std::to_string(v) + "&v1=" + std::to_string(v1)));
    }
    static std::unique_ptr<DemoService> service_;
};
std::unique_ptr<DemoService> ServiceHttp::service_;

TEST_F(ServiceHttp, BasePageIsGbkHtmlWithAPlayLinkForEveryEpisode) {
    EXPECT_EQ(service_->baseUrl(), "http://127.0.0.1:" + std::to_string(port()) + "/box/");
    const Fetched home = box("");
    ASSERT_EQ(home.status, 200);
    EXPECT_EQ(home.header("Content-Type"), "text/html; charset=gbk");
    EXPECT_NE(home.body.find(codec::utf8ToGbk("星河往事")), std::string::npos);
    EXPECT_EQ(home.body.find("星河往事"), std::string::npos);  // not UTF-8
    const auto links = hrefs(home.body, "zuvovod://");
    EXPECT_EQ(links.size(), 13u + 12u + 3u + 1u + 3u + 3u);
    for (const std::string& link : links) {
        const auto f = cutLink(link, "zuvovod://", "-");
        ASSERT_GE(f.size(), 4u) << link;
        const std::string a = answer(std::stoi(f[0]), std::stoi(f[1]), std::stoi(f[2]));
        EXPECT_TRUE(a == "0" || split(a, "$").size() == 3) << link << " -> " << a;
    }
    for (const int id : {1001, 1002, 1003, 1004, 1005}) {
        const Fetched poster = box("img/" + std::to_string(id) + ".svg");
        EXPECT_EQ(poster.status, 200);
        EXPECT_EQ(poster.header("Content-Type"), "image/svg+xml");
        EXPECT_NE(home.body.find("img/" + std::to_string(id) + ".svg"), std::string::npos);
    }
    const Fetched redirect = get(port(), "/");
    EXPECT_EQ(redirect.status, 302);
    EXPECT_EQ(redirect.header("Location"), config::kBasePath);
}

TEST_F(ServiceHttp, PlayAddressesLeadToTheirMedia) {
    const auto qvod = split(answer(1001, 0, 3), "$");
    ASSERT_EQ(qvod.size(), 3u);
    EXPECT_EQ(qvod[0], "第04集");
    EXPECT_EQ(qvod[2], "qvod");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(qvod[1], m, std::regex(R"(qvod://(\d+)\|([0-9a-f]{40})\|([\w.-]+)\|)"))) << qvod[1];
    const Fetched seed = box("seed/" + m[2].str() + "/" + m[3].str());
    ASSERT_EQ(seed.status, 200);
    EXPECT_EQ(seed.body.size(), std::stoul(m[1]));
    EXPECT_EQ(sha1Hex(seed.body), m[2].str());
    EXPECT_EQ(seed.header("Content-Type"), "video/mp4");
    EXPECT_EQ(box("seed/" + std::string(40, 'a') + "/" + m[3].str()).status, 404);  // wrong digest

    const auto web = split(answer(1004, 0, 0), "$");
    ASSERT_EQ(web.size(), 3u);
    EXPECT_EQ(web[2], "html5");
    ASSERT_EQ(web[1].rfind(service_->baseUrl(), 0), 0u) << web[1];
    const Fetched clip = box(web[1].substr(service_->baseUrl().size()));
    EXPECT_EQ(clip.status, 200);
    EXPECT_EQ(clip.header("Content-Type"), "video/webm");

    EXPECT_EQ(answer(1001, 0, 12), "0");
    EXPECT_EQ(answer(1001, 0, 13), "1");
    EXPECT_EQ(box("h.asp").status, 400);
}

TEST_F(ServiceHttp, EpisodeListHasTheFivePropertiesInItsMarkup) {
    const Fetched page = box("pp.htm?1001-1-2-%u661F%u6CB3%u5F80%u4E8B-0");
    ASSERT_EQ(page.status, 200);
    const std::string html = text(page);
    const auto links = hrefs(html, "zvqvod://");
    ASSERT_EQ(links.size(), 12u + 12u);  // the announced 13th episode has no link
    for (const std::string& link : links) {
        const auto f = cutLink(link, "zvqvod://", "&&&");
        ASSERT_EQ(f.size(), 9u) << link;
        const auto a = split(answer(1001, std::stoi(f[5]), std::stoi(f[6])), "$");
        ASSERT_EQ(a.size(), 3u);
        EXPECT_EQ(f[0], a[2]);
        EXPECT_EQ(codec::jsUnescape(f[1]), a[1]);
        EXPECT_EQ(codec::jsUnescape(f[2]), "星河往事");
        EXPECT_EQ(codec::jsUnescape(f[3]), a[0]);
        EXPECT_EQ(f[4], "1001");
        EXPECT_EQ(f[7], "n");
        EXPECT_EQ(f[8], "1");
        const std::string id = "c" + f[5] + f[6];
        EXPECT_NE(html.find("<a id=\"" + id + "\"" + (id == "c12" ? " class=\"cur\"" : "") + " href="),
                  std::string::npos)
            << id;
    }
    EXPECT_NE(html.find("<ul id=\"ly1\">"), std::string::npos);  // source 1 open
    EXPECT_NE(html.find("<ul id=\"ly0\" style=\"display:none\">"), std::string::npos);
    EXPECT_NE(html.find("var cll='0';"), std::string::npos);
    for (const char* outside : {"src=", "<link", "@import", "url("}) EXPECT_EQ(html.find(outside), std::string::npos);

    EXPECT_NE(text(box("pp.htm?1001-0-3-x-04")).find("var cll='04';"), std::string::npos);
    EXPECT_EQ(box("pp.htm?abc").status, 400);
    EXPECT_EQ(box("pp.htm?4242-0-0-x-0").status, 404);
    EXPECT_NE(text(box("pp.htm?1001-0-0-x-0%27;alert(1);//")).find("var cll='0';"), std::string::npos);
}

TEST_F(ServiceHttp, WebPlayerPagePlaysTheAddressAndEndsAtTheSentinel) {
    const std::string address = service_->baseUrl() + "media/haidi-01.webm";
    const std::string html = text(box("play.htm?html5$$$" + codec::jsEscape(address)));
    EXPECT_NE(html.find("<video id=\"v\" src=\"" + address + "\""), std::string::npos);
    EXPECT_NE(html.find(std::string("location.href='") + config::kSentinelUrl + "'"), std::string::npos);
    EXPECT_EQ(box("play.htm?html5$$$javascript%3Aalert%281%29").status, 400);
    EXPECT_EQ(box("play.htm?nothing").status, 400);
    const std::string quoted = text(box("play.htm?html5$$$http%3A//h/%22%3E%3Cscript%3E"));
    EXPECT_EQ(quoted.find("\"><script>"), std::string::npos);
    EXPECT_NE(quoted.find("http://h/&quot;&gt;&lt;script&gt;"), std::string::npos);
}

TEST_F(ServiceHttp, LiveTvPagesListAndPlayChannels) {
    const auto channels = hrefs(text(box("tv/list.htm")), "zvtvs://");
    ASSERT_EQ(channels.size(), 3u);
    for (const std::string& link : channels) {
        const std::string key = link.substr(8);
        for (const std::string& query : {key, key + "/"}) {
            const std::string page = text(box("tv/zuvotv.htm?" + query));
            EXPECT_NE(page.find("src=\"/box/media/tv-" + key + ".webm\" autoplay loop"), std::string::npos) << query;
        }
        EXPECT_EQ(box("media/tv-" + key + ".webm").status, 200);
    }
    EXPECT_EQ(box("tv/zuvotv.htm?nothing").status, 404);
    EXPECT_EQ(box("tv/ad.htm").status, 200);
}

TEST_F(ServiceHttp, AdvertisementAndSidePagesAndInstaller) {
    EXPECT_NE(box("js/ads/qvodad.html").body.find("width:450px;height:260px"), std::string::npos);
    EXPECT_NE(box("js/ads/bo.html").body.find("width:468px;height:60px"), std::string::npos);
    for (const char* page : {"js/ads/jingcai.html", "js/ads/tui.html", "tj/tj.asp?id=1"}) {
        const Fetched f = box(page);
        EXPECT_EQ(f.status, 200) << page;
        EXPECT_EQ(f.header("Content-Type"), "text/html; charset=gbk") << page;
    }
    const Fetched installer = box("update/update.exe");
    EXPECT_EQ(installer.status, 200);
    EXPECT_EQ(installer.header("Content-Type"), "application/octet-stream");
    EXPECT_LT(installer.body.size(), 4096u);
    EXPECT_GT(installer.body.size(), 0u);
}

TEST_F(ServiceHttp, TextFilesHaveTheirFormatsAndCanBeReplaced) {
    const Fetched wen = box("lib/wen.txt");
    EXPECT_EQ(wen.header("Content-Type"), "text/plain; charset=gbk");
    const auto sections = split(wen.body, "====");
    ASSERT_EQ(sections.size(), 6u);
    EXPECT_EQ(sections[5], "1.0");
    for (const std::string& item : split(text(box("lib/gun.txt")), "$$$")) {
        const auto parts = split(item, "||");
        ASSERT_EQ(parts.size(), 2u) << item;
        EXPECT_TRUE(parts[1] == "*" || parts[1].rfind(service_->baseUrl(), 0) == 0) << item;
    }
    const auto tan = split(box("lib/tan.txt").body, "||");
    ASSERT_EQ(tan.size(), 4u);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(std::regex_match(tan[i], std::regex(R"(\d+)"))) << tan[i];
    for (const std::string& page : split(tan[3], "$$$")) EXPECT_EQ(page.rfind("http://", 0), 0u) << page;

    ASSERT_TRUE(service_->setTextFile("lib/gun.txt", "新的通知||*"));
    EXPECT_EQ(box("lib/gun.txt").body, codec::utf8ToGbk("新的通知||*"));
    EXPECT_EQ(post(port(), "/control/text?name=lib/wen.txt", "0====0====0====0====0====2.0\r\n").status, 200);
    EXPECT_EQ(box("lib/wen.txt").body, "0====0====0====0====0====2.0\r\n");
    EXPECT_EQ(get(port(), "/control/text?name=lib/wen.txt").body, "0====0====0====0====0====2.0\r\n");
    EXPECT_FALSE(service_->setTextFile("lib/other.txt", "x"));
    EXPECT_EQ(post(port(), "/control/text?name=h.asp", "x").status, 400);
    service_->reset();
    EXPECT_EQ(box("lib/wen.txt").body, wen.body);
    EXPECT_EQ(service_->textFile("lib/wen.txt"), "0====1====1====1====1====1.0");
}

TEST_F(ServiceHttp, PingsAreCountedPerIdentifier) {
    for (int i = 0; i < 3; ++i) box("tj/tj.asp?id=00-1A-2B-3C-4D-5E");
    box("tj/tj.asp?id=other");
    EXPECT_EQ(service_->pingCount("00-1A-2B-3C-4D-5E"), 3);
    EXPECT_EQ(service_->pingCount("other"), 1);
    EXPECT_EQ(service_->pingCounts().size(), 2u);
    EXPECT_EQ(get(port(), "/control/pings?id=00-1A-2B-3C-4D-5E").body, "3\n");
    EXPECT_EQ(service_->requestCount("tj/tj.asp"), 4);
    EXPECT_EQ(post(port(), "/control/reset").status, 200);
    EXPECT_EQ(service_->pingCount("other"), 0);
}

TEST_F(ServiceHttp, RangeRequestsAnswerExactlyThoseBytes) {
    const std::string file = readFile(mediaDir() + "/haidi-01.webm");
    const std::string size = std::to_string(file.size());
    struct Case {
        std::string range;
        size_t first, last;
    } cases[] = {{"bytes=100-199", 100, 199},
                 {"bytes=-50", file.size() - 50, file.size() - 1},
                 {"bytes=" + std::to_string(file.size() - 10) + "-", file.size() - 10, file.size() - 1},
                 {"bytes=1000-99999999", 1000, file.size() - 1}};
    for (const Case& c : cases) {
        const Fetched f = box("media/haidi-01.webm", {{"Range", c.range}});
        EXPECT_EQ(f.status, 206) << c.range;
        EXPECT_EQ(f.header("Content-Range"),
                  "bytes " + std::to_string(c.first) + "-" + std::to_string(c.last) + "/" + size)
            << c.range;
        EXPECT_EQ(f.body, file.substr(c.first, c.last - c.first + 1)) << c.range;
    }
    const Fetched beyond = box("media/haidi-01.webm", {{"Range", "bytes=" + size + "-"}});
    EXPECT_EQ(beyond.status, 416);
    EXPECT_EQ(beyond.header("Content-Range"), "bytes */" + size);
    // Several ranges, other units, reversed or overflowing bounds are ignored.
    for (const char* ignored : {"bytes=0-1,5-6", "items=0-1", "bytes=5-2", "bytes=abc", "bytes=18446744073709551616-",
                                "bytes=0-18446744073709551616", "bytes=-18446744073709551616"}) {
        const Fetched whole = box("media/haidi-01.webm", {{"Range", ignored}});
        EXPECT_EQ(whole.status, 200) << ignored;
        EXPECT_EQ(whole.body, file) << ignored;
        EXPECT_EQ(whole.header("Accept-Ranges"), "bytes") << ignored;
        EXPECT_EQ(whole.header("Content-Range"), "") << ignored;
    }
    const Fetched huge = box("media/haidi-01.webm", {{"Range", "bytes=18446744073709551615-"}});
    EXPECT_EQ(huge.status, 416);
    EXPECT_EQ(huge.header("Content-Range"), "bytes */" + size);

    const std::string head =
        rawExchange(port(), "HEAD /box/media/haidi-01.webm HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(statusOf(head), 200);
    EXPECT_NE(head.find("Content-Length: " + size + "\r\n"), std::string::npos);
    EXPECT_EQ(head.substr(head.find("\r\n\r\n") + 4), "");
}

TEST_F(ServiceHttp, PathsCannotLeaveTheMediaFolder) {
    for (const char* path : {"/box/media/../../../../etc/passwd", "/box/media/%2e%2e/%2E%2E/etc/passwd",
                             "/box/seed/0/..%2f..%2fetc%2fpasswd", "/box/./lib/wen.txt", "/box/media/..\\x"}) {
        const std::string reply =
            rawExchange(port(), std::string("GET ") + path + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
        EXPECT_EQ(statusOf(reply), 400) << path;
        EXPECT_EQ(reply.find("root:"), std::string::npos) << path;
    }
    for (const char* path : {"media/.hidden", "media/", "media", "seed", "seed/abc", "img/1001.png", "nothing.htm"})
        EXPECT_EQ(box(path).status, 404) << path;
}

TEST_F(ServiceHttp, BadRequestsGetClientErrors) {
    EXPECT_EQ(statusOf(rawExchange(port(), "HELLO\r\n\r\n")), 400);
    const std::string longTarget = "/box/h.asp?id=" + std::string(10000, '1');
    EXPECT_EQ(statusOf(rawExchange(port(), "GET " + longTarget + " HTTP/1.1\r\nHost: x\r\n\r\n")), 414);
    EXPECT_EQ(post(port(), "/control/text?name=lib/gun.txt", std::string(2 << 20, 'x')).status, 413);
    EXPECT_EQ(post(port(), "/control/fault?endpoint=h.asp&answer=nonsense").status, 400);
    EXPECT_EQ(post(port(), "/control/fault?endpoint=h.asp&answer=status&status=200").status, 400);
    EXPECT_EQ(post(port(), "/control/fault?endpoint=h.asp&delay=-5").status, 400);
    EXPECT_EQ(post(port(), "/control/fault?answer=one").status, 400);
    EXPECT_EQ(get(port(), "/control/fault").status, 404);    // changes are POST only
    EXPECT_EQ(split(answer(1001, 0, 3), "$")[0], "第04集");  // and nothing was switched
}

}  // namespace
}  // namespace qarvel::service

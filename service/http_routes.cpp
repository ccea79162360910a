#include "service/http_routes.h"

#include "common/build_config.h"
#include "service/byte_range.h"
#include "common/request_limits.h"
#include "service/connection_closer.h"
#include "service/pages.h"
#include "service/play_exchange.h"
#include "service/request_fields.h"

#include <chrono>

namespace qarvel::service {
namespace {

const std::string kBasePath = config::kBasePath;

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

bool isLoopback(const std::string& address) {
    return startsWith(address, "127.") || address == "::1" || startsWith(address, "::ffff:127.");
}

// An "Origin" of the service itself: its own address, or a loopback name, with its port.
bool isOwnOrigin(const std::string& origin, const std::string& host, int port) {
    const std::string suffix = ":" + std::to_string(port);
    for (const std::string& name : {std::string("127.0.0.1"), std::string("localhost"), std::string("[::1]"), host})
        if (origin == "http://" + name + suffix) return true;
    return false;
}

const std::string& hugeBody() {
    static const std::string body = [] {
        std::string text = Fault::garbageText();
        const std::string filler = "garbage garbage garbage garbage garbage garbage garbage garbage\r\n";
        while (text.size() < static_cast<size_t>(Fault::kHugeBytes)) text += filler;
        text.resize(static_cast<size_t>(Fault::kHugeBytes));
        return text;
    }();
    return body;
}

// The part of a path after "prefix/" (empty when the path is the prefix alone).
std::string below(const std::string& path, std::string_view prefix) {
    return path.size() > prefix.size() + 1 ? path.substr(prefix.size() + 1) : std::string();
}

std::optional<int> parseInt(const std::string& s) {
    if (s.empty()) return std::nullopt;
    const bool negative = s[0] == '-';
    const auto v = parseIndex(negative ? std::string_view(s).substr(1) : std::string_view(s));
    if (!v) return std::nullopt;
    return negative ? -*v : *v;
}

}  // namespace

HttpRoutes::HttpRoutes(ServiceContext& context, bool controlRoutes) : ctx_(context), controlRoutes_(controlRoutes) {
    auto page = [](std::function<std::string()> build) {
        return [build = std::move(build)](const Request&) { return Reply::gbkPage(build()); };
    };
    const Catalogue& cat = ctx_.catalogue;
    routes_[endpoint::kHome] = [this](const Request& r) { return home(r); };
    routes_[endpoint::kPlayRequest] = [this](const Request& r) { return playRequest(r); };
    routes_[endpoint::kEpisodeList] = [this](const Request& r) { return episodeList(r); };
    routes_[endpoint::kWebPlayer] = [this](const Request& r) { return webPlayer(r); };
    routes_[endpoint::kTvList] = page([&cat] { return pages::tvList(cat); });
    routes_[endpoint::kTvChannel] = [this](const Request& r) { return tvChannel(r); };
    routes_[endpoint::kTvIdle] = page([] { return pages::tvIdle(); });
    routes_[endpoint::kPing] = [this](const Request& r) { return ping(r); };
    routes_[endpoint::kPauseAd] = page([&cat] { return pages::pauseAd(cat); });
    routes_[endpoint::kStopAd] = page([] { return pages::stopAd(); });
    routes_[endpoint::kHighlights] = page([&cat] { return pages::highlights(cat); });
    routes_[endpoint::kRecommend] = page([&cat] { return pages::recommend(cat); });
    for (const std::string& name : TextFiles::names()) routes_[name] = [this](const Request& r) { return textFile(r); };
    routes_[endpoint::kInstaller] = [this](const Request& r) { return installer(r); };
    routes_[endpoint::kSeed] = [this](const Request& r) { return seed(r); };
    routes_[endpoint::kMedia] = [this](const Request& r) { return media(r); };
    routes_[endpoint::kPoster] = [this](const Request& r) { return poster(r); };
}

void HttpRoutes::install(httplib::Server& server) {
    server.set_pre_routing_handler(
        [this](const httplib::Request& req, httplib::Response& res) { return screen(req, res); });
    server.Get("/", [](const httplib::Request&, httplib::Response& res) { res.set_redirect(kBasePath); });
    server.Get(kBasePath.substr(0, kBasePath.size() - 1),
               [](const httplib::Request&, httplib::Response& res) { res.set_redirect(kBasePath); });
    server.Get(kBasePath + ".*", [this](const httplib::Request& req, httplib::Response& res) { serveBox(req, res); });
    if (controlRoutes_) {
        const std::string control = "/control(/.*)?";
        server.Get(control, [this](const httplib::Request& req, httplib::Response& res) { serveControl(req, res); });
        server.Post(control, [this](const httplib::Request& req, httplib::Response& res) { serveControl(req, res); });
    }
    server.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        res.status = 500;
        res.set_content("internal error\n", "text/plain; charset=utf-8");
    });
}

httplib::Server::HandlerResponse HttpRoutes::screen(const httplib::Request& req, httplib::Response& res) {
    if (hasUnsafeSegment(req.path) || hasUnsafeSegment(percentDecode(req.target.substr(0, req.target.find('?'))))) {
        res.status = 400;
        res.set_content("bad path\n", "text/plain; charset=utf-8");
        return httplib::Server::HandlerResponse::Handled;
    }
    return httplib::Server::HandlerResponse::Unhandled;
}

void HttpRoutes::serveBox(const httplib::Request& req, httplib::Response& res) {
    const size_t q = req.target.find('?');
    Request r{req, req.path.substr(kBasePath.size()), q == std::string::npos ? std::string() : req.target.substr(q + 1),
              ctx_.baseForHost(req.get_header_value("Host"))};
    const std::string key = endpointKey(r.path);
    ctx_.faults.countRequest(key);
    // Files are also counted one by one, so tests can tell which film was read.
    if (key != r.path) ctx_.faults.countRequest(r.path);
    if (key == endpoint::kPing) ctx_.pings.add(queryField(r.query, "id").value_or(std::string()));

    const Fault fault = ctx_.faults.get(key);
    if (fault.delayMs > 0 && !ctx_.stop.waitFor(std::chrono::milliseconds(fault.delayMs))) {
        res.status = 503;
        return;
    }
    Reply reply;
    if (fault.answer != Fault::Answer::Normal) {
        reply = faultAnswer(fault, req);
    } else {
        const auto route = routes_.find(key);
        reply = route == routes_.end() ? Reply::gbkPage(pages::message("找不到页面", "这个地址没有内容。"), 404)
                                       : route->second(r);
    }
    if (fault.answer == Fault::Answer::Close && shutDownConnection(req.local_port, req.remote_addr, req.remote_port)) {
        res.status = 500;
        return;
    }
    Fault shaping = fault;
    if (fault.answer == Fault::Answer::Close) shaping.cutAfterBytes = 0;  // no socket found: break off at once
    sendReply(std::move(reply), shaping, res, ctx_.stop);
}

Reply HttpRoutes::faultAnswer(const Fault& fault, const httplib::Request&) {
    switch (fault.answer) {
    case Fault::Answer::Status:
        return Reply::gbkPage(pages::message("服务器错误", "HTTP " + std::to_string(fault.status) + " (demo fault)"),
                              fault.status);
    case Fault::Answer::Zero: return Reply::gbkText("0", "text/plain; charset=gbk");
    case Fault::Answer::One: return Reply::gbkText("1", "text/plain; charset=gbk");
    case Fault::Answer::Garbage: return Reply::gbkText(Fault::garbageText(), "text/plain; charset=gbk");
    case Fault::Answer::Huge: {
        Reply r;
        r.body = hugeBody();
        return r;
    }
    case Fault::Answer::Close:
    case Fault::Answer::Normal: break;
    }
    return Reply::gbkText(Fault::garbageText(), "text/plain; charset=gbk");
}

Reply HttpRoutes::home(const Request&) { return Reply::gbkPage(pages::home(ctx_.catalogue)); }

Reply HttpRoutes::playRequest(const Request& r) {
    const auto field = [&r](const char* name) { return queryField(r.query, name).value_or(std::string()); };
    const TextAnswer answer =
        answerPlayRequest(ctx_.catalogue, ctx_.media, field("id"), field("v"), field("v1"), r.base);
    return Reply::gbkText(answer.body, "text/plain; charset=gbk", answer.status);
}

Reply HttpRoutes::episodeList(const Request& r) {
    const auto query = parseEpisodeListQuery(r.query);
    if (!query) return Reply::gbkPage(pages::message("请求无效", "剧集列表的参数不对。"), 400);
    const Series* series = ctx_.catalogue.findSeries(query->id);
    if (!series) return Reply::gbkPage(pages::message("没有找到影片", "片库里没有这部影片。"), 404);
    const std::string base = r.base;
    const MediaLibrary& media = ctx_.media;
    return Reply::gbkPage(pages::episodeList(*series, *query, [&media, &base](const Series& s, const Episode& e) {
        return playAddress(s, e, media, base);
    }));
}

Reply HttpRoutes::webPlayer(const Request& r) {
    const auto query = parseWebPlayerQuery(r.query);
    if (!query) return Reply::gbkPage(pages::message("无法播放", "播放地址无效。"), 400);
    return Reply::gbkPage(pages::webPlayer(*query, config::kSentinelUrl));
}

Reply HttpRoutes::tvChannel(const Request& r) {
    std::string key = percentDecode(r.query);
    while (!key.empty() && key.back() == '/') key.pop_back();  // a browser may add one to the scheme link
    const Channel* channel = ctx_.catalogue.findChannel(key);
    if (!channel) return Reply::gbkPage(pages::message("没有这个频道", "请从频道列表中选择。"), 404);
    return Reply::gbkPage(pages::tvChannel(*channel, kBasePath + endpoint::kMedia + "/"));
}

Reply HttpRoutes::ping(const Request&) { return Reply::gbkPage(pages::pingAnswer()); }

Reply HttpRoutes::textFile(const Request& r) {
    return Reply::gbkText(ctx_.texts.get(r.path, r.base).value_or(std::string()), "text/plain; charset=gbk");
}

Reply HttpRoutes::installer(const Request&) {
    Reply reply = Reply::gbkText(std::string(config::kProgramName) + " 演示升级包（不是可执行程序）\r\n",
                                 "application/octet-stream");
    reply.headers.emplace_back("Content-Disposition", "attachment; filename=\"update.exe\"");
    return reply;
}

Reply HttpRoutes::seed(const Request& r) {
    // seed/HASH/NAME: the name must be a file of the media folder with that digest.
    const std::string rest = below(r.path, endpoint::kSeed);
    const size_t slash = rest.find('/');
    const auto notFound = [] { return Reply::gbkPage(pages::message("找不到文件", "没有这个种子。"), 404); };
    if (slash == std::string::npos) return notFound();
    const std::string hash = rest.substr(0, slash);
    const std::string name = rest.substr(slash + 1);
    if (!isLowerHex40(hash) || !MediaLibrary::isSafeName(name)) return notFound();
    const auto file = ctx_.media.find(name);
    if (!file || file->sha1 != hash) return notFound();
    return fileReply(r.http, *file);
}

Reply HttpRoutes::media(const Request& r) {
    const std::string name = below(r.path, endpoint::kMedia);
    const auto file = MediaLibrary::isSafeName(name) ? ctx_.media.find(name) : std::nullopt;
    if (!file) return Reply::gbkPage(pages::message("找不到文件", "没有这个文件。"), 404);
    return fileReply(r.http, *file);
}

Reply HttpRoutes::poster(const Request& r) {
    const std::string name = below(r.path, endpoint::kPoster);
    const size_t dot = name.find(".svg");
    const auto id = dot != std::string::npos && dot + 4 == name.size() ? parseIndex(name.substr(0, dot)) : std::nullopt;
    const Series* series = id ? ctx_.catalogue.findSeries(*id) : nullptr;
    if (!series) return Reply::gbkPage(pages::message("找不到图片", "没有这张海报。"), 404);
    Reply reply;
    reply.contentType = "image/svg+xml";
    reply.body = pages::posterSvg(*series);
    return reply;
}

Reply HttpRoutes::fileReply(const httplib::Request& http, const MediaFile& file) {
    Reply reply;
    reply.contentType = MediaLibrary::contentType(file.name);
    reply.headers.emplace_back("Accept-Ranges", "bytes");
    const ByteRange range = resolveByteRange(http.get_header_value(kRangeHeader), file.size);
    if (range.kind == ByteRange::Kind::Unsatisfiable) {
        reply.status = 416;
        reply.contentType = "text/plain; charset=utf-8";
        reply.headers.emplace_back("Content-Range", "bytes */" + std::to_string(file.size));
        return reply;
    }
    reply.file = OpenFile::open(file.path);
    if (!reply.file) return Reply::gbkPage(pages::message("找不到文件", "文件无法读取。"), 404);
    if (range.kind == ByteRange::Kind::Part) {
        reply.status = 206;
        reply.headers.emplace_back("Content-Range", "bytes " + std::to_string(range.first) + "-" +
                                                        std::to_string(range.last) + "/" + std::to_string(file.size));
        reply.fileOffset = range.first;
        reply.fileLength = range.length();
    } else {
        reply.fileLength = file.size;
    }
    return reply;
}

void HttpRoutes::serveControl(const httplib::Request& req, httplib::Response& res) {
    Reply reply;
    const bool post = req.method == "POST";
    const std::string& path = req.path;
    const auto param = [&req](const char* name) -> std::optional<std::string> {
        if (!req.has_param(name)) return std::nullopt;
        return req.get_param_value(name);
    };
    if (!isLoopback(req.remote_addr)) {
        reply = Reply::utf8Text("the control interface answers loopback clients only\n", 403);
    } else if (req.has_header("Origin") && !isOwnOrigin(req.get_header_value("Origin"), ctx_.host, ctx_.port)) {
        // A page of another site, sent on by a browser.
        reply = Reply::utf8Text("the control interface refuses requests from web pages of other sites\n", 403);
    } else if (path == "/control" || path == "/control/") {
        reply = Reply::utf8Text(
            "POST /control/fault?endpoint=E&answer=normal|status|zero|one|garbage|huge|close"
            "&status=N&delay=MS&cut=BYTES&rate=BYTES_PER_SECOND\n"
            "POST /control/clear?endpoint=E\nPOST /control/reset\n"
            "GET  /control/pings[?id=ID]\nGET  /control/requests?endpoint=E\n"
            "GET|POST /control/text?name=lib/wen.txt|lib/gun.txt|lib/tan.txt (POST body: UTF-8 text)\n"
            "Endpoints are paths under the base path without the query; the base page is the empty endpoint; "
            "\"seed\", \"media\" and \"img\" cover everything under them.\n"
            "POST requests need a Content-Length, even for an empty body (curl -d '').\n");
    } else if (path == "/control/fault" && post) {
        reply = controlFault(req);
    } else if (path == "/control/clear" && post) {
        const auto key = param("endpoint");
        if (key) ctx_.faults.clear(*key);
        reply = key ? Reply::utf8Text("ok\n") : Reply::utf8Text("endpoint missing\n", 400);
    } else if (path == "/control/reset" && post) {
        ctx_.reset();
        reply = Reply::utf8Text("ok\n");
    } else if (path == "/control/pings" && !post) {
        if (const auto id = param("id")) {
            reply = Reply::utf8Text(std::to_string(ctx_.pings.count(*id)) + "\n");
        } else {
            std::string lines;
            for (const auto& [id, count] : ctx_.pings.all()) lines += id + "\t" + std::to_string(count) + "\n";
            reply = Reply::utf8Text(lines);
        }
    } else if (path == "/control/requests" && !post) {
        const auto key = param("endpoint");
        reply = key ? Reply::utf8Text(std::to_string(ctx_.faults.requestCount(*key)) + "\n")
                    : Reply::utf8Text("endpoint missing\n", 400);
    } else if (path == "/control/text") {
        const std::string name = param("name").value_or(std::string());
        if (!TextFiles::isKnown(name)) reply = Reply::utf8Text("unknown text file\n", 400);
        else if (post)
            reply = ctx_.texts.set(name, req.body) ? Reply::utf8Text("ok\n") : Reply::utf8Text("refused\n", 400);
        else reply = Reply::utf8Text(ctx_.texts.get(name, ctx_.base()).value_or(std::string()));
    } else {
        reply = Reply::utf8Text("unknown control request\n", 404);
    }
    sendReply(std::move(reply), Fault(), res, ctx_.stop);
}

Reply HttpRoutes::controlFault(const httplib::Request& req) {
    if (!req.has_param("endpoint")) return Reply::utf8Text("endpoint missing\n", 400);
    Fault fault;
    const auto number = [&req](const char* name, auto& into) {
        if (!req.has_param(name)) return true;
        const auto v = parseInt(req.get_param_value(name));
        if (!v) return false;
        into = *v;
        return true;
    };
    if (req.has_param("answer")) {
        const auto answer = answerFromName(req.get_param_value("answer"));
        if (!answer) return Reply::utf8Text("unknown answer\n", 400);
        fault.answer = *answer;
    }
    if (!number("status", fault.status) || !number("delay", fault.delayMs) || !number("cut", fault.cutAfterBytes) ||
        !number("rate", fault.bytesPerSecond))
        return Reply::utf8Text("a number is wrong\n", 400);
    if (!isValidFault(fault)) return Reply::utf8Text("fault values out of range\n", 400);
    ctx_.faults.set(req.get_param_value("endpoint"), fault);
    return Reply::utf8Text("ok\n");
}

}  // namespace qarvel::service

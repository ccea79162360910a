#include "service/pages.h"

#include "common/build_config.h"
#include "common/utf8.h"

#include <cstdio>

namespace qarvel::service::pages {
namespace {

const std::string kBase = config::kBasePath;

std::string head(const std::string& title, const std::string& style) {
    return "<!DOCTYPE html>\n<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">"
           "<title>" +
           htmlEscape(title) + "</title><style>" + style + "</style></head>\n";
}

// Starts the video element "v"; where sound may not start by itself, it plays
// muted rather than not at all.
const std::string kAutoplay =
    "var v=document.getElementById('v');"
    "var p=v.play();if(p&&p.catch){p.catch(function(){v.muted=true;v.play();});}\n";

std::string posterPath(const Series& s) { return kBase + "img/" + std::to_string(s.id) + ".svg"; }

std::string seriesMeta(const Series& s) {
    const int n = s.episodeCount();
    return s.year + " · " + s.genre + " · " + (n > 1 ? "共" + std::to_string(n) + "集" : std::string("电影"));
}

}  // namespace

std::string htmlEscape(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string home(const Catalogue& catalogue) {
    std::string page =
        head(std::string(config::kProgramName) + " · 演示片库",
             "body{margin:0;background:#f2f2f2;color:#222;font:13px/1.6 sans-serif}"
             ".top{background:#1e2a3a;color:#fff;padding:8px 14px;font-size:15px}"
             ".top small{color:#9ab;margin-left:10px;font-size:12px}"
             ".film{display:flex;gap:14px;background:#fff;margin:10px;padding:10px;border:1px solid #ddd}"
             ".film img{width:120px;height:160px;flex:none}"
             ".film h2{margin:0;font-size:17px}.meta{color:#888;margin:2px 0}"
             ".line{margin:4px 0}.line b{display:inline-block;width:64px;color:#555}"
             ".line a{display:inline-block;min-width:52px;margin:2px 4px 2px 0;padding:1px 6px;"
             "border:1px solid #cbd;color:#124;text-decoration:none;text-align:center}"
             ".line a:hover{background:#e6eefc}.line a.soon{color:#aaa;border-style:dashed}");
    page += "<body><div class=\"top\">演示片库<small>本地演示服务 · 点击集数即可播放</small></div>\n";
    for (const Series& s : catalogue.series()) {
        page += "<div class=\"film\" id=\"film" + std::to_string(s.id) + "\"><img src=\"img/" + std::to_string(s.id) +
                ".svg\" alt=\"" + htmlEscape(s.title) + "\"><div>";
        page += "<h2>" + htmlEscape(s.title) + "</h2><p class=\"meta\">" + htmlEscape(seriesMeta(s)) + "</p><p>" +
                htmlEscape(s.summary) + "</p>\n";
        for (size_t t = 0; t < s.sources.size(); ++t) {
            const Source& src = s.sources[t];
            page += "<div class=\"line\"><b>" + htmlEscape(src.name) + "</b>";
            for (size_t w = 0; w < src.episodes.size(); ++w) {
                const Episode& e = src.episodes[w];
                page += "<a href=\"" + htmlEscape(playRequestLink(s, static_cast<int>(t), static_cast<int>(w))) + "\"";
                page +=
                    e.available() ? ">" + htmlEscape(e.name) : " class=\"soon\">" + htmlEscape(e.name) + " 即将上线";
                page += "</a>";
            }
            page += "</div>\n";
        }
        page += "</div></div>\n";
    }
    page += "</body></html>\n";
    return page;
}

std::string episodeList(const Series& series, const EpisodeListQuery& query, const AddressOf& addressOf) {
    const int shown = query.source < static_cast<int>(series.sources.size()) ? query.source : 0;
    std::string page = head(series.title,
                            "body{margin:0;background:#1b1b1b;color:#ccc;font:12px/1.6 sans-serif}"
                            ".t{padding:6px 8px;color:#fff;font-size:14px;border-bottom:1px solid #333}"
                            ".tabs{padding:4px 6px}.tab{display:inline-block;padding:1px 8px;margin-right:4px;"
                            "cursor:pointer;border:1px solid #444;color:#aaa}.tab.on{background:#335;color:#fff}"
                            "ul{list-style:none;margin:0;padding:4px 6px}li{margin:1px 0}"
                            "li a{color:#9cf;text-decoration:none;display:block;padding:1px 6px}"
                            "li a:hover{background:#2a2a3a}li .cur{background:#353560;color:#fff}"
                            "li span{display:block;padding:1px 6px;color:#666}");
    page += "<body><div class=\"t\">" + htmlEscape(series.title) + "</div>\n<div class=\"tabs\">";
    for (size_t t = 0; t < series.sources.size(); ++t) {
        page += "<span class=\"tab" + std::string(static_cast<int>(t) == shown ? " on" : "") + "\" data-ly=\"" +
                std::to_string(t) + "\" onclick=\"show(" + std::to_string(t) + ")\">" +
                htmlEscape(series.sources[t].name) + "</span>";
    }
    page += "</div>\n";
    for (size_t t = 0; t < series.sources.size(); ++t) {
        const Source& src = series.sources[t];
        page += "<ul id=\"ly" + std::to_string(t) + "\"" +
                (static_cast<int>(t) == shown ? std::string() : std::string(" style=\"display:none\"")) + ">\n";
        for (size_t w = 0; w < src.episodes.size(); ++w) {
            const Episode& e = src.episodes[w];
            const int ti = static_cast<int>(t), wi = static_cast<int>(w);
            const std::string id = episodeElementId(ti, wi);
            const bool marked = ti == shown && wi == query.episode;
            const auto address = addressOf(series, e);
            if (address) {
                page += "<li><a id=\"" + id + "\"" + (marked ? " class=\"cur\"" : "") + " href=\"" +
                        htmlEscape(episodeListLink(series, ti, wi, *address)) + "\">" + htmlEscape(e.name) +
                        "</a></li>\n";
            } else {
                page += "<li><span id=\"" + id + "\"" + (marked ? " class=\"cur\"" : "") + ">" + htmlEscape(e.name) +
                        " 即将上线</span></li>\n";
            }
        }
        page += "</ul>\n";
    }
    // The start key holds digits only (checked when the query was read).
    page +=
        "<script>\n"
        "function show(n){var i=0,l;while((l=document.getElementById('ly'+i))){"
        "l.style.display=i==n?'':'none';i++;}"
        "var tabs=document.getElementsByClassName('tab');"
        "for(i=0;i<tabs.length;i++){tabs[i].className=i==n?'tab on':'tab';}}\n"
        "(function(){var cll='" +
        query.startKey +
        "';if(cll!=='0'){var e=document.getElementById('c'+cll);if(e){e.click();}}})();\n"
        "</script>\n</body></html>\n";
    return page;
}

std::string webPlayer(const WebPlayerQuery& query, const std::string& sentinelUrl) {
    std::string page = head("网页播放器",
                            "html,body{margin:0;height:100%;background:#000;overflow:hidden}"
                            "video{display:block;width:100%;height:100%;background:#000}");
    page += "<body><video id=\"v\" src=\"" + htmlEscape(query.address) +
            "\" autoplay controls playsinline></video>\n<script>\n" + kAutoplay +
            "v.addEventListener('ended',function(){location.href='" + sentinelUrl +
            "';});\n</script>\n</body></html>\n";
    return page;
}

std::string tvList(const Catalogue& catalogue) {
    std::string page = head("电视直播",
                            "body{margin:0;background:#222;color:#ccc;font:13px/1.8 sans-serif}"
                            "h3{margin:0;padding:6px 10px;color:#fff;font-size:14px;border-bottom:1px solid #444}"
                            "a{display:block;padding:2px 12px;color:#9cf;text-decoration:none}"
                            "a:hover{background:#333}");
    page += "<body><h3>电视频道</h3>\n";
    for (const Channel& c : catalogue.channels())
        page += "<a href=\"" + htmlEscape("zvtvs://" + c.key) + "\">" + htmlEscape(c.name) + "</a>\n";
    page += "</body></html>\n";
    return page;
}

std::string tvChannel(const Channel& channel, const std::string& mediaPath) {
    std::string page = head(channel.name,
                            "html,body{margin:0;height:100%;background:#000;overflow:hidden}"
                            "video{display:block;width:100%;height:100%}"
                            ".n{position:absolute;left:8px;top:6px;color:#fff;font:13px sans-serif;"
                            "background:rgba(0,0,0,.5);padding:0 6px}");
    page += "<body><div class=\"n\">" + htmlEscape(channel.name) + " · 直播</div><video id=\"v\" src=\"" +
            htmlEscape(mediaPath + channel.clip) + "\" autoplay loop playsinline></video>\n<script>" + kAutoplay +
            "</script>\n</body></html>\n";
    return page;
}

std::string tvIdle() {
    return head("电视直播",
                "html,body{margin:0;height:100%;background:#111;color:#888;font:14px sans-serif}"
                "div{position:absolute;top:45%;width:100%;text-align:center}") +
           "<body><div>请在右侧选择一个电视频道</div></body></html>\n";
}

std::string pauseAd(const Catalogue& catalogue) {
    std::string page = head("广告",
                            "body{margin:0;background:#000}"
                            ".ad{width:450px;height:260px;box-sizing:border-box;padding:18px;display:flex;gap:16px;"
                            "background:linear-gradient(135deg,#1d3557,#457b9d);color:#fff;font:13px sans-serif}"
                            ".ad img{width:120px;height:160px}.ad h2{margin:0 0 6px;font-size:18px}");
    const Series* s = catalogue.series().empty() ? nullptr : &catalogue.series().front();
    page += "<body><div class=\"ad\">";
    if (s) {
        page += "<img src=\"" + posterPath(*s) + "\" alt=\"\"><div><h2>" + htmlEscape(s->title) + "</h2><p>" +
                htmlEscape(seriesMeta(*s)) + "</p><p>" + htmlEscape(s->summary) + "</p><p>演示广告位 450×260</p></div>";
    }
    page += "</div></body></html>\n";
    return page;
}

std::string stopAd() {
    return head("广告",
                "body{margin:0}.b{width:468px;height:60px;box-sizing:border-box;padding:8px 14px;"
                "background:linear-gradient(90deg,#6a1b9a,#ad1457);color:#fff;font:14px/22px sans-serif}"
                ".b small{display:block;font-size:11px;color:#f8d}") +
           "<body><div class=\"b\">" + htmlEscape(config::kProgramName) +
           " · 海量影视随心看<small>演示广告位 468×60</small></div></body></html>\n";
}

std::string highlights(const Catalogue& catalogue) {
    std::string page = head("精彩推荐",
                            "body{margin:0;background:#fafafa;color:#333;font:13px/1.6 sans-serif}"
                            "h3{margin:0;padding:8px 12px;background:#c62828;color:#fff;font-size:15px}"
                            ".g{display:flex;flex-wrap:wrap;gap:14px;padding:12px}"
                            ".i{width:140px}.i img{width:140px;height:187px;display:block}"
                            ".i b{display:block}.i span{color:#888;font-size:12px}");
    page += "<body><h3>精彩推荐</h3><div class=\"g\">\n";
    for (const Series& s : catalogue.series())
        page += "<div class=\"i\"><img src=\"" + posterPath(s) + "\" alt=\"\"><b>" + htmlEscape(s.title) +
                "</b><span>" + htmlEscape(seriesMeta(s)) + "</span></div>\n";
    page += "</div></body></html>\n";
    return page;
}

std::string recommend(const Catalogue& catalogue) {
    std::string page = head("推荐",
                            "body{margin:0;background:#fff;color:#333;font:12px/1.7 sans-serif}"
                            ".r{width:299px;height:247px;box-sizing:border-box;padding:10px;overflow:hidden}"
                            "h3{margin:0 0 6px;font-size:14px;color:#c62828}"
                            "a{color:#124;text-decoration:none}a:hover{text-decoration:underline}");
    page += "<body><div class=\"r\"><h3>今日推荐</h3>\n";
    for (const Series& s : catalogue.series())
        page += "<div><a href=\"" + kBase + "#film" + std::to_string(s.id) + "\" target=\"_blank\">" +
                htmlEscape(s.title) + "</a> · " + htmlEscape(seriesMeta(s)) + "</div>\n";
    page += "</div></body></html>\n";
    return page;
}

std::string pingAnswer() { return "<html><body>ok</body></html>\n"; }

std::string message(const std::string& title, const std::string& text) {
    return head(title, "body{margin:0;padding:20px;background:#f4f4f4;color:#444;font:14px sans-serif}") +
           "<body><h3>" + htmlEscape(title) + "</h3><p>" + htmlEscape(text) + "</p></body></html>\n";
}

std::string posterSvg(const Series& series) {
    auto ascii = [](std::string_view utf8) {
        std::string out;
        for (const char32_t cp : codec::decodeUtf8(utf8)) {
            if (cp == '&' || cp == '<' || cp == '>' || cp == '"' || cp >= 0x80 || cp < 0x20) {
                char buf[16];
                std::snprintf(buf, sizeof buf, "&#x%X;", static_cast<unsigned>(cp));
                out += buf;
            } else {
                out += static_cast<char>(cp);
            }
        }
        return out;
    };
    const std::u32string title = codec::decodeUtf8(series.title);
    std::string initial;
    if (!title.empty()) codec::appendUtf8(initial, title.front());
    const std::string color = ascii(series.posterColor);
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"240\" height=\"320\" viewBox=\"0 0 240 320\">"
           "<defs><linearGradient id=\"g\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\"><stop offset=\"0\" stop-color=\"" +
           color +
           "\"/><stop offset=\"1\" stop-color=\"#111\"/></linearGradient></defs>"
           "<rect width=\"240\" height=\"320\" fill=\"url(#g)\"/>"
           "<circle cx=\"120\" cy=\"120\" r=\"70\" fill=\"none\" stroke=\"#fff\" stroke-opacity=\".35\" "
           "stroke-width=\"6\"/>"
           "<text x=\"120\" y=\"148\" font-size=\"80\" text-anchor=\"middle\" fill=\"#fff\" "
           "font-family=\"sans-serif\">" +
           ascii(initial) +
           "</text><text x=\"120\" y=\"250\" font-size=\"22\" text-anchor=\"middle\" fill=\"#fff\" "
           "font-family=\"sans-serif\">" +
           ascii(series.title) +
           "</text><text x=\"120\" y=\"282\" font-size=\"14\" text-anchor=\"middle\" fill=\"#ccc\" "
           "font-family=\"sans-serif\">" +
           ascii(series.year + " " + series.genre) + "</text></svg>\n";
}

}  // namespace qarvel::service::pages

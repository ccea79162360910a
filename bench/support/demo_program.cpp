#include "bench/support/demo_program.h"

#include "bench/support/timing.h"
#include "service/catalogue.h"
#include "service/play_exchange.h"
#include "web/web_pane.h"

#include <QJsonDocument>
#include <QWebEnginePage>
#include <cstdio>
#include <optional>

namespace qarvel::bench {

namespace svc = qarvel::service;

bool QuietDesktop::askYesNo(const QString& title, const QString& text) {
    std::fprintf(stderr, "%s: question answered No: %s %s\n", name_, qPrintable(title), qPrintable(text));
    return false;
}

void QuietDesktop::inform(const QString& title, const QString& text) {
    std::fprintf(stderr, "%s: message: %s %s\n", name_, qPrintable(title), qPrintable(text));
}

QString QuietDesktop::pickFolder(const QString&, const QString& title) {
    std::fprintf(stderr, "%s: folder picker cancelled: %s\n", name_, qPrintable(title));
    return {};
}

bool QuietDesktop::openUrl(const QString& address) {
    std::fprintf(stderr, "%s: not opened: %s\n", name_, qPrintable(address));
    return false;
}

bool QuietDesktop::startDetached(const QString& program, const QStringList&) {
    std::fprintf(stderr, "%s: not started: %s\n", name_, qPrintable(program));
    return false;
}

std::vector<EpisodeLink> playableEpisodes(int seriesId) {
    std::vector<EpisodeLink> links;
    const svc::Series* series = svc::Catalogue::demo().findSeries(seriesId);
    if (!series || series->sources.empty()) return links;
    const auto& episodes = series->sources.front().episodes;
    for (size_t w = 0; w < episodes.size(); ++w) {
        if (!episodes[w].available()) continue;
        links.push_back({svc::playRequestLink(*series, 0, int(w)), episodes[w].clip, 0, int(w)});
    }
    return links;
}

QVariant runScript(web::WebPane* pane, const QString& script) {
    std::optional<QVariant> result;
    pane->page()->runJavaScript(script, [&](const QVariant& v) { result = v; });
    waitFor([&] { return result.has_value(); }, 5000);
    return result.value_or(QVariant());
}

QString clickScript(const std::string& href) {
    const QString quoted =
        QString::fromUtf8(
            QJsonDocument::fromVariant(QVariantList{QString::fromStdString(href)}).toJson(QJsonDocument::Compact))
            .mid(1)
            .chopped(1);
    return QStringLiteral(
               "(function(){var e=document.querySelector('a[href=\"'+CSS.escape(%1)+'\"]');"
               "if(!e)return false;e.click();return true;})()")
        .arg(quoted);
}

}  // namespace qarvel::bench

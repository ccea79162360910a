#include "web/first_pages.h"

#include <QTimer>
#include <memory>
#include <utility>
#include <vector>

namespace qarvel::web {

namespace {
constexpr int kOthersAfterMs = 1500;
}  // namespace

QString darkEmptyPage() {
    return QStringLiteral(
        "<html><head><style type=\"text/css\">*{margin:0;padding:0;}"
        "body{overflow:auto;background:#212121;width:100%;}</style></head><body></body></html>");
}

void navigateFirstPages(const PaneSet& panes, const QString& base, const ProgramFiles& files, const QString& userId,
                        std::function<void()> afterCatalogue) {
    // The catalogue is what the viewer looks at first: it loads alone, and
    // the other panes follow once it has loaded (or after kOthersAfterMs,
    // should it hang), in the order the viewer is likely to need them.
    struct Page {
        Pane pane;
        QString address;
    };
    const std::vector<Page> others{
        {Pane::TaskList, files.networkListPage},
        {Pane::LocalList, files.localListPage},
        {Pane::WebPlayer, QStringLiteral("about:blank")},
        {Pane::EpisodeList, QString()},  // the dark empty page, written in place
        {Pane::ChannelList, base + QStringLiteral("tv/list.htm")},
        {Pane::Highlights, base + QStringLiteral("js/ads/jingcai.html")},
        {Pane::StopAd, base + QStringLiteral("js/ads/bo.html")},
        {Pane::PauseAd, base + QStringLiteral("js/ads/qvodad.html")},
        {Pane::LiveTv, base + QStringLiteral("tv/ad.htm")},
        {Pane::UsagePing, base + QStringLiteral("tj/tj.asp?id=") + userId},
    };
    auto loadOthers = [panes, others, afterCatalogue] {
        for (const Page& page : others) {
            WebPane* pane = panes[paneSlot(page.pane)];
            // A pane something else has sent somewhere meanwhile keeps that page.
            if (!pane || pane->wasSent()) continue;
            if (page.address.isEmpty()) {
                pane->navigate(QStringLiteral("about:blank"));
                pane->writeDocument(darkEmptyPage());
            } else {
                pane->navigate(page.address);
            }
        }
        if (afterCatalogue) afterCatalogue();
    };
    WebPane* catalogue = panes[paneSlot(Pane::Catalogue)];
    if (!catalogue) {
        loadOthers();
        return;
    }
    // Whichever comes first, the catalogue's load or the deadline, starts the rest once.
    auto once = std::make_shared<bool>(false);
    auto start = [once, loadOthers] {
        if (std::exchange(*once, true)) return;
        loadOthers();
    };
    QObject::connect(catalogue, &QWebEngineView::loadFinished, catalogue, start, Qt::SingleShotConnection);
    QTimer::singleShot(kOthersAfterMs, catalogue, start);
    catalogue->navigate(base);
}

}  // namespace qarvel::web

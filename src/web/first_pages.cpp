#include "web/first_pages.h"

#include <QTimer>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace qarvel::web {

namespace {
constexpr int kOthersAfterMs = 1500;

using Steps = std::vector<std::function<void()>>;

// Runs one step, and the next in the event loop's next turn while the context lives.
void runInTurns(QObject* context, const std::shared_ptr<const Steps>& steps, size_t next) {
    if (next >= steps->size()) return;
    (*steps)[next]();
    QTimer::singleShot(0, context, [context, steps, next] { runInTurns(context, steps, next + 1); });
}

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
    Steps steps;
    for (const Page& page : others) {
        steps.push_back([pane = panes[paneSlot(page.pane)], page] {
            // A pane something else has sent somewhere meanwhile keeps that page.
            if (!pane || pane->wasSent()) return;
            if (page.address.isEmpty()) {
                pane->navigate(QStringLiteral("about:blank"));
                pane->writeDocument(darkEmptyPage());
            } else {
                pane->navigate(page.address);
            }
        });
    }
    if (afterCatalogue) steps.push_back(std::move(afterCatalogue));
    WebPane* catalogue = panes[paneSlot(Pane::Catalogue)];
    if (!catalogue) {
        for (const auto& step : steps) step();
        return;
    }
    // One pane per event-loop turn, the first after the catalogue's load has
    // been handled: navigating all ten at once holds the event loop for tens
    // of milliseconds, and with it the catalogue's first picture, which the
    // browser engine puts on screen from this thread.
    auto loadOthers = [catalogue, steps = std::make_shared<const Steps>(std::move(steps))] {
        QTimer::singleShot(0, catalogue, [catalogue, steps] { runInTurns(catalogue, steps, 0); });
    };
    // Whichever comes first, the catalogue's load or the deadline, starts the rest once.
    auto once = std::make_shared<bool>(false);
    auto start = [once, loadOthers] {
        if (std::exchange(*once, true)) return;
        loadOthers();
    };
    QObject::connect(catalogue, &QWebEngineView::loadFinished, catalogue, start, Qt::SingleShotConnection);
    QTimer::singleShot(kOthersAfterMs, catalogue, start);
    // A catalogue sent ahead, while the window was built, is on its way.
    if (!catalogue->wasSent()) catalogue->navigate(base);
}

}  // namespace qarvel::web

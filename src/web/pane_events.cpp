#include "web/pane_events.h"

#include "playback/bar_labels.h"
#include "state/main_window_state.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QUrl>
#include <QWidget>

namespace qarvel::web {

PaneEvents::PaneEvents(MainWindowState& state, PaneControls controls, QObject* parent)
    : QObject(parent), state_(state), c_(std::move(controls)) {
    popper_ = [](QMenu* menu, const QPoint& pos) {
        if (menu && !menu->isEmpty()) menu->popup(pos);
    };
    for (int n = Pane::Catalogue; n <= kPaneCount; ++n) {
        WebPane* p = pane(n);
        // The usage-ping pane has no menu rule: nothing to connect.
        if (!p || n == Pane::UsagePing) continue;
        connect(p, &WebPane::contextMenuRequested, this,
                [this, n](const QString& href, const QPoint& pos) { paneContextMenu(n, href, pos); });
    }
    if (WebPane* web1 = pane(Pane::Catalogue)) {
        connect(web1, &WebPane::downloadComplete, this, &PaneEvents::Web1_DownloadComplete);
        connect(web1, &WebPane::navigateError, this, &PaneEvents::Web1_NavigateError);
    }
    if (WebPane* web7 = pane(Pane::PauseAd))
        connect(web7, &WebPane::navigateError, this, &PaneEvents::Web7_NavigateError);
    if (WebPane* web8 = pane(Pane::StopAd))
        connect(web8, &WebPane::navigateError, this, &PaneEvents::Web8_NavigateError);
}

void PaneEvents::setMenuPopper(MenuPopper popper) {
    if (popper) popper_ = std::move(popper);
}

WebPane* PaneEvents::pane(int number) const {
    return number >= Pane::Catalogue && number <= kPaneCount ? c_.panes[paneSlot(Pane(number))] : nullptr;
}

void PaneEvents::popup(QMenu* menu, const QPoint& globalPos) {
    if (menu) popper_(menu, globalPos);
}

bool PaneEvents::isServiceAddress(const QString& address) const {
    // An empty base would match every address.
    if (c_.base.isEmpty()) return false;
    // The engine reports addresses in its own normal form (lower-case host).
    return address.contains(c_.base) || address.contains(QUrl(c_.base).toString());
}

void PaneEvents::Web1_DownloadComplete() {
    if (state_.HomePageFailed == 1 || !c_.Pic1 || !c_.Pic1->isHidden()) return;
    c_.Pic1->show();
    if (c_.wait) c_.wait->hide();
}

void PaneEvents::Web1_NavigateError(const QString& address) {
    if (!isServiceAddress(address)) return;
    if (c_.Pic1) c_.Pic1->hide();
    if (c_.jia && c_.w3) c_.jia->setPixmap(c_.w3->pixmap());
    if (c_.wait) c_.wait->show();
    state_.HomePageFailed = 1;
}

void PaneEvents::jia_Click() {
    state_.HomePageFailed = 0;
    if (WebPane* web1 = pane(Pane::Catalogue)) web1->navigate(c_.base);
}

void PaneEvents::Web7_NavigateError() {
    if (c_.ad_huan) c_.ad_huan->hide();
    if (c_.adp) c_.adp->show();
    state_.PauseAdState = 1;
}

void PaneEvents::Web8_NavigateError() {
    if (c_.bo_pad) c_.bo_pad->hide();
    state_.StopAdState = 1;
}

void PaneEvents::paneContextMenu(int paneNumber, const QString& href, const QPoint& globalPos) {
    switch (paneNumber) {
    case Pane::Catalogue: popup(c_.myMenu, globalPos); break;
    case Pane::TaskList:
        if (href.contains(QLatin1String("open://"))) {
            state_.ContextLink = href;
            popup(c_.webc, globalPos);
        }
        break;
    case Pane::PauseAd:
        if (c_.playerUrl && !c_.playerUrl().isEmpty()) popup(c_.qvod_m, globalPos);
        break;
    default: break;
    }
}

void PaneEvents::gtv_Click() {
    if (c_.gtv) c_.gtv->hide();
    state_.CurrentView = View::Nothing;
    QCoreApplication::processEvents();
    if (WebPane* web10 = pane(Pane::LiveTv)) web10->navigate(c_.base + QStringLiteral("tv/ad.htm"));
}

void PaneEvents::ggx_Click() {
    playback::clearPlayerBar({c_.gunt1, c_.gunt2, c_.huan, c_.bo_name, c_.times, c_.qvod},
                             c_.times ? c_.times->y() : 0);
    if (c_.Pic2) c_.Pic2->hide();
    if (c_.qvod) c_.qvod->show();
    QCoreApplication::processEvents();
    if (WebPane* web2 = pane(Pane::WebPlayer)) web2->navigate(QStringLiteral("about:blank"));
    state_.CurrentView = View::Nothing;
}

}  // namespace qarvel::web

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
        connect(web1, &WebPane::downloadComplete, this, &PaneEvents::onCatalogueLoaded);
        connect(web1, &WebPane::navigateError, this, &PaneEvents::onCatalogueLoadFailed);
    }
    if (WebPane* web7 = pane(Pane::PauseAd))
        connect(web7, &WebPane::navigateError, this, &PaneEvents::onPauseAdLoadFailed);
    if (WebPane* web8 = pane(Pane::StopAd))
        connect(web8, &WebPane::navigateError, this, &PaneEvents::onStopAdLoadFailed);
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

void PaneEvents::onCatalogueLoaded() {
    if (state_.HomePageFailed == 1 || !c_.catalogueFrame || !c_.catalogueFrame->isHidden()) return;
    c_.catalogueFrame->show();
    if (c_.catalogueWaitPanel) c_.catalogueWaitPanel->hide();
}

void PaneEvents::onCatalogueLoadFailed(const QString& address) {
    if (!isServiceAddress(address)) return;
    if (c_.catalogueFrame) c_.catalogueFrame->hide();
    if (c_.catalogueRetryPicture && c_.catalogueErrorPicture)
        c_.catalogueRetryPicture->setPixmap(c_.catalogueErrorPicture->pixmap());
    if (c_.catalogueWaitPanel) c_.catalogueWaitPanel->show();
    state_.HomePageFailed = 1;
}

void PaneEvents::retryCatalogue() {
    state_.HomePageFailed = 0;
    if (WebPane* web1 = pane(Pane::Catalogue)) web1->navigate(c_.base);
}

void PaneEvents::onPauseAdLoadFailed() {
    if (c_.pauseAdFrame) c_.pauseAdFrame->hide();
    if (c_.idlePicture) c_.idlePicture->show();
    state_.PauseAdState = 1;
}

void PaneEvents::onStopAdLoadFailed() {
    if (c_.stopAdFrame) c_.stopAdFrame->hide();
    state_.StopAdState = 1;
}

void PaneEvents::paneContextMenu(int paneNumber, const QString& href, const QPoint& globalPos) {
    switch (paneNumber) {
    case Pane::Catalogue: popup(c_.mainPopupMenu, globalPos); break;
    case Pane::TaskList:
        if (href.contains(QLatin1String("open://"))) {
            state_.ContextLink = href;
            popup(c_.taskMenu, globalPos);
        }
        break;
    case Pane::PauseAd:
        if (c_.playerUrl && !c_.playerUrl().isEmpty()) popup(c_.playerPopupMenu, globalPos);
        break;
    default: break;
    }
}

void PaneEvents::closeLiveTv() {
    if (c_.liveTvCloseButton) c_.liveTvCloseButton->hide();
    state_.CurrentView = View::Nothing;
    QCoreApplication::processEvents();
    if (WebPane* web10 = pane(Pane::LiveTv)) web10->navigate(c_.base + QStringLiteral("tv/ad.htm"));
}

void PaneEvents::closeWebPlayer() {
    playback::clearPlayerBar({c_.seekKnob, c_.playedBar, c_.downloadedBar, c_.filmTitle, c_.timeText, c_.playerArea},
                             c_.timeText ? c_.timeText->y() : 0);
    if (c_.webPlayerFrame) c_.webPlayerFrame->hide();
    if (c_.playerArea) c_.playerArea->show();
    QCoreApplication::processEvents();
    if (WebPane* web2 = pane(Pane::WebPlayer)) web2->navigate(QStringLiteral("about:blank"));
    state_.CurrentView = View::Nothing;
}

}  // namespace qarvel::web

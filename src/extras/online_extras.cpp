#include "extras/online_extras.h"

#include "extras/popup_window.h"
#include "extras/scrolling_notice.h"
#include "extras/side_window.h"
#include "extras/update_check.h"
#include "state/main_window_state.h"

#include <QTimer>

namespace qarvel::extras {

OnlineExtras::OnlineExtras(MainWindowState& state, ExtrasControls controls, ExtrasServices services, QString base)
    : state_(state), c_(controls), s_(std::move(services)), base_(std::move(base)) {
    notice_ = std::make_unique<ScrollingNotice>(state_,
                                                NoticeControls{c_.controlBar, c_.firstNoticeLine, c_.noticeScrollTimer},
                                                NoticeServices{s_.fetcher, s_.shell, s_.resetHoverColours}, base_);
    update_ = std::make_unique<UpdateCheck>(state_,
                                            UpdateServices{.fetcher = s_.fetcher,
                                                           .dialogs = s_.dialogs,
                                                           .shell = s_.shell,
                                                           .updateCheckTimer = *c_.updateCheckTimer,
                                                           .updateProgram = s_.updateProgram,
                                                           .showStopAd = [this] { c_.stopAdFrame->show(); },
                                                           .loadPopup = [this] { loadPopup(); },
                                                           .startNotice = [this] { notice_->startNotice(); },
                                                           .exitProgram = s_.exitProgram},
                                            base_);
    UpdateCheck* update = update_.get();
    QObject::connect(c_.updateCheckTimer, &QTimer::timeout, c_.updateCheckTimer,
                     [update] { update->checkForUpdate(); });
}

OnlineExtras::~OnlineExtras() {
    side_.reset();
    popup_.reset();
    update_.reset();
    notice_.reset();
}

void OnlineExtras::shengji() { update_->shengji(); }

void OnlineExtras::loadPopup() {
    if (popup_) return;
    popup_ = std::make_unique<PopupWindow>(PopupServices{s_.fetcher, s_.shell, s_.screen}, base_);
    // The series is over: the window goes, once its signal has returned.
    QObject::connect(popup_.get(), &PopupWindow::finished, popup_.get(), [this] { popup_.release()->deleteLater(); });
    popup_->Load();
}

bool OnlineExtras::showSideWindowAtExit(std::function<void()> whenClosed) {
    if (state_.SideWindowOnExit != QLatin1String("1")) return false;
    // The pop-up notice goes with the main window.
    popup_.reset();
    side_ = std::make_unique<SideWindow>(s_.shell, base_);
    QObject::connect(side_.get(), &SideWindow::closed, side_.get(), [whenClosed = std::move(whenClosed)] {
        if (whenClosed) whenClosed();
    });
    side_->show();
    return true;
}

}  // namespace qarvel::extras

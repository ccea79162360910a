#include "web/pane_navigator.h"

namespace qarvel::web {

WebPane* PaneSetNavigator::at(int pane) const {
    return pane >= Pane::Catalogue && pane <= kPaneCount ? panes_[paneSlot(Pane(pane))] : nullptr;
}

void PaneSetNavigator::navigate(int pane, const QString& address) {
    if (WebPane* p = at(pane)) p->navigate(address);
}

void PaneSetNavigator::refresh(int pane) {
    if (WebPane* p = at(pane)) p->refresh();
}

}  // namespace qarvel::web

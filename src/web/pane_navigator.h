#pragma once
// Navigating and refreshing the panes by number (a Pane: Web1 … Web11), so
// that the handlers which drive other panes can be tested without browsers.
#include "web/web_pane.h"

#include <QString>

namespace qarvel::web {

class PaneNavigator {
public:
    virtual ~PaneNavigator() = default;
    // Navigate2 of pane n; a program link goes to that pane's own handler.
    virtual void navigate(int pane, const QString& address) = 0;
    virtual void refresh(int pane) = 0;
};

// The window's real panes; a missing pane or number out of range is skipped.
class PaneSetNavigator final : public PaneNavigator {
public:
    explicit PaneSetNavigator(const PaneSet& panes) : panes_(panes) {}
    void navigate(int pane, const QString& address) override;
    void refresh(int pane) override;

private:
    WebPane* at(int pane) const;
    PaneSet panes_;
};

}  // namespace qarvel::web

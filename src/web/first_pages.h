#pragma once
// The first page of every pane when the main window starts.
#include "common/program_files.h"
#include "web/web_pane.h"

#include <QString>
#include <functional>

namespace qarvel::web {

// The empty page on the dark background that Web5 shows until an episode
// list is opened.
QString darkEmptyPage();

// Navigates the panes to their first pages: Web1 the base at once (unless it
// was sent there before); after it has loaded, one per event-loop turn, Web3
// and Web4 the network and local list pages, Web2 about:blank, Web5 the dark
// empty page, Web11 the channel list, Web9, Web8, Web7 the highlights and
// advertisement pages, Web10 the idle TV page, Web6 the usage ping with
// `userId` (unencoded). Missing panes are skipped.
// afterCatalogue: start-up work the catalogue does not need, run once after
// the other panes' first pages.
void navigateFirstPages(const PaneSet& panes, const QString& base, const ProgramFiles& files, const QString& userId,
                        std::function<void()> afterCatalogue = {});

}  // namespace qarvel::web

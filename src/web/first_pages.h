#pragma once
// The first page of every pane when the main window starts.
#include "common/program_files.h"
#include "web/web_pane.h"

#include <QString>

namespace qarvel::web {

// The empty page on the dark background that Web5 shows until an episode
// list is opened.
QString darkEmptyPage();

// Navigates the panes in the start-up order: Web1 the base, Web2 about:blank,
// Web3 and Web4 the network and local list pages, Web5 the dark empty page,
// Web6 the usage ping with `userId` (unencoded), Web8, Web9, Web7 the
// advertisement and highlights pages, Web11 the channel list, Web10 the idle
// TV page. Missing panes are skipped.
void navigateFirstPages(const PaneSet& panes, const QString& base, const ProgramFiles& files, const QString& userId);

}  // namespace qarvel::web

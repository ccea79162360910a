#pragma once
// Which addresses belong to the program rather than to the browser: the five
// link schemes of the program's pages and the end-of-play sentinel. Such an
// address is never loaded; it goes to the pane's navigation hook as written.
#include <QString>
#include <QStringList>

namespace qarvel::web {

// The schemes, compared case-sensitively as the pages write them.
const QStringList& programSchemes();

// True when `address`, without surrounding blanks, starts with a program
// scheme or names the sentinel host anywhere.
bool isProgramAddress(const QString& address);

}  // namespace qarvel::web

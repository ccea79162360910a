#include "web/first_pages.h"

namespace qarvel::web {

QString darkEmptyPage() {
    return QStringLiteral(
        "<html><head><style type=\"text/css\">*{margin:0;padding:0;}"
        "body{overflow:auto;background:#212121;width:100%;}</style></head><body></body></html>");
}

void navigateFirstPages(const PaneSet& panes, const QString& base, const ProgramFiles& files, const QString& userId) {
    auto go = [&panes](int number, const QString& address) {
        if (WebPane* pane = panes[number - 1]) pane->navigate(address);
    };
    go(1, base);
    go(2, QStringLiteral("about:blank"));
    go(3, files.networkListPage);
    go(4, files.localListPage);
    if (WebPane* web5 = panes[4]) {
        web5->navigate(QStringLiteral("about:blank"));
        web5->writeDocument(darkEmptyPage());
    }
    go(6, base + QStringLiteral("tj/tj.asp?id=") + userId);
    go(8, base + QStringLiteral("js/ads/bo.html"));
    go(9, base + QStringLiteral("js/ads/jingcai.html"));
    go(7, base + QStringLiteral("js/ads/qvodad.html"));
    go(11, base + QStringLiteral("tv/list.htm"));
    go(10, base + QStringLiteral("tv/ad.htm"));
}

}  // namespace qarvel::web

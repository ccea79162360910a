// What the service switches on (the scrolling and pop-up notices, the side
// window at the exit) and the update check; a page's new window opens in the
// desktop's browser.
#include "app/application.h"
#include "app/main_window/main_window.h"
#include "app/wiring.h"
#include "dialogs/context_menus.h"
#include "extras/browser_link.h"
#include "extras/online_extras.h"
#include "extras/scrolling_notice.h"
#include "platform/text_fetcher.h"
#include "platform/user_dialogs.h"
#include "web/web_pane.h"
#include "window/window_chrome.h"

#include <QAction>
#include <QCoreApplication>

namespace qarvel {

void wireExtras(Application& app) {
    AppParts& p = app.parts();
    MainWindow& w = *p.window;
    window::MainWindowControls& c = w.controls();
    if (!p.shell) {
        p.ownShell = std::make_unique<platform::DesktopShell>();
        p.shell = p.ownShell.get();
    }
    window::WindowChrome* chrome = p.chrome.get();
    p.extras = std::make_unique<extras::OnlineExtras>(
        w.state(),
        extras::ExtrasControls{c.updateCheckTimer, c.noticeScrollTimer, c.controlBar, c.noticeLines[0], c.stopAdFrame},
        extras::ExtrasServices{.fetcher = *p.fetcher,
                               .dialogs = *p.dialogs,
                               .shell = *p.shell,
                               .updateProgram = app.options().files.folder.isEmpty()
                                                    ? QString()
                                                    : app.options().files.folder + QStringLiteral("/update.exe"),
                               // An accepted update leaves through the program's own exit.
                               .exitProgram =
                                   [application = &app] {
                                       QMetaObject::invokeMethod(
                                           QCoreApplication::instance(), [application] { application->exit(); },
                                           Qt::QueuedConnection);
                                   },
                               .resetHoverColours = [chrome] { chrome->resetHoverColours(); }},
        app.options().serviceBase);
    extras::ScrollingNotice* notice = &p.extras->notice();
    p.chrome->clearNoticeHover = [notice] { notice->clearHover(); };
    // A page's link to a new window opens in the system's browser, never in
    // a window of ours.
    platform::Shell* shell = p.shell;
    for (int n = Pane::Catalogue; n <= kPaneCount; ++n) {
        if (web::WebPane* pane = w.pane(n))
            QObject::connect(pane, &web::WebPane::newWindowRequested, pane,
                             [shell](const QString& address) { extras::openInBrowser(*shell, address); });
    }
    if (p.menus) {
        extras::OnlineExtras* extras = p.extras.get();
        QAction* item = p.menus->updateCheckItem();
        QObject::connect(item, &QAction::triggered, item, [extras] { extras->shengji(); });
    }
}

}  // namespace qarvel

// The window's own parts: its layout, frame, title buttons and skin.
#include "app/application.h"
#include "app/main_window/main_window.h"
#include "app/wiring.h"
#include "engine/player.h"
#include "records/record_store.h"
#include "state/write_failure_notice.h"
#include "window/main_window_layout.h"
#include "window/skin_painter.h"
#include "window/window_buttons.h"
#include "window/window_chrome.h"

#include <QPointer>

namespace qarvel {

void wireWindow(Application& app) {
    AppParts& p = app.parts();
    MainWindow& w = *p.window;
    window::MainWindowControls& c = w.controls();
    MainWindowState& state = w.state();
    window::attachPlayerWidget(c, p.player->videoWidget());
    p.layout = std::make_unique<window::MainWindowLayout>(c, state, w.skin());
    p.chrome = std::make_unique<window::WindowChrome>(c, state, w.skin(), *p.layout, w.settings());
    p.buttons = std::make_unique<window::WindowButtons>(c, state, w.skin(), *p.layout, *p.chrome);
    p.painter = std::make_unique<window::SkinPainter>(c, state, w.skin(), *p.layout, w.settings());
}

void wireWriteFailures(Application& app) {
    AppParts& p = app.parts();
    WriteFailureNotice* notice = p.writeFailures.get();
    p.window->settings().writeFailed = [notice](const QString& what) { notice->failed(WriteKind::Settings, what); };
    p.records->writeFailed = [notice](const QString& path) { notice->failed(WriteKind::Records, path); };
    // Every record write, the link protocol's and the transport's included,
    // reports through the store above; a hook of theirs for a failed record
    // write would be wired here, to notice->failed(WriteKind::Records, …).
    // Failures of the start-up, kept until now, show here. The notice
    // outlives the window: nothing shows once it is gone.
    notice->setShow([window = QPointer<MainWindow>(p.window.get())](const QString& text) {
        if (window) window->tray().ShowTrayBalloon(text);
    });
}

SettingReader settingReader(MainWindow& window) {
    return [settings = &window.settings()](const QString& section, const QString& key, const QString& defaultText) {
        return settings->read(section, key, defaultText);
    };
}

std::function<void(const QString&)> balloonShower(MainWindow& window) {
    return [tray = &window.tray()](const QString& text) { tray->ShowTrayBalloon(text); };
}

web::PaneSet panesOf(const MainWindow& window) {
    web::PaneSet panes{};
    for (int n = Pane::Catalogue; n <= kPaneCount; ++n) panes[paneSlot(Pane(n))] = window.pane(n);
    return panes;
}

}  // namespace qarvel

#pragma once
// The program as main() builds it, in a folder of its own, on the demo
// service, with the few steps the integration tests take in its panes.
#include "app/application.h"
#include "app/main_window/main_window.h"
#include "common/settings_file.h"
#include "common/text_codec.h"
#include "engine/mpv_player.h"
#include "engine/player.h"
#include "platform/desktop_bus.h"
#include "platform/player_component.h"
#include "platform/power_off.h"
#include "platform/user_dialogs.h"
#include "support/recording_shell.h"
#include "service/demo_service.h"
#include "service/fault.h"
#include "state/main_window_state.h"
#include "support/run_script.h"
#include "support/wait_until.h"
#include "web/link_router.h"
#include "web/web_pane.h"
#include "window/window_buttons.h"
#include "window/picture_box.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace svc = qarvel::service;
namespace ep = qarvel::service::endpoint;
using qarvel::engine::PlayState;

namespace playtest {

inline QApplication* app() {
    static int argc = 1;
    static char name[] = "play_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* a = [] {
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        auto* created = new QApplication(argc, argv);
        std::setlocale(LC_NUMERIC, "C");
        return created;
    }();
    return a;
}

// Films and pages on a loaded machine get more patience than the default.
inline bool waitUntil(const std::function<bool()>& done, int ms = 15000) { return qarvel::test::waitUntil(done, ms); }

using qarvel::test::runScript;

// Clicks the first element matching a CSS selector in a pane, as a user's
// click would: the page's own link handling runs.
inline bool clickIn(qarvel::web::WebPane* pane, const QString& selector) {
    return runScript(pane, QStringLiteral("(function(){var e=document.querySelector('%1');"
                                          "if(!e)return false;e.click();return true;})()")
                               .arg(selector))
        .toBool();
}

inline QString bodyText(qarvel::web::WebPane* pane) {
    return runScript(pane, QStringLiteral("document.body ? document.body.innerText : ''")).toString();
}

inline QString readGbk(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? qarvel::fromGbk(f.readAll()) : QString();
}

// Counts what would have switched the computer off.
struct CountingPower : qarvel::platform::PowerOff {
    void ShutDownComputer() override { ++calls; }
    int calls = 0;
};

struct AnsweringDialogs : qarvel::platform::UserDialogs {
    bool askYesNo(const QString& title, const QString& text) override {
        asked << title + u'|' + text;
        return answer;
    }
    void inform(const QString& title, const QString& text) override { informed << title + u'|' + text; }
    // The folder picker answers with pickedFolder (empty: cancelled).
    QString pickFolder(const QString& start, const QString& title) override {
        pickerAsked << start + u'|' + title;
        return pickedFolder;
    }
    QStringList asked;
    bool answer = false;  // No
    QStringList pickerAsked;
    QString pickedFolder;
    // The open-file dialog answers fileToOpen ("" cancels) and notes what it was asked.
    QString chooseFileToOpen(const QString& title, const QString& filter) override {
        openAsked << title + u'|' + filter;
        return fileToOpen;
    }
    QStringList informed;
    QString fileToOpen;
    QStringList openAsked;
};

using RecordingShell = qarvel::test::RecordingShell;

// The program as main() starts it, in a folder of its own.
struct Program {
    // folder: the program folder, for a second start on the first one's files;
    // empty: a fresh one.
    // desktopBus: where the media controls and the screen-saver requests go; null: nowhere.
    // playTarget: the film given on the command line.
    // boxes: the message boxes in use; null: the answering ones below.
    explicit Program(const std::string& base, const QMap<QString, QString>& settings = {}, const QString& folder = {},
                     const qarvel::platform::DesktopBus* desktopBus = nullptr, const QString& playTarget = {},
                     qarvel::platform::UserDialogs* boxes = nullptr) {
        app();
        const qarvel::ProgramFiles files = qarvel::ProgramFiles::inFolder(folder.isEmpty() ? home.path() : folder);
        // Fails where a test puts a folder in the file's way.
        (void)qarvel::WriteSetting(files.settings, "user", "Name", "00-1A-2B-3C-4D-5E");
        for (auto it = settings.begin(); it != settings.end(); ++it)
            EXPECT_TRUE(qarvel::WriteSetting(files.settings, "S_q", it.key(), it.value()));
        application = std::make_unique<qarvel::Application>(
            qarvel::ApplicationOptions{.files = files,
                                       .serviceBase = QString::fromStdString(base),
                                       .playTarget = playTarget,
                                       .dialogs = boxes ? boxes : &dialogs,
                                       .power = &power,
                                       .desktopBus = desktopBus,
                                       .endProcess = [this] { ++ended; }});
        started = application->start(component, shell) == qarvel::StartupResult::WindowShown;
        // Balloons stay in the window: tests never reach the desktop's notices.
        if (started) window().tray().desktopNotice = {};
    }
    qarvel::MainWindow& window() { return *application->window(); }
    qarvel::MainWindowState& state() { return window().state(); }
    qarvel::playback::PlaySession& session() { return window().session(); }
    qarvel::window::MainWindowControls& c() { return window().controls(); }
    qarvel::engine::Player& player() { return *application->player(); }
    qarvel::web::WebPane* pane(int n) { return window().pane(n); }
    const qarvel::ProgramFiles& files() { return application->files(); }
    bool catalogueShown() {
        return waitUntil(
            [&] { return !c().catalogueFrame->isHidden() && pane(1)->url().toString().endsWith("/box/"); });
    }
    // The catalogue's own link for an episode, clicked.
    bool clickEpisode(int film, const QString& name) {
        return runScript(pane(1), QStringLiteral("(function(){var l=document.querySelectorAll('#film%1 a');"
                                                 "for(var i=0;i<l.length;i++)if(l[i].textContent=='%2'){l[i].click();"
                                                 "return true;}return false;})()")
                                      .arg(film)
                                      .arg(name))
            .toBool();
    }
    bool playing() { return player().playState() == PlayState::Playing; }

    QTemporaryDir home;
    qarvel::platform::LinuxPlayerComponent component;
    RecordingShell shell;
    AnsweringDialogs dialogs;
    CountingPower power;
    std::unique_ptr<qarvel::Application> application;
    bool started = false;
    int ended = 0;  // times the exit would have ended the process
};

// The real player behind the program, for the properties only it has.
inline qarvel::engine::MpvPlayer& mpv(Program& p) { return dynamic_cast<qarvel::engine::MpvPlayer&>(p.player()); }

// A demo clip's path.
inline QString clip(const svc::DemoService& service, const char* name) {
    return QString::fromStdString(service.mediaDir()) + u'/' + QString::fromLatin1(name);
}

}  // namespace playtest

#pragma once
// The application's window on plain panes, a quiet player and answering
// fakes: what the shell's buttons, menus and exit do, without a desktop.
#include "app/application.h"
#include "app/main_window/main_window.h"
#include "common/settings_file.h"
#include "platform/process_finder.h"
#include "fakes/answering_dialogs.h"
#include "platform/user_dialogs.h"
#include "integration/main_window/quiet_player.h"
#include "support/wait_until.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace shelltest {

inline QApplication* app() {
    static int argc = 1;
    static char name[] = "shell_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* a = new QApplication(argc, argv);
    return a;
}

using Dialogs = qarvel::testing::AnsweringDialogs;

// Helpers named in running run (one each, serving any folder) until ended.
struct Processes final : qarvel::platform::ProcessFinder {
    QStringList running, ended;
    QList<qarvel::platform::RunningProcess> processesNamed(const QString& name, const QString& folder) override {
        QList<qarvel::platform::RunningProcess> found;
        for (int i = 0; i < running.size(); ++i)
            if (running[i] == name) found.append({i + 1000, name, folder});
        return found;
    }
    bool endProcess(qint64 id, bool) override {
        if (id < 1000 || id - 1000 >= running.size()) return false;
        ended << running[int(id - 1000)];
        running[int(id - 1000)].clear();
        return true;
    }
    bool startHelper(const QString&, const QString&) override { return true; }
};

struct Desktop final : qarvel::platform::Shell {
    QStringList opened;
    bool openUrl(const QString& address) override {
        opened << address;
        return true;
    }
    bool startDetached(const QString&, const QStringList&) override { return true; }
};

// settings: "section/key" → value, written before the window starts.
struct Window {
    explicit Window(const QMap<QString, QString>& settings = {}) {
        app();
        for (auto it = settings.begin(); it != settings.end(); ++it) {
            const QStringList sk = it.key().split('/');
            EXPECT_TRUE(qarvel::WriteSetting(dir.path() + "/config.dll", sk[0], sk[1], it.value()));
        }
        application = std::make_unique<qarvel::Application>(
            qarvel::ApplicationOptions{.files = qarvel::ProgramFiles::inFolder(dir.path()),
                                       .serviceBase = QStringLiteral("http://127.0.0.1:1/box/"),
                                       .player = &player,
                                       .dialogs = &dialogs,
                                       .processes = &processes,
                                       .paneFactory = [](int, QWidget* parent) { return new QWidget(parent); },
                                       .desktop = &desktop,
                                       .endProcess = [this] { ++ended; }});
        application->showMainWindow(true);
        window = application->window();
        // Balloons stay in the window: tests never reach the desktop's notices.
        window->tray().desktopNotice = {};
    }
    QString setting(const QString& section, const QString& key) {
        return qarvel::ReadSetting(dir.path() + "/config.dll", section, key, "(none)");
    }
    qarvel::MainWindowState& state() { return window->state(); }
    qarvel::playback::PlaySession& session() { return window->session(); }
    qarvel::window::MainWindowControls& c() { return window->controls(); }

    QTemporaryDir dir;
    qarvel::testing::QuietPlayer player;
    Dialogs dialogs;
    Processes processes;
    Desktop desktop;
    std::unique_ptr<qarvel::Application> application;
    qarvel::MainWindow* window = nullptr;
    int ended = 0;
};

}  // namespace shelltest

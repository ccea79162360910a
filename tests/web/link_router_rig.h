#pragma once
// A link router over fakes: the fake player, panes that record where they
// were sent (and hand program links to the router as the real panes do),
// real record files in a temporary folder, and a loopback service answering
// the play request as the test says.
#include "state/main_window_state.h"
#include "fakes/fake_player.h"
#include "platform/process_finder.h"
#include "platform/text_fetcher.h"
#include "platform/user_dialogs.h"
#include "playback/play_session.h"
#include "playback/stop_command.h"
#include "playback/view_switcher.h"
#include "records/record_store.h"
#include "records/record_test_support.h"
#include "web/link_router.h"
#include "web/list_pane_reloads.h"
#include "web/pane_navigator.h"
#include "web/program_links.h"
#include "web_test_support.h"

#include <QHash>
#include <QLabel>
#include <QTimer>
#include <atomic>
#include <mutex>

namespace qarvel::web::test {

// Records "N address" and "refresh N"; program links go to pane N's handler,
// or everything to real panes when `forward` is set.
class FakeNavigator final : public PaneNavigator {
public:
    LinkRouter* router = nullptr;
    PaneNavigator* forward = nullptr;
    QStringList log;
    void navigate(int pane, const QString& address) override {
        log << QStringLiteral("%1 %2").arg(pane).arg(address);
        if (forward) return forward->navigate(pane, address);
        if (!router || !isProgramAddress(address)) return;
        switch (pane) {
        case 1: router->onCatalogueNavigate(address); break;
        case 2: router->onWebPlayerNavigate(address); break;
        case 3: router->onTaskListNavigate(address); break;
        case 4: router->onLocalListNavigate(address); break;
        case 5: router->onEpisodeListNavigate(address); break;
        case 11: router->onChannelListNavigate(address); break;
        default: break;
        }
    }
    void refresh(int pane) override {
        log << QStringLiteral("refresh %1").arg(pane);
        if (forward) forward->refresh(pane);
    }
};

class FakeProcesses final : public platform::ProcessFinder {
public:
    qint64 running = 0;
    QStringList started;
    QStringList asked;  // "name|folder" of every search
    QList<platform::RunningProcess> processesNamed(const QString& name, const QString& folder) override {
        asked << name + u'|' + folder;
        if (!running) return {};
        return {{running, name, folder}};
    }
    bool endProcess(qint64, bool) override { return false; }
    bool startHelper(const QString& name, const QString& folder) override {
        started << name + u'|' + folder;
        return true;
    }
};

class FakeDialogs final : public platform::UserDialogs {
public:
    QStringList shown;  // "caption|text"
    bool askYesNo(const QString&, const QString&) override { return false; }
    void inform(const QString& title, const QString& text) override { shown << title + u'|' + text; }
    QString pickFolder(const QString&, const QString&) override { return {}; }
};

// Answers h.asp with what `answer` gives for the query's id, after `delayMs`
// when the id is `slowId`.
class PlayService {
public:
    PlayService() {
        server_.http().Get("/box/h.asp", [this](const httplib::Request& req, httplib::Response& res) {
            std::string body;
            {
                std::lock_guard lock(mutex_);
                queries_.push_back(req.target);
                body = answers_.count(req.get_param_value("id")) ? answers_[req.get_param_value("id")] : "0";
            }
            if (req.get_param_value("id") == slowId_) std::this_thread::sleep_for(std::chrono::milliseconds(delayMs_));
            res.set_content(body, "text/plain");
        });
        server_.start();
    }
    QString base() const { return server_.url(QStringLiteral("/box/")); }
    // GBK bytes of the answer for film id.
    void answer(const std::string& id, const QString& text) {
        std::lock_guard lock(mutex_);
        const QByteArray gbk = toGbkBytes(text);
        answers_[id] = gbk.toStdString();
    }
    void slow(const std::string& id, int ms) {
        slowId_ = id;
        delayMs_ = ms;
    }
    std::vector<std::string> queries() const {
        std::lock_guard lock(mutex_);
        return queries_;
    }

private:
    static QByteArray toGbkBytes(const QString& text);
    LoopbackServer server_;
    mutable std::mutex mutex_;
    std::map<std::string, std::string> answers_;
    std::vector<std::string> queries_;
    std::string slowId_;
    int delayMs_ = 0;
};

struct RouterRig {
    explicit RouterRig(const QString& base = {});
    QString serviceBase() const { return base; }
    QString lines(records::RecordFile file) const;
    void putRecords(records::RecordFile file, const QByteArray& bytes) const;

    PlayService service;
    QString base;
    records::test::ProgramFolder folder;
    MainWindowState state;
    playback::PlaySession session;
    fakes::FakePlayer player;
    FakeNavigator nav;
    ListPaneReloads reloads{nav, nullptr};
    records::ListPageWriter pages;
    records::RecordStore store;
    QTimer statusPollTimer;
    playback::StopCommand stop;
    int webPlayerCloseButton = 0, gtv_clicks = 0;
    playback::ViewSwitcher views;
    platform::TextFetcher fetcher;
    FakeProcesses processes;
    FakeDialogs dialogs;
    QLabel filmTitle, statusText;
    QWidget statusStrip, liveTvCloseButton;
    QList<int> windowButtons;
    QStringList balloons;
    int recordWriteFailures = 0;
    QHash<QString, QString> settings;  // "section/key" -> value
    LinkRouter router;
};

}  // namespace qarvel::web::test

#include "web/list_pane_reloads.h"

#include "state/window_ids.h"

namespace qarvel::web {

namespace {
constexpr int kCheckMs = 20;
constexpr int kMostChecks = 50;  // a second
}  // namespace

ListPaneReloads::ListPaneReloads(PaneNavigator& panes, std::function<bool()> filmOpening, QObject* parent)
    : QObject(parent), panes_(panes), filmOpening_(std::move(filmOpening)) {
    check_.setInterval(kCheckMs);
    connect(&check_, &QTimer::timeout, this, [this] {
        if (filmOpening_() && ++checks_ < kMostChecks) return;
        showDue();
    });
}

void ListPaneReloads::show(records::RecordFile file, const QString& page) {
    due_[file] = page;
    if (filmOpening_ && filmOpening_()) {
        if (!check_.isActive()) {
            checks_ = 0;
            check_.start();
        }
        return;
    }
    showDue();
}

void ListPaneReloads::showDue() {
    check_.stop();
    const auto due = std::move(due_);
    due_.clear();
    for (const auto& [file, page] : due)
        panes_.navigate(file == records::RecordFile::Network ? Pane::TaskList : Pane::LocalList, page);
}

}  // namespace qarvel::web

#pragma once
// Shows a rebuilt list page in its pane (c.htm in the network list's pane,
// f.htm in the local list's). A page rebuilt while a film is opening (a click
// on an episode records it) is shown once the film plays, or after a second at
// most: the side panel shows the episode list then, and the list page's load
// would take the processor the film's first picture needs.
#include "records/record_format.h"
#include "web/pane_navigator.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <map>

namespace qarvel::web {

class ListPaneReloads : public QObject {
public:
    ListPaneReloads(PaneNavigator& panes, std::function<bool()> filmOpening, QObject* parent = nullptr);
    void show(records::RecordFile file, const QString& page);

private:
    void showDue();

    PaneNavigator& panes_;
    std::function<bool()> filmOpening_;
    QTimer check_;
    int checks_ = 0;
    std::map<records::RecordFile, QString> due_;  // the latest page of each list
};

}  // namespace qarvel::web

#pragma once
// A script in a pane's page (its main world), waited for: what tests use to
// read a page and to click in it as a user would.
#include "support/wait_until.h"

#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace qarvel::test {

inline QVariant runScript(QWebEngineView* pane, const QString& script, int ms = 5000) {
    QVariant result;
    bool finished = false;
    pane->page()->runJavaScript(script, [&](const QVariant& v) {
        result = v;
        finished = true;
    });
    waitUntil([&] { return finished; }, ms);
    return result;
}

}  // namespace qarvel::test

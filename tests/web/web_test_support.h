#pragma once
// Shared by the pane tests: one QApplication per test binary, a loopback
// HTTP server, and waits that keep the event loop running.
#include "support/wait_until.h"
#include "support/run_script.h"
#include "web/web_pane.h"

#include <QStringList>
#include <QVariant>
#include <functional>
#include <ostream>
#include <httplib.h>
#include <memory>
#include <thread>

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) {
    *os << '[' << l.join("\", \"").prepend('"').append('"').toStdString() << ']';
}

namespace qarvel::web::test {

// A cpp-httplib server on 127.0.0.1 and a free port, running on its own thread.
class LoopbackServer {
public:
    LoopbackServer();
    ~LoopbackServer();
    httplib::Server& http() { return server_; }
    // Starts listening; routes must be set before.
    void start();
    QString url(const QString& path) const;
    int port() const { return port_; }

private:
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
};

// A port on 127.0.0.1 that refuses connections.
int closedPort();

using qarvel::test::runEventsFor;
using qarvel::test::waitUntil;

using qarvel::test::runScript;

// Navigates and waits for the load to finish (downloadComplete).
bool navigateAndWait(WebPane* pane, const QString& address);
// Writes a document and waits until it is shown.
bool writeAndWait(WebPane* pane, const QString& html);

// A pane of a fixed size, shown, whose hook records every address and
// cancels when `cancel` says so.
struct RecordingPane {
    RecordingPane();
    std::unique_ptr<WebPane> pane;
    QStringList seen;
    std::function<bool(const QString&)> cancel;
};

}  // namespace qarvel::web::test

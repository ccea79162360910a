#include "web_test_support.h"

#include "web/web_environment.h"

#include <QApplication>
#include <QEventLoop>
#include <QHostAddress>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTimer>
#include <chrono>
#include <gtest/gtest.h>

namespace qarvel::web::test {

namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        prepareWebEngineEnvironment();
        static int argc = 1;
        static char name[] = "WebTests";
        static char* argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
    }

    void TearDown() override {
        // The engine shuts down with the application object; left to exit(),
        // its threads would outlive the heap they use.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete app_;
        app_ = nullptr;
    }

private:
    QApplication* app_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

LoopbackServer::LoopbackServer() {
    // The browser keeps idle and speculative connections open; short waits
    // let stop() return at once instead of after the library's 5 s defaults.
    server_.set_keep_alive_max_count(1);
    server_.set_read_timeout(0, 500000);
    port_ = server_.bind_to_any_port("127.0.0.1");
}

LoopbackServer::~LoopbackServer() {
    server_.stop();
    if (thread_.joinable()) thread_.join();
}

void LoopbackServer::start() {
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    // stop() is a no-op until the loop runs, so the destructor must not race it.
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

QString LoopbackServer::url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path);
}

int closedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();  // closed again when `probe` goes
}


bool navigateAndWait(WebPane* pane, const QString& address) {
    QSignalSpy complete(pane, &WebPane::downloadComplete);
    pane->navigate(address);
    return waitUntil([&] { return complete.count() > 0; });
}

bool writeAndWait(WebPane* pane, const QString& html) {
    QSignalSpy complete(pane, &WebPane::downloadComplete);
    pane->writeDocument(html);
    return waitUntil([&] { return complete.count() > 0; });
}

RecordingPane::RecordingPane() : pane(std::make_unique<WebPane>()) {
    pane->resize(640, 480);
    pane->show();
    pane->setNavigationHook([this](const QString& address) {
        seen << address;
        return cancel ? cancel(address) : false;
    });
}

}  // namespace qarvel::web::test

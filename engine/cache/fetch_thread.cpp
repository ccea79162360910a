#include "engine/cache/fetch_thread.h"

#include "common/logging.h"

#include <QDeadlineTimer>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QThread>
#include <chrono>
#include <future>
#include <memory>
#include <utility>

namespace qarvel::engine {

QNetworkAccessManager* NetworkHost::network() {
    Q_ASSERT(QThread::currentThread() == thread());
    if (!network_) network_ = new QNetworkAccessManager(this);
    return network_;
}

FetchThread::FetchThread() : thread_(new QThread), host_(new NetworkHost) {
    thread_->setObjectName("qarvel-film-fetch");
    // Moved before the thread runs, so it needs no call to the thread.
    host_->moveToThread(thread_);
    // The thread makes its event loop's wake-up as it starts, and this thread
    // writes to it with every call it sends. Qt orders the two with locks a
    // thread checker cannot see; waiting here for the start (well under a
    // millisecond, at most a second) orders them where it can.
    auto running = std::make_shared<std::promise<void>>();
    QObject::connect(thread_, &QThread::started, thread_, [running] { running->set_value(); }, Qt::DirectConnection);
    thread_->start();
    if (running->get_future().wait_for(std::chrono::seconds(1)) != std::future_status::ready)
        qCWarning(lcEngine, "the network thread did not start within a second");
    // Made now, with the first look for a proxy, rather than by the first
    // film's request: in a freshly started download service they put 0.3-1.2 ms
    // on its first film.
    host_->post([host = host_] {
        host->network();
        QNetworkProxyFactory::proxyForQuery(QNetworkProxyQuery(QUrl(QStringLiteral("http://127.0.0.1/"))));
    });
}

FetchThread::~FetchThread() { shutdown({}); }

void FetchThread::adopt(QObject* object) {
    if (thread_) object->moveToThread(thread_);
}

void FetchThread::post(std::function<void()> call) {
    if (host_) host_->post(std::move(call));
}

void FetchThread::dispose(QObject* object) {
    // Posted calls run in order: calls sent to the object before this still reach it.
    post([object] { delete object; });
}

bool FetchThread::shutdown(const QList<QObject*>& objects, int timeoutMs) {
    if (!thread_) return true;
    QThread* thread = std::exchange(thread_, nullptr);
    NetworkHost* host = std::exchange(host_, nullptr);
    host->post([objects, host, thread] {
        qDeleteAll(objects);
        delete host;  // with the network access manager and its replies
        thread->quit();
    });
    if (thread->wait(QDeadlineTimer(timeoutMs))) {
        delete thread;
        return true;
    }
    qCWarning(lcEngine, "the network thread did not end within %d ms; it ends on its own", timeoutMs);
    // The thread object belongs to this thread; it goes once the thread is done
    // (asking twice is harmless, missing the end is not).
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    if (thread->isFinished()) thread->deleteLater();
    return false;
}

}  // namespace qarvel::engine

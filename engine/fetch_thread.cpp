#include "engine/fetch_thread.h"

#include "common/logging.h"

#include <QDeadlineTimer>
#include <QNetworkAccessManager>
#include <QThread>
#include <utility>

namespace qarvel::engine {

QNetworkAccessManager* NetworkHost::network() {
    Q_ASSERT(QThread::currentThread() == thread());
    if (!network_) network_ = new QNetworkAccessManager(this);
    return network_;
}

FetchThread::FetchThread() : thread_(new QThread), host_(new NetworkHost) {
    thread_->setObjectName("qarvel-film-fetch");
    // Moved before the thread runs, so nothing has to be waited for here.
    host_->moveToThread(thread_);
    thread_->start();
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

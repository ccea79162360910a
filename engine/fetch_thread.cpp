#include "engine/fetch_thread.h"

#include "common/logging.h"

#include <QDeadlineTimer>
#include <QNetworkAccessManager>
#include <QThread>
#include <utility>

namespace qarvel::engine {

QNetworkAccessManager* NetworkHost::network() {
    Q_ASSERT(QThread::currentThread() == thread());
    if (!m_network) m_network = new QNetworkAccessManager(this);
    return m_network;
}

FetchThread::FetchThread() : m_thread(new QThread), m_host(new NetworkHost) {
    m_thread->setObjectName("qarvel-film-fetch");
    // Moved before the thread runs, so nothing has to be waited for here.
    m_host->moveToThread(m_thread);
    m_thread->start();
}

FetchThread::~FetchThread() { shutdown({}); }

void FetchThread::adopt(QObject* object) {
    if (m_thread) object->moveToThread(m_thread);
}

void FetchThread::dispose(QObject* object) {
    if (!m_host) return;
    // Posted events of one thread run in order: calls sent to the object before
    // this still reach it.
    QMetaObject::invokeMethod(
        m_host, [object] { delete object; }, Qt::QueuedConnection);
}

bool FetchThread::shutdown(const QList<QObject*>& objects, int timeoutMs) {
    if (!m_thread) return true;
    QThread* thread = std::exchange(m_thread, nullptr);
    NetworkHost* host = std::exchange(m_host, nullptr);
    QMetaObject::invokeMethod(
        host,
        [objects, host, thread] {
            qDeleteAll(objects);
            delete host;  // with the network access manager and its replies
            thread->quit();
        },
        Qt::QueuedConnection);
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

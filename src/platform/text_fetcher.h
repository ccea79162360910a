#pragma once
// Short texts from the service (the play request, the control and notice
// files): an HTTP GET whose answer arrives later on the same thread, so the
// window never waits for the network. The body is read in GBK; any failure
// (no connection, a time-out, an error status, a body past the size cap)
// gives empty text, which every caller treats as a failed fetch.
#include <QHash>
#include <QObject>
#include <QString>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

namespace qarvel::platform {

class TextFetcher : public QObject {
    Q_OBJECT
public:
    struct Limits {
        int connectTimeoutMs = 10000;  // until the answer's header has arrived
        int readTimeoutMs = 10000;     // longest pause between two pieces of the body
        int totalTimeoutMs = 30000;    // the whole exchange, so a trickle cannot hold it open
        qint64 maxBytes = 1 << 20;     // a longer body is a failure, cut off as soon as it is seen
    };
    using Ticket = quint64;  // never 0
    using Done = std::function<void(const QString& text)>;

    explicit TextFetcher(QObject* parent = nullptr);
    TextFetcher(Limits limits, QObject* parent = nullptr);
    ~TextFetcher() override;

    // Starts the GET; done runs once, later, with the text or empty text. An
    // address that is not http(s) fails the same way, also later.
    Ticket fetch(const QString& address, Done done);
    // done never runs for a cancelled ticket; unknown tickets are ignored.
    void cancel(Ticket ticket);
    void cancelAll();
    bool isPending(Ticket ticket) const { return pending_.contains(ticket); }

private:
    struct Pending;
    void finish(Ticket ticket, bool ok);
    void check(Ticket ticket);
    void release(Pending* p);

    Limits limits_;
    QNetworkAccessManager* network_;
    Ticket next_ = 0;
    QHash<Ticket, Pending*> pending_;
};

}  // namespace qarvel::platform

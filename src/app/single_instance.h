#pragma once
// One window per program folder: a second start hands its file or address to
// the window that runs and ends. The running window listens on a local socket
// named after the program, the window topic "BA1", the user and the program
// folder, so two program folders are two programs and tests in their own
// folders never reach each other.
//
// The socket lies in a folder only the user can enter ($XDG_RUNTIME_DIR, else
// one of the program's own), and each side asks the kernel who the other is:
// a listener or a sender of another user is never handed, or taken, anything.
//
//     if (SingleInstance::handOff(name, text) == HandOff::Delivered) return 0;
//     SingleInstance server;  server.listen(name);  // emits commandReceived
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>
#include <sys/types.h>
#include <unistd.h>

class QLocalServer;
class QLocalSocket;

namespace qarvel {

enum class HandOff {
    Delivered,   // the running window accepted the text
    NoInstance,  // nobody listens (or only a crashed window's socket is left,
                 // or the listener is another user's and was told nothing)
    NoAnswer,    // a window is there but did not accept within the time
};

// The longest text a hand-off carries; a longer frame is refused.
inline constexpr int kHandOffMaxBytes = 64 * 1024;

// A hand-off frame: the text's length as 4 bytes, big-endian, then its UTF-8.
QByteArray encodeHandOff(const QString& text);
// Takes one complete frame off the front of buffer. Nothing while the frame is
// still incomplete; error set (and the buffer left alone) when the length is
// over kHandOffMaxBytes or the bytes are no UTF-8.
std::optional<QString> takeHandOff(QByteArray& buffer, bool* error = nullptr);

// True when path is a folder (not a link to one) of uid that no one else
// may enter, read or write: mode 0700 or stricter.
bool isPrivateFolder(const QString& path, uid_t uid);
// The folder the sockets are made in: $XDG_RUNTIME_DIR when it is private,
// else the program's own under the user's cache folder, made 0700 when
// missing. Empty when that one exists but is not private: no one else's
// folder is used.
QString socketFolder();
// The user id of the process at the other end of a connected local socket,
// as the kernel recorded it; -1 when it cannot be told.
qint64 peerUid(qintptr descriptor);

// The arguments as one command text, quoted the way a desktop shell passes
// them: an argument holding a blank is put in double quotation marks.
QString commandText(const QStringList& arguments);

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // Senders of the user peer alone are heard (another id only in tests).
    explicit SingleInstance(QObject* parent = nullptr, uid_t peer = ::getuid());
    ~SingleInstance() override;

    // The socket's full path for programFolder and the user running this
    // process, in socketFolder(); empty when there is no private folder.
    static QString serverName(const QString& programFolder);

    // Sends text to the window listening under name and waits up to timeoutMs
    // for it to accept. Only a listener of the user peer is sent anything.
    static HandOff handOff(const QString& name, const QString& text, int timeoutMs = 3000, uid_t peer = ::getuid());

    // Serves name from now on. A socket file left by a crashed window is
    // removed first; false when the name cannot be served (another window
    // holds it and answers).
    bool listen(const QString& name);
    bool listening() const;

signals:
    // A second start's command text, after the sender has been answered.
    void commandReceived(const QString& text);

private:
    void accept();
    void readFrom(QLocalSocket* socket);

    QLocalServer* server_ = nullptr;
    uid_t peer_;
};

}  // namespace qarvel

#pragma once
// One window per program folder: a second start hands its file or address to
// the window that runs and ends. The running window listens on a local socket
// named after the program, the window topic "BA1", the user and the program
// folder, so two program folders are two programs and tests in their own
// folders never reach each other.
//
//     if (SingleInstance::handOff(name, text) == HandOff::Delivered) return 0;
//     SingleInstance server;  server.listen(name);  // emits commandReceived
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

class QLocalServer;
class QLocalSocket;

namespace qarvel {

enum class HandOff {
    Delivered,   // the running window accepted the text
    NoInstance,  // nobody listens (or only a crashed window's socket is left)
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

// The arguments as one command text, quoted the way a desktop shell passes
// them: an argument holding a blank is put in double quotation marks.
QString commandText(const QStringList& arguments);

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QObject* parent = nullptr);
    ~SingleInstance() override;

    // The socket name for programFolder and the user running this process.
    static QString serverName(const QString& programFolder);

    // Sends text to the window listening under name and waits up to timeoutMs
    // for it to accept.
    static HandOff handOff(const QString& name, const QString& text, int timeoutMs = 3000);

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
};

}  // namespace qarvel

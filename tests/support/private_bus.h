#pragma once
// A message bus of the test's own: a dbus-daemon started for it, with no
// service files (nothing on the machine can be activated on it), ended with
// it. Tests of the desktop integration talk only on such a bus, never on the
// machine's session or system bus.
#include <QDBusConnection>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <atomic>

namespace qarvel::test {

class PrivateBus {
public:
    PrivateBus() {
        if (!dir_.isValid()) return;
        const QString config = dir_.filePath(QStringLiteral("bus.conf"));
        QFile f(config);
        if (!f.open(QIODevice::WriteOnly)) return;
        f.write(
            "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
            " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
            "<busconfig><type>session</type><listen>unix:dir=" +
            dir_.path().toUtf8() +
            "</listen><auth>EXTERNAL</auth>"
            "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
            "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n");
        f.close();
        daemon_.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--nofork"), QStringLiteral("--print-address=1"),
                                                      QStringLiteral("--config-file=") + config});
        if (!daemon_.waitForStarted(5000)) return;
        while (!daemon_.canReadLine() && daemon_.waitForReadyRead(5000)) {}
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    ~PrivateBus() {
        for (const QString& name : connections_) QDBusConnection::disconnectFromBus(name);
        daemon_.terminate();
        if (!daemon_.waitForFinished(3000)) {
            daemon_.kill();
            daemon_.waitForFinished();
        }
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool ok() const { return !address_.isEmpty(); }
    QString address() const { return address_; }
    // A connection of its own to the bus (one per role: the program, a
    // client, a fake service), closed with the bus.
    QDBusConnection connect(const QString& role) {
        static std::atomic<int> serial{0};
        const QString name = QStringLiteral("private-bus-%1-%2").arg(role).arg(++serial);
        connections_ << name;
        return QDBusConnection::connectToBus(address_, name);
    }

private:
    QTemporaryDir dir_;
    QProcess daemon_;
    QString address_;
    QStringList connections_;
};

}  // namespace qarvel::test

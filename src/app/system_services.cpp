#include "app/system_services.h"

#include "platform/network_adapters.h"

#include <QDir>
#include <QRandomGenerator>
#include <algorithm>
#include <cmath>

namespace qarvel {

QString GetMacAddress(const platform::NetworkAdapters& adapters) {
    const QStringList addresses = adapters.ipEnabledAdapterAddresses();
    if (addresses.isEmpty()) return {};
    const QString address = QString(addresses.first()).replace(u':', u'-').toUpper();
    if (address.isEmpty() || address.contains(QLatin1String("00-00-00-00-00-00")) ||
        address.contains(QLatin1String("00-53-45-00-00-00")))
        return {};
    return address;
}

QString GetMacAddress() { return GetMacAddress(platform::SystemNetworkAdapters()); }

QString MakeUserId(const QDateTime& moment, int randomPart) {
    const QDate d = moment.date();
    const QTime t = moment.time();
    QString id;
    for (const int part : {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), randomPart})
        id += QString::number(part);
    return id;
}

QString MakeRandomUserId() {
    return MakeUserId(QDateTime::currentDateTime(), QRandomGenerator::global()->bounded(100, 1000));
}

QString FileNameOfPath(const QString& path) {
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return cut < 0 ? QString() : path.mid(cut + 1);
}

QString StripExtension(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot < 0 ? QString() : fileName.left(dot);
}

QString TextBetween(const QString& text, const QString& startMarker, const QString& endMarker, int mode) {
    if (mode != 1 && mode != 2) return {};
    const qsizetype start = text.indexOf(startMarker);
    if (start < 0) return {};
    if (mode == 1) {
        const qsizetype end = text.indexOf(endMarker, start);
        return end < 0 ? QString() : text.mid(start, end + endMarker.size() - start);
    }
    const qsizetype inner = start + startMarker.size();
    const qsizetype end = text.indexOf(endMarker, inner);
    return end < 0 ? QString() : text.mid(inner, end - inner);
}

bool ListFolderFiles(const QString& folder, const QString& pattern, QStringList& list) {
    if (folder.isEmpty()) return false;  // not "the current folder"
    // "*.*" is the platform's way of saying every file, with or without a dot.
    const QString filter = pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern;
    const QStringList names = QDir(folder).entryList({filter}, QDir::Files, QDir::Name);
    if (names.isEmpty()) return false;
    list = names;
    return true;
}

}  // namespace qarvel

#include "extras/control_files.h"

#include <QUrl>

namespace qarvel::extras {

namespace {

const QString kSectionMark = QStringLiteral("====");
const QString kFieldMark = QStringLiteral("||");
const QString kItemMark = QStringLiteral("$$$");

QString section(const QStringList& parts, int index) { return index < parts.size() ? parts[index] : QString(); }

// A switch is on when its section reads as the number 1 ("1", " 1\r\n", "1.0").
bool isNumberOne(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && value == 1.0;
}

// A header field of the pop-up file: a whole non-negative number, else 0.
int fieldNumber(const QStringList& fields, int index) {
    bool ok = false;
    const int value = section(fields, index).trimmed().toInt(&ok);
    return ok && value > 0 ? value : 0;
}

// Line breaks around an item come from files written one item a line.
QString withoutOuterBreaks(QString text) {
    while (!text.isEmpty() && (text.front() == u'\r' || text.front() == u'\n')) text.remove(0, 1);
    while (!text.isEmpty() && (text.back() == u'\r' || text.back() == u'\n')) text.chop(1);
    return text;
}

}  // namespace

std::optional<UpdateControl> parseUpdateControl(const QString& text) {
    if (text.isEmpty() || !text.contains(kSectionMark)) return std::nullopt;
    const QStringList parts = text.split(kSectionMark);
    UpdateControl control;
    control.sideWindowOnExit = section(parts, 0);
    control.popupNotice = isNumberOne(section(parts, 1));
    control.pauseAd = isNumberOne(section(parts, 2));
    control.scrollingNotice = isNumberOne(section(parts, 3));
    control.stopAd = isNumberOne(section(parts, 4));
    control.latestVersion = section(parts, 5).remove(QStringLiteral("\r\n"));
    return control;
}

bool isUpdateOffered(const QString& latestVersion, const QString& ownVersion) {
    return !latestVersion.isEmpty() && latestVersion != QLatin1String("0") && latestVersion != ownVersion;
}

QList<NoticeItem> parseNoticeList(const QString& text) {
    QList<NoticeItem> items;
    if (!text.contains(kFieldMark)) return items;
    for (const QString& piece : text.split(kItemMark)) {
        const qsizetype mark = piece.indexOf(kFieldMark);
        if (mark < 0) continue;
        QString link = piece.mid(mark + kFieldMark.size());
        const qsizetype further = link.indexOf(kFieldMark);
        if (further >= 0) link.truncate(further);
        items.append({withoutOuterBreaks(piece.left(mark)), link.trimmed()});
        if (items.size() == kMaxItems) break;
    }
    return items;
}

bool hasNoticeLink(const NoticeItem& item) { return !item.link.isEmpty() && item.link != QLatin1String("*"); }

std::optional<PopupControl> parsePopupControl(const QString& text) {
    if (!text.contains(kFieldMark)) return std::nullopt;
    const QStringList fields = text.split(kFieldMark);
    PopupControl control;
    control.firstDelaySeconds = fieldNumber(fields, 0);
    control.intervalMinutes = fieldNumber(fields, 1);
    control.repeat = fieldNumber(fields, 2) == 1;
    if (control.firstDelaySeconds == 0) control.firstDelaySeconds = 120;
    if (control.intervalMinutes == 0) control.intervalMinutes = 30;
    const QStringList pieces = section(fields, 3).split(kItemMark);
    for (int i = 0; i < pieces.size() && i < kMaxItems; ++i) {
        const QString address = pieces[i].trimmed();
        // Exactly this prefix, case and all.
        if (address.startsWith(QLatin1String("http://"))) control.pages.append(address);
    }
    return control;
}

bool isBrowserAddress(const QString& address) {
    const QUrl url(address.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) return false;
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

}  // namespace qarvel::extras

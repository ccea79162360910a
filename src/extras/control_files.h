#pragma once
// The service's three control files, read into plain values: the update
// control file (feature switches and the latest version), the scrolling
// notices and the pop-up notice series. Pure functions: text in, value out.
// Text that is not a control file at all gives no value, so the caller
// switches nothing on.
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace qarvel::extras {

// Most items a notice list or a pop-up series holds (indices 0 to 50).
inline constexpr int kMaxItems = 51;

// "lib/wen.txt": six sections separated by "====".
struct UpdateControl {
    QString sideWindowOnExit;      // section 0 as written; the exit shows the side window for exactly "1"
    bool popupNotice = false;      // section 1
    bool pauseAd = false;          // section 2
    bool scrollingNotice = false;  // section 3
    bool stopAd = false;           // section 4
    QString latestVersion;         // section 5 without its line breaks
};

// Nothing when the text has no "====" (an empty or failed fetch, garbage).
std::optional<UpdateControl> parseUpdateControl(const QString& text);

// Whether latestVersion announces another version than ownVersion: any
// different text counts as newer; empty and "0" mean nothing was announced.
bool isUpdateOffered(const QString& latestVersion, const QString& ownVersion);

// "lib/gun.txt": items "text||link" separated by "$$$".
struct NoticeItem {
    QString text;
    QString link;  // "*" or empty: the notice has no link
};

// The valid items (those with "||"), at most kMaxItems, in file order;
// empty when there is no notice to show.
QList<NoticeItem> parseNoticeList(const QString& text);

// Whether a notice link leads anywhere.
bool hasNoticeLink(const NoticeItem& item);

// "lib/tan.txt": "first delay||interval||repeat||page$$$page…".
struct PopupControl {
    int firstDelaySeconds = 120;
    int intervalMinutes = 30;
    bool repeat = false;
    QStringList pages;  // only "http://" addresses, packed in file order
};

// Nothing when the text has no "||".
std::optional<PopupControl> parsePopupControl(const QString& text);

// Whether an address may be handed to the system's browser: http and https
// only, so that neither the program's own links nor local files leave it.
bool isBrowserAddress(const QString& address);

}  // namespace qarvel::extras

#pragma once
// Small stateless services shared across the program: the anonymous user
// identifier, escaping, play-time text, file-name helpers, display width,
// marker extraction and folder listing.
#include "common/display_width.h"
#include "common/escape_text.h"
#include "common/play_time.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace qarvel {
namespace platform {
class NetworkAdapters;
}

// The first IP-enabled adapter's hardware address as XX-XX-XX-XX-XX-XX
// (upper-case hex), or empty text when there is no adapter or its address is
// empty, unset (00-00-00-00-00-00) or a dial-up one (00-53-45-00-00-00). Only
// the first adapter is looked at, so the identifier stays the same on every
// start even when other adapters come and go.
QString GetMacAddress(const platform::NetworkAdapters& adapters);
QString GetMacAddress();  // the machine's own adapters

// Year, month, day, hour, minute, second and a number 100..999 run together
// without separators or leading zeros (12 to 17 digits).
QString MakeRandomUserId();
// The same from a given moment and number, for callers that need it fixed.
QString MakeUserId(const QDateTime& moment, int randomPart);

// The text after the last "/" or "\"; empty when there is neither.
QString FileNameOfPath(const QString& path);

// The text before the last "."; empty when there is no ".".
QString StripExtension(const QString& fileName);

// Mode 1: from the first startMarker up to and including the first endMarker
// at or after it. Mode 2: between them, markers excluded, the end marker
// searched from just after the start marker. Empty when a marker is missing or
// the mode is neither 1 nor 2. Case-sensitive.
QString TextBetween(const QString& text, const QString& startMarker, const QString& endMarker, int mode);

// Names (without folder) of the plain, non-hidden files in folder that match
// the wildcard pattern, sorted by name; "*.*" matches every name. On a match
// list is replaced by them and the result is true; otherwise list is left as
// it was and the result is false. A missing folder finds nothing.
bool ListFolderFiles(const QString& folder, const QString& pattern, QStringList& list);

}  // namespace qarvel

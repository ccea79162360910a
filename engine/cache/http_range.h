#pragma once
// The two headers of HTTP range requests the fetch speaks.
#include <QByteArray>
#include <QtGlobal>
#include <optional>

namespace qarvel::engine {

struct ContentRange {
    qint64 first = 0;   // first byte sent
    qint64 last = 0;    // last byte sent (inclusive)
    qint64 total = -1;  // -1 when the server wrote "*"
};

// "bytes FIRST-LAST/TOTAL" or "bytes FIRST-LAST/*"; nullopt for anything else.
std::optional<ContentRange> parseContentRange(const QByteArray& value);
// "bytes=BEGIN-" (end < 0) or "bytes=BEGIN-(END-1)" for the half-open [begin, end).
QByteArray rangeHeader(qint64 begin, qint64 end);

}  // namespace qarvel::engine

#include "engine/cache/http_range.h"

namespace qarvel::engine {

namespace {
std::optional<qint64> number(const QByteArray& text) {
    if (text.isEmpty()) return std::nullopt;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
    }
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}
}  // namespace

std::optional<ContentRange> parseContentRange(const QByteArray& value) {
    const QByteArray text = value.trimmed();
    if (!text.toLower().startsWith("bytes ")) return std::nullopt;
    const QByteArray body = text.mid(6).trimmed();
    const int dash = body.indexOf('-');
    const int slash = body.indexOf('/');
    if (dash <= 0 || slash <= dash + 1) return std::nullopt;
    const auto first = number(body.left(dash).trimmed());
    const auto last = number(body.mid(dash + 1, slash - dash - 1).trimmed());
    const QByteArray totalText = body.mid(slash + 1).trimmed();
    if (!first || !last || *last < *first) return std::nullopt;
    ContentRange range{*first, *last, -1};
    if (totalText != "*") {
        const auto total = number(totalText);
        if (!total || *total <= *last) return std::nullopt;
        range.total = *total;
    }
    return range;
}

QByteArray rangeHeader(qint64 begin, qint64 end) {
    QByteArray header = "bytes=" + QByteArray::number(begin) + "-";
    if (end >= 0) header += QByteArray::number(end - 1);
    return header;
}

}  // namespace qarvel::engine

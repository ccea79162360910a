#include "common/text_lines.h"

namespace qarvel {

QList<QByteArray> splitTextLines(const QByteArray& bytes) {
    if (bytes.isEmpty()) return {};
    QList<QByteArray> lines = bytes.split('\n');
    if (bytes.endsWith('\n')) lines.removeLast();
    for (QByteArray& line : lines)
        if (line.endsWith('\r')) line.chop(1);
    return lines;
}

}  // namespace qarvel

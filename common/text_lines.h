#pragma once
// Lines of the program's text files. They are written with CR LF; files edited
// by hand may end lines with a bare LF, which reads the same.
#include <QByteArray>
#include <QList>

namespace qarvel {

// Lines end at LF; one CR before it is dropped. Text after the last LF is a
// line of its own; nothing after a final LF is not.
QList<QByteArray> splitTextLines(const QByteArray& bytes);

}  // namespace qarvel

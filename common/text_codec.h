#pragma once
// QString side of the GBK codec: every file and service text goes through here.
#include <QByteArray>
#include <QString>

namespace qarvel {

QByteArray toGbk(const QString& text);
QString fromGbk(const QByteArray& bytes);

}  // namespace qarvel

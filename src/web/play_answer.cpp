#include "web/play_answer.h"

#include "web/link_fields.h"

namespace qarvel::web {

namespace {

// A text that reads as a number whose value is 0 ("0", "00", " 0.0").
bool isNumericZero(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && value == 0.0;
}

}  // namespace

PlayAnswer classifyPlayAnswer(const QString& answer) {
    PlayAnswer result;
    if (answer.isEmpty()) {
        result.kind = PlayAnswer::Kind::Failed;
    } else if (answer == u"1") {
        result.kind = PlayAnswer::Kind::Refused;
    } else if (isNumericZero(answer)) {
        result.kind = PlayAnswer::Kind::Nothing;
        result.plainZero = answer == u"0";
    } else if (answer.contains(u'$')) {
        const QString dollar = QStringLiteral("$");
        result.kind = PlayAnswer::Kind::Found;
        result.name = fieldAt(answer, dollar, 0);
        result.address = fieldAt(answer, dollar, 1);
        result.playerKind = fieldAt(answer, dollar, 2);
    } else {
        result.kind = PlayAnswer::Kind::Unusable;
    }
    return result;
}

QString playRequestAddress(const QString& base, int id, const QString& v, const QString& v1) {
    return base + QStringLiteral("h.asp?id=") + QString::number(id) + QStringLiteral("&v=") + v +
           QStringLiteral("&v1=") + v1;
}

}  // namespace qarvel::web

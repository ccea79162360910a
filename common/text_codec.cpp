#include "common/text_codec.h"

#include "common/gbk.h"

namespace qarvel {

QByteArray toGbk(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    const std::string gbk = codec::utf8ToGbk(std::string_view(utf8.constData(), size_t(utf8.size())));
    return QByteArray(gbk.data(), qsizetype(gbk.size()));
}

QString fromGbk(const QByteArray& bytes) {
    const std::string utf8 = codec::gbkToUtf8(std::string_view(bytes.constData(), size_t(bytes.size())));
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

}  // namespace qarvel

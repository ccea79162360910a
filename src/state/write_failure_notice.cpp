#include "state/write_failure_notice.h"

#include "common/logging.h"

namespace qarvel {

QString writeFailureText(WriteKind kind) {
    return kind == WriteKind::Records ? QStringLiteral("播放记录保存失败") : QStringLiteral("设置保存失败");
}

void WriteFailureNotice::failed(WriteKind kind, const QString& what) {
    qCWarning(lcClient) << writeFailureText(kind) << what;
    failed_[int(kind)] = true;
    showOnce(kind);
}

void WriteFailureNotice::setShow(Show show) {
    show_ = std::move(show);
    for (WriteKind kind : {WriteKind::Records, WriteKind::Settings})
        if (failed_[int(kind)]) showOnce(kind);
}

void WriteFailureNotice::showOnce(WriteKind kind) {
    if (!show_ || shown_[int(kind)]) return;
    shown_[int(kind)] = true;
    show_(writeFailureText(kind));
}

}  // namespace qarvel

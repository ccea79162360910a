#include "playback/frame_capture.h"

#include "common/logging.h"
#include "engine/player.h"
#include "playback/status_poll.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace qarvel::playback {

namespace {

QString defaultFolder() {
    QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (pictures.isEmpty()) pictures = QDir::homePath();
    return pictures + QStringLiteral("/Qarvel");
}

// path, or with " (2)", " (3)" … before its extension when it is taken.
QString freeName(const QString& folder, const QString& name) {
    QString path = folder + u'/' + name;
    const QString stem = name.chopped(4);  // ".png"
    for (int n = 2; QFileInfo::exists(path); ++n) path = folder + u'/' + stem + QStringLiteral(" (%1).png").arg(n);
    return path;
}

}  // namespace

QString captureFileName(const QString& title, int seconds) {
    QString name = title.trimmed();
    static const QString kRefused = QStringLiteral("/\\:*?\"<>|");
    for (QChar& ch : name)
        if (kRefused.contains(ch) || ch.unicode() < 0x20 || ch.unicode() == 0x7F) ch = u'_';
    // A name of dots alone would name the folder itself or its parent.
    if (name.isEmpty() || name.count(u'.') == name.size()) name = QStringLiteral("截图");
    seconds = std::max(0, seconds);
    return name + QStringLiteral(" %1-%2-%3.png")
                      .arg(seconds / 3600, 2, 10, QChar(u'0'))
                      .arg(seconds / 60 % 60, 2, 10, QChar(u'0'))
                      .arg(seconds % 60, 2, 10, QChar(u'0'));
}

FrameCapture::FrameCapture(CaptureServices services) : s_(std::move(services)) {
    if (!s_.folder) s_.folder = defaultFolder;
    connection_ = QObject::connect(&s_.player, &engine::Player::frameCaptured, &s_.player,
                                   [this](const QString& path, bool saved) { captured(path, saved); });
}

FrameCapture::~FrameCapture() { QObject::disconnect(connection_); }

bool FrameCapture::capture() {
    engine::Player& p = s_.player;
    const QString folder = s_.folder();
    QString title = s_.title ? s_.title() : QString();
    if (title.trimmed().isEmpty()) title = filmName(p.url());
    if (p.url().isEmpty() || !QDir().mkpath(folder)) {
        if (!p.url().isEmpty()) qCWarning(lcClient) << "capture: cannot make the folder" << folder;
        s_.showBalloon(p.url().isEmpty() ? kNothingToCapture : kCaptureFailed);
        return false;
    }
    const QString path = freeName(folder, captureFileName(title, p.position()));
    if (!p.captureFrame(path)) {
        s_.showBalloon(kNothingToCapture);
        return false;
    }
    pending_.insert(path);
    return true;
}

void FrameCapture::captured(const QString& path, bool saved) {
    if (!pending_.remove(path)) return;
    s_.showBalloon(saved ? kCaptureSavedPrefix + QDir::toNativeSeparators(path) : kCaptureFailed);
}

}  // namespace qarvel::playback

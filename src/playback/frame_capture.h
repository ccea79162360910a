#pragma once
// Frame capture ("截图"): the picture that shows goes into a PNG file in the
// user's pictures folder, named after the film and the position, and a
// balloon says where it went.
#include <QMetaObject>
#include <QSet>
#include <QString>
#include <functional>

namespace qarvel::engine {
class Player;
}

namespace qarvel::playback {

inline const QString kCaptureSavedPrefix = QStringLiteral("截图已保存到：");
inline const QString kCaptureFailed = QStringLiteral("截图失败");
inline const QString kNothingToCapture = QStringLiteral("没有可截取的画面");

// "<title> 00-12-34.png": characters a file name cannot hold (and the
// separators of both systems) become "_".
QString captureFileName(const QString& title, int seconds);

struct CaptureServices {
    engine::Player& player;
    // The film's title as the player bar shows it; may be empty.
    std::function<QString()> title;
    std::function<void(const QString& text)> showBalloon;
    // Where the files go; default: the pictures folder + "/Qarvel".
    std::function<QString()> folder = {};
};

class FrameCapture {
public:
    explicit FrameCapture(CaptureServices services);
    ~FrameCapture();
    FrameCapture(const FrameCapture&) = delete;
    FrameCapture& operator=(const FrameCapture&) = delete;

    // Starts a capture; the balloon follows when the file is written. False
    // (and a balloon saying so) when nothing can be captured.
    bool capture();

private:
    void captured(const QString& path, bool saved);

    CaptureServices s_;
    QSet<QString> pending_;  // files of our captures still being written
    QMetaObject::Connection connection_;
};

}  // namespace qarvel::playback

#include "engine/picture_sound.h"

#include "engine/player.h"

namespace qarvel::engine {

namespace {
QString displayRatio(const QString& ratio) { return "lavfi=[setdar=" + ratio + "]"; }
}  // namespace

std::optional<QString> videoFilterFor(int displayMode, QSize widgetSize) {
    switch (DisplayMode(displayMode)) {
    case DisplayMode::Stretch:
        if (widgetSize.isEmpty()) return QString();
        return displayRatio(QString("%1/%2").arg(widgetSize.width()).arg(widgetSize.height()));
    case DisplayMode::ZoomToFit: return QString();
    case DisplayMode::Ratio4x3: return displayRatio("4/3");
    case DisplayMode::Ratio5x4: return displayRatio("5/4");
    case DisplayMode::Ratio16x9: return displayRatio("16/9");
    }
    return std::nullopt;
}

std::optional<QString> audioFilterFor(int soundChannel) {
    switch (SoundChannel(soundChannel)) {
    case SoundChannel::Mixed: return QString();
    case SoundChannel::Left: return QString("lavfi=[pan=stereo|c0=c0]");
    case SoundChannel::Right: return QString("lavfi=[pan=stereo|c1=c1]");
    case SoundChannel::LeftToAll: return QString("lavfi=[pan=stereo|c0=c0|c1=c0]");
    case SoundChannel::RightToAll: return QString("lavfi=[pan=stereo|c0=c1|c1=c1]");
    }
    return std::nullopt;
}

}  // namespace qarvel::engine

#include "app/application.h"

#include "app/main_window/main_window.h"
#include "engine/mpv_player.h"

#include <QGuiApplication>

namespace qarvel {

Application::Application(ApplicationOptions options) : options_(std::move(options)), player_(options_.player) {}

Application::~Application() {
    window_.reset();  // before the player it holds a reference to
}

bool Application::showMainWindow() {
    if (!player_) {
        engine::MpvPlayer::Options options;
        options.files = options_.files;
        options.sources = {options_.serviceBase + QStringLiteral("seed/")};
        // Platforms without a screen have no GL surface for the picture; the
        // film still plays (state, time, records) without one.
        const QString platform = QGuiApplication::platformName();
        options.videoOutput = platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
        auto player = std::make_unique<engine::MpvPlayer>(options);
        if (!player->isReady()) {
            errorText_ = player->errorText();
            return false;
        }
        ownPlayer_ = std::move(player);
        player_ = ownPlayer_.get();
    }
    window_ = std::make_unique<MainWindow>(MainWindowDeps{.files = options_.files,
                                                          .serviceBase = options_.serviceBase,
                                                          .player = *player_,
                                                          .commandLine = options_.playTarget});
    window_->show();
    return true;
}

bool Application::grabScreenshot(const QString& path) const { return window_ && window_->grabScreenshot(path); }

}  // namespace qarvel

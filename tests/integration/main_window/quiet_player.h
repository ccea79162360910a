#pragma once
// A player that plays nothing and remembers what it was told; enough for the
// main window's start-up and layout.
#include "engine/player.h"

#include <QWidget>
#include <memory>

namespace qarvel::testing {

class QuietPlayer final : public engine::Player {
public:
    QString url() const override { return url_; }
    void setUrl(const QString& a) override { url_ = a; }
    bool mute() const override { return false; }
    void setMute(bool) override {}
    void setFullScreen(bool) override {}
    bool fullScreen() const override { return false; }
    int volume() const override { return volume_; }
    void setVolume(int v) override { volume_ = v; }
    int duration() const override { return 0; }
    int transferRate() const override { return 0; }
    int position() const override { return 0; }
    void setPosition(int) override {}
    void play() override {}
    void pause() override {}
    void stop() override {}
    engine::PlayState playState() const override { return engine::PlayState::Idle; }
    void setDisplayMode(int) override {}
    int bitRate() const override { return 0; }
    void setSoundChannel(int) override {}
    int downloadProgress() const override { return 0; }
    void preloadNext(const QString&) override {}
    void setAdPageUrl(const QString& a) override { adPageUrl_ = a; }
    QString adPageUrl() const override { return adPageUrl_; }
    QWidget* videoWidget() override {
        if (!video_) video_ = new QWidget;  // the window takes it over
        return video_;
    }
    QStringList sources() const override { return {}; }
    void setSources(const QStringList&) override {}
    QString programFolder() const override { return {}; }
    QString cacheFolder() const override { return {}; }
    void configurationChanged() override {}

    int volume_ = 50;

private:
    QString url_;
    QString adPageUrl_;
    QWidget* video_ = nullptr;
};

}  // namespace qarvel::testing

#pragma once
// A player for scenario tests: it remembers what it was told, reports what the
// test sets, and moves between the obvious states on play, pause and stop.
// Nothing plays, nothing is fetched, nothing blocks.
#include "engine/player.h"

#include <QStringList>

namespace qarvel::fakes {

class FakePlayer : public engine::Player {
    Q_OBJECT
public:
    explicit FakePlayer(QObject* parent = nullptr);

    // Every call that changes something, in order, as text: "setUrl ADDRESS",
    // "play", "pause", "stop", "setPosition 30", "setVolume 50", "setMute 1",
    // "setFullScreen 0", "setDisplayMode 2", "setSoundChannel 4",
    // "preloadNext ADDRESS", "setAdPageUrl ADDRESS", "setSources A B",
    // "configurationChanged", "setSpeed 1.5".
    const QStringList& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }
    int count(const QString& call) const;

    // What the fake reports; set by the test (no call is recorded).
    void setState(engine::PlayState state) { state_ = state; }
    void setDurationValue(int seconds) { duration_ = seconds; }
    void setPositionValue(int seconds) { position_ = seconds; }
    void setTransferRateValue(int rate) { transferRate_ = rate; }
    void setBitRateValue(int rate) { bitRate_ = rate; }
    void setDownloadProgressValue(int perMille) { downloadProgress_ = perMille; }
    void setVideoWidget(QWidget* widget) { widget_ = widget; }
    void setCacheFolder(const QString& folder) { cacheFolder_ = folder; }
    void setProgramFolder(const QString& folder) { programFolder_ = folder; }

    int displayMode() const { return displayMode_; }
    int soundChannel() const { return soundChannel_; }
    QString preloaded() const { return preloaded_; }

    QString url() const override { return url_; }
    void setUrl(const QString& address) override;
    bool mute() const override { return mute_; }
    void setMute(bool muted) override;
    void setFullScreen(bool on) override;
    bool fullScreen() const override { return fullScreen_; }
    int volume() const override { return volume_; }
    void setVolume(int volume) override;
    int duration() const override { return duration_; }
    int transferRate() const override { return transferRate_; }
    // Reads back what was set, also past the end, as the real player does.
    int position() const override { return position_; }
    void setPosition(int seconds) override;
    void play() override;
    void pause() override;
    void stop() override;
    engine::PlayState playState() const override { return state_; }
    void setDisplayMode(int mode) override;
    int bitRate() const override { return bitRate_; }
    void setSoundChannel(int mode) override;
    int downloadProgress() const override { return downloadProgress_; }
    void preloadNext(const QString& address) override;
    void setAdPageUrl(const QString& address) override;
    QString adPageUrl() const override { return adPageUrl_; }
    QWidget* videoWidget() override { return widget_; }
    QStringList sources() const override { return sources_; }
    void setSources(const QStringList& sources) override;
    QString programFolder() const override { return programFolder_; }
    QString cacheFolder() const override { return cacheFolder_; }
    void configurationChanged() override;
    double speed() const override { return speed_; }
    void setSpeed(double speed) override {
        record(QString("setSpeed %1").arg(speed));
        speed_ = speed;
    }

private:
    void record(const QString& call) { calls_ << call; }

    QStringList calls_;
    engine::PlayState state_ = engine::PlayState::Idle;
    QString url_;
    bool mute_ = false;
    bool fullScreen_ = false;
    int volume_ = 100;
    int duration_ = 0;
    int position_ = 0;
    int transferRate_ = 0;
    int bitRate_ = 0;
    int downloadProgress_ = 0;
    int displayMode_ = 1;
    int soundChannel_ = 0;
    QString preloaded_;
    QString adPageUrl_;
    QWidget* widget_ = nullptr;
    QStringList sources_;
    QString programFolder_;
    QString cacheFolder_;
    double speed_ = 1.0;
};

}  // namespace qarvel::fakes

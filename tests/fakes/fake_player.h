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
    // "configurationChanged".
    const QStringList& calls() const { return m_calls; }
    void clearCalls() { m_calls.clear(); }
    int count(const QString& call) const;

    // What the fake reports; set by the test (no call is recorded).
    void setState(engine::PlayState state) { m_state = state; }
    void setDurationValue(int seconds) { m_duration = seconds; }
    void setPositionValue(int seconds) { m_position = seconds; }
    void setTransferRateValue(int rate) { m_transferRate = rate; }
    void setBitRateValue(int rate) { m_bitRate = rate; }
    void setDownloadProgressValue(int perMille) { m_downloadProgress = perMille; }
    void setVideoWidget(QWidget* widget) { m_widget = widget; }
    void setCacheFolder(const QString& folder) { m_cacheFolder = folder; }
    void setProgramFolder(const QString& folder) { m_programFolder = folder; }

    int displayMode() const { return m_displayMode; }
    int soundChannel() const { return m_soundChannel; }
    QString preloaded() const { return m_preloaded; }

    QString url() const override { return m_url; }
    void setUrl(const QString& address) override;
    bool mute() const override { return m_mute; }
    void setMute(bool muted) override;
    void setFullScreen(bool on) override;
    bool fullScreen() const override { return m_fullScreen; }
    int volume() const override { return m_volume; }
    void setVolume(int volume) override;
    int duration() const override { return m_duration; }
    int transferRate() const override { return m_transferRate; }
    // Reads back what was set, also past the end, as the real player does.
    int position() const override { return m_position; }
    void setPosition(int seconds) override;
    void play() override;
    void pause() override;
    void stop() override;
    engine::PlayState playState() const override { return m_state; }
    void setDisplayMode(int mode) override;
    int bitRate() const override { return m_bitRate; }
    void setSoundChannel(int mode) override;
    int downloadProgress() const override { return m_downloadProgress; }
    void preloadNext(const QString& address) override;
    void setAdPageUrl(const QString& address) override;
    QString adPageUrl() const override { return m_adPageUrl; }
    QWidget* videoWidget() override { return m_widget; }
    QStringList sources() const override { return m_sources; }
    void setSources(const QStringList& sources) override;
    QString programFolder() const override { return m_programFolder; }
    QString cacheFolder() const override { return m_cacheFolder; }
    void configurationChanged() override;

private:
    void record(const QString& call) { m_calls << call; }

    QStringList m_calls;
    engine::PlayState m_state = engine::PlayState::Idle;
    QString m_url;
    bool m_mute = false;
    bool m_fullScreen = false;
    int m_volume = 100;
    int m_duration = 0;
    int m_position = 0;
    int m_transferRate = 0;
    int m_bitRate = 0;
    int m_downloadProgress = 0;
    int m_displayMode = 1;
    int m_soundChannel = 0;
    QString m_preloaded;
    QString m_adPageUrl;
    QWidget* m_widget = nullptr;
    QStringList m_sources;
    QString m_programFolder;
    QString m_cacheFolder;
};

}  // namespace qarvel::fakes

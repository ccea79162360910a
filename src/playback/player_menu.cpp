#include "playback/player_menu.h"

#include "engine/player.h"
#include "playback/playback_speed.h"
#include "playback/transport_commands.h"
#include "state/main_window_state.h"

#include <QActionGroup>
#include <QMenu>
#include <cmath>

namespace qarvel::playback {

namespace {

struct Choice {
    const char* name;
    const char* caption;
    int mode;
    bool checked;
};

constexpr Choice kPictureItems[] = {
    {"q_la", "拉伸以适合窗口", 0, false},
    {"q_suo", "缩放以适合窗口", 1, true},
    {"q_43", "4:3", 2, false},
    {"q_54", "5:4", 3, false},
    {"q_169", "16:9", 4, false},
};
constexpr Choice kSoundItems[] = {
    {"q_shun", "混合声道", 0, true},
    {"q_szuo", "左声道", 1, false},
    {"q_syou", "右声道", 2, false},
    {"q_szuoq", "左声道扩展至全部", 4, false},
    {"q_syouq", "右声道扩展至全部", 5, false},
};
constexpr Choice kAfterPlayItems[] = {{"kaiqi", "自动关机", 1, false}, {"q_wu", "无操作", 0, true}};

QAction* addItem(QMenu* menu, const char* name, const QString& caption) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

QMenu* addSubmenu(QMenu& parent, const char* name, const char* caption) {
    QMenu* sub = parent.addMenu(QString::fromUtf8(caption));
    sub->menuAction()->setObjectName(QString::fromLatin1(name));
    return sub;
}

// A radio group: choosing an item marks it alone and hands its mode on.
template <size_t N>
void addGroup(QMenu* menu, const Choice (&items)[N], const std::function<void(int mode)>& chosen) {
    auto* group = new QActionGroup(menu);
    group->setExclusive(true);
    for (const Choice& c : items) {
        QAction* a = addItem(menu, c.name, QString::fromUtf8(c.caption));
        a->setCheckable(true);
        a->setChecked(c.checked);
        group->addAction(a);
        const int mode = c.mode;
        QObject::connect(a, &QAction::triggered, menu, [chosen, mode] { chosen(mode); });
    }
}

}  // namespace

PlayerMenu::PlayerMenu(QMenu& playerPopupMenu, MainWindowState& state, engine::Player& player,
                       TransportCommands& transport, PlayerMenuActions actions)
    : menu_(playerPopupMenu), state_(state), player_(player), transport_(transport), actions_(std::move(actions)) {
    QMenu& m = menu_;
    TransportCommands* t = &transport_;
    auto command = [&m, t](const char* name, const QString& caption, int button) {
        QObject::connect(addItem(&m, name, caption), &QAction::triggered, &m,
                         [t, button] { t->pressTransportButton(button); });
    };
    command("q_bo", QStringLiteral("播放/暂停(空格)"), TransportButton::PlayPause);
    command("q_stop", QStringLiteral("停止"), TransportButton::Stop);
    command("q_quan", QStringLiteral("全屏"), TransportButton::FullScreen);
    command("q_yin", kMuteTip, TransportButton::Mute);
    m.addSeparator()->setObjectName(QStringLiteral("q_xx"));

    engine::Player* p = &player_;
    addGroup(addSubmenu(m, "q_kuang", "视频框架"), kPictureItems, [p](int mode) { p->setDisplayMode(mode); });
    addGroup(addSubmenu(m, "q_shengdao", "声道调节"), kSoundItems, [p](int mode) { p->setSoundChannel(mode); });
    m.addSeparator()->setObjectName(QStringLiteral("qvod_zz"));
    MainWindowState* s = &state_;
    addGroup(addSubmenu(m, "q_wan", "播放完后"), kAfterPlayItems, [s](int mode) { s->ShutDownAfterPlay = mode == 1; });
    QObject::connect(addItem(&m, "q_jing", kCompactModeCaption), &QAction::triggered, &m,
                     [this] { toggleCompactModeItem(); });
}

QAction* PlayerMenu::item(const QString& name) const { return menu_.findChild<QAction*>(name); }

void PlayerMenu::setMuteCaption(const QString& caption) {
    if (QAction* a = item(QStringLiteral("q_yin"))) a->setText(caption);
}

void PlayerMenu::setCompactCaption(const QString& caption) {
    if (QAction* a = item(QStringLiteral("q_jing"))) a->setText(caption);
}

void PlayerMenu::toggleCompactModeItem() {
    QAction* a = item(QStringLiteral("q_jing"));
    if (!a) return;
    if (a->text() != kCompactModeCaption) {
        a->setText(kCompactModeCaption);
        if (actions_.leaveCompactMode) actions_.leaveCompactMode();
    } else {
        a->setText(kLeaveCompactCaption);
        if (actions_.pressWindowButton) actions_.pressWindowButton(WindowButton::CompactMode);
    }
}

void PlayerMenu::addExtras(PlaybackSpeed& speed, std::function<void()> capture) {
    QAction* before = item(QStringLiteral("qvod_zz"));
    auto submenu = [&](const char* name, const QString& caption) {
        auto* sub = new QMenu(caption, &menu_);
        sub->menuAction()->setObjectName(QString::fromLatin1(name));
        menu_.insertMenu(before, sub);
        return sub;
    };
    speedMenu_ = submenu("q_beisu", QStringLiteral("倍速"));
    auto* group = new QActionGroup(speedMenu_);
    PlaybackSpeed* s = &speed;
    for (double step : kSpeedSteps) {
        QAction* a = speedMenu_->addAction(speedCaption(step));
        a->setCheckable(true);
        a->setData(step);
        group->addAction(a);
        QObject::connect(a, &QAction::triggered, speedMenu_, [s, step] { s->setSpeed(step); });
    }
    markSpeed(speed.speed());

    audioMenu_ = submenu("q_yingui", QStringLiteral("音轨"));
    QObject::connect(audioMenu_, &QMenu::aboutToShow, audioMenu_, [this] { fillAudioTracks(); });
    fillAudioTracks();

    QAction* shot = new QAction(QStringLiteral("截图"), &menu_);
    shot->setObjectName(QStringLiteral("q_jietu"));
    menu_.insertAction(before, shot);
    QObject::connect(shot, &QAction::triggered, &menu_, [capture = std::move(capture)] {
        if (capture) capture();
    });
}

void PlayerMenu::addSeriesSkip(SeriesSkipItems items) {
    QAction* before = item(QStringLiteral("qvod_zz"));
    auto add = [&](const char* name, const QString& caption, const std::function<void()>& clicked) {
        auto* a = new QAction(caption, &menu_);
        a->setObjectName(QString::fromLatin1(name));
        menu_.insertAction(before, a);
        QObject::connect(a, &QAction::triggered, &menu_, [clicked] { clicked(); });
        return a;
    };
    QAction* opening = add("q_pt", QStringLiteral("设为片头结束"), items.markOpening);
    QAction* ending = add("q_pw", QStringLiteral("设为片尾开始"), items.markEnding);
    auto* skipping = new QAction(QStringLiteral("跳过片头片尾"), &menu_);
    skipping->setObjectName(QStringLiteral("q_tg"));
    skipping->setCheckable(true);
    skipping->setChecked(items.skipping);
    menu_.insertAction(before, skipping);
    QObject::connect(skipping, &QAction::toggled, &menu_, [set = items.setSkipping](bool on) { set(on); });
    QObject::connect(&menu_, &QMenu::aboutToShow, &menu_, [opening, ending, can = items.canMark] {
        const bool series = can();
        opening->setEnabled(series);
        ending->setEnabled(series);
    });
}

void PlayerMenu::markSpeed(double speed) {
    if (!speedMenu_) return;
    for (QAction* a : speedMenu_->actions()) a->setChecked(std::abs(a->data().toDouble() - speed) < 0.001);
}

namespace {
// A track's title and language, or the unnamed caption with its number.
QString trackCaption(int id, const QString& language, const QString& title, const QString& unnamed) {
    QString caption = title.trimmed();
    if (!language.isEmpty() && language != caption)
        caption = caption.isEmpty() ? language : caption + QStringLiteral(" (") + language + u')';
    return caption.isEmpty() ? unnamed.arg(id) : caption;
}
}  // namespace

QString audioTrackCaption(int id, const QString& language, const QString& title) {
    return trackCaption(id, language, title, QStringLiteral("音轨 %1"));
}

void PlayerMenu::fillAudioTracks() {
    if (!audioMenu_) return;
    audioMenu_->clear();
    const QList<engine::AudioTrack> tracks = player_.audioTracks();
    if (tracks.isEmpty()) {
        audioMenu_->addAction(QStringLiteral("无"))->setEnabled(false);
        return;
    }
    engine::Player* p = &player_;
    for (const engine::AudioTrack& t : tracks) {
        QAction* a = audioMenu_->addAction(audioTrackCaption(t.id, t.language, t.title));
        a->setCheckable(true);
        a->setChecked(t.selected);
        a->setData(t.id);
        const int id = t.id;
        QObject::connect(a, &QAction::triggered, audioMenu_, [p, id] { p->setAudioTrack(id); });
    }
}

void PlayerMenu::addSubtitles(std::function<void()> loadFile) {
    QAction* before = item(QStringLiteral("q_jietu"));
    if (!before) before = item(QStringLiteral("qvod_zz"));
    subtitleMenu_ = new QMenu(QStringLiteral("字幕"), &menu_);
    subtitleMenu_->menuAction()->setObjectName(QStringLiteral("q_zimu"));
    menu_.insertMenu(before, subtitleMenu_);
    loadSubtitle_ = std::move(loadFile);
    QObject::connect(subtitleMenu_, &QMenu::aboutToShow, subtitleMenu_, [this] { fillSubtitleTracks(); });
    fillSubtitleTracks();
}

void PlayerMenu::fillSubtitleTracks() {
    if (!subtitleMenu_) return;
    subtitleMenu_->clear();
    engine::Player* p = &player_;
    auto choice = [&](const QString& caption, bool checked, int id) {
        QAction* a = subtitleMenu_->addAction(caption);
        a->setCheckable(true);
        a->setChecked(checked);
        QObject::connect(a, &QAction::triggered, subtitleMenu_, [p, id] { p->setSubtitleTrack(id); });
    };
    bool shown = false;
    for (const engine::SubtitleTrack& t : player_.subtitleTracks()) {
        choice(trackCaption(t.id, t.language, t.title, QStringLiteral("字幕 %1")), t.selected, t.id);
        shown = shown || t.selected;
    }
    subtitleMenu_->addSeparator();
    QObject::connect(subtitleMenu_->addAction(kLoadSubtitleCaption), &QAction::triggered, subtitleMenu_,
                     [load = loadSubtitle_] {
                         if (load) load();
                     });
    choice(kSubtitlesOffCaption, !shown, 0);
}

}  // namespace qarvel::playback

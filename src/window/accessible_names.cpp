#include "window/accessible_names.h"

#include "window/picture_box.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <vector>

namespace qarvel::window {

namespace {

// The role a control is read as, kept on the widget for the interface factory.

// A button's name follows its state text (the tooltip: "播放" / "暂停",
// "置顶" / "取消置顶"); a caption that is pressed reads as its text.
QString spokenName(const QWidget* w) {
    if (!w->accessibleName().isEmpty()) return w->accessibleName();
    if (!w->toolTip().isEmpty()) return w->toolTip();
    if (const auto* label = qobject_cast<const QLabel*>(w)) return label->text().remove(QChar(u'∴')).trimmed();
    return {};
}

class ControlInterface : public QAccessibleWidget {
public:
    ControlInterface(QWidget* w, QAccessible::Role role) : QAccessibleWidget(w, role) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return spokenName(widget());
        // The state text is already the name: no second reading of it.
        if (t == QAccessible::Description && widget()->accessibleDescription().isEmpty()) return {};
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (pressable()) names.prepend(pressAction());
        return names;
    }
    void doAction(const QString& name) override {
        if (name == pressAction() && pressable()) pressWidget(widget());
        else QAccessibleWidget::doAction(name);
    }

private:
    bool pressable() const { return role() != QAccessible::Slider && widget()->isEnabled(); }
};

// The window's own controls and their roles. The factory is asked about every
// object, also the browser engine's, which may be half built or of a type
// whose details its library keeps to itself: it only looks addresses up here
// and calls nothing on an object that is not one of ours.
QHash<const QObject*, QAccessible::Role>& describedControls() {
    static QHash<const QObject*, QAccessible::Role> controls;
    return controls;
}

QAccessibleInterface* controlFactory(const QString&, QObject* object) {
    const auto found = describedControls().constFind(object);
    if (found == describedControls().cend()) return nullptr;
    return new ControlInterface(static_cast<QWidget*>(object), *found);
}

bool isPressKey(const QKeyEvent* e) {
    if (e->modifiers() & ~Qt::KeypadModifier) return false;
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Space;
}

bool isPressable(const QWidget* w) {
    const auto found = describedControls().constFind(w);
    return found != describedControls().cend() && *found != QAccessible::Slider;
}

// Enter and Space on a focused control, and the name change a screen reader
// is told of when a button's state text changes.
class ControlKeys : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* w = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::KeyPress && isPressable(w)) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (isPressKey(key)) {
                if (!key->isAutoRepeat()) pressWidget(w);
                return true;
            }
        } else if (event->type() == QEvent::ToolTipChange && w->accessibleName().isEmpty()) {
            QAccessibleEvent changed(w, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&changed);
        }
        return false;
    }
};

}  // namespace

void pressWidget(QWidget* widget) {
    if (!widget) return;
    const QPointF at = QRectF(widget->rect()).center();
    const QPointF global = widget->mapToGlobal(at);
    QMouseEvent down(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &down);
    QMouseEvent up(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &up);
}

bool pressesFocusedButton(const QWidget* focus, const QKeyEvent* e) { return isPressable(focus) && isPressKey(e); }

void describeControls(MainWindowControls& c) {
    static const bool installed = [] {
        QAccessible::installFactory(controlFactory);
        return true;
    }();
    (void)installed;

    auto* keys = new ControlKeys(c.mainWindow);
    // In the order they stand on screen: the tabs and window buttons of the
    // title band, the side tabs and strips of the pages, the control bar.
    std::vector<QWidget*> order;
    auto control = [&](QWidget* w, QAccessible::Role role, const QString& name = {}) {
        if (!w) return;
        if (!describedControls().contains(w))
            QObject::connect(w, &QObject::destroyed, [w] { describedControls().remove(w); });
        describedControls().insert(w, role);
        // A caption may have been read already (its text is announced as it
        // is set): that interface goes, so the next reading gets this role.
        if (QAccessible::isActive()) {
            QAccessibleInterface* read = QAccessible::queryAccessibleInterface(w);
            if (read && read->role() != role) QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(read));
        }
        if (!name.isEmpty()) w->setAccessibleName(name);
        w->setFocusPolicy(Qt::TabFocus);
        w->installEventFilter(keys);
        order.push_back(w);
    };
    using R = QAccessible::Role;
    using B = WindowButton;
    const std::pair<int, const char*> mainTabs[] = {
        {B::CatalogueTab, "影视"}, {B::PlayerTab, "播放"}, {B::LiveTvTab, "电视"}, {B::HighlightsTab, "精彩"}};
    for (auto [i, name] : mainTabs) control(c.windowButtons[i], R::PageTab, QString::fromUtf8(name));
    for (int i : {B::AlwaysOnTop, B::CompactMode, B::MainMenu, B::Minimise, B::Maximise, B::Close})
        control(c.windowButtons[i], R::Button);
    control(c.leaveCompactButton, R::Button);
    const std::pair<int, const char*> sideTabs[] = {
        {B::EpisodeListTab, "剧集列表"}, {B::TaskListTab, "网络任务"}, {B::LocalListTab, "本地播放"}};
    for (auto [i, name] : sideTabs) control(c.windowButtons[i], R::PageTab, QString::fromUtf8(name));
    control(c.sideListCommand, R::Button);
    control(c.windowButtons[B::PlayerSidebarStrip], R::Button);
    control(c.windowButtons[B::TvSidebarStrip], R::Button);
    control(c.webPlayerCloseButton, R::Button, QStringLiteral("关闭网页播放"));
    control(c.liveTvCloseButton, R::Button, QStringLiteral("关闭电视"));
    control(c.seekBar, R::Slider, QStringLiteral("播放进度"));
    using T = TransportButton;
    for (int i : {T::PlayPause, T::Stop, T::PreviousEpisode, T::NextEpisode, T::Mute})
        control(c.transportButtons[i], R::Button);
    control(c.volumeTrack, R::Slider, QStringLiteral("音量"));
    control(c.noticeLines[0], R::Link);
    for (int i : {T::OpenFile, T::FullScreen, T::Sidebar}) control(c.transportButtons[i], R::Button);
    for (size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);

    // Captions read as their text; what each one is comes with it.
    const std::pair<QWidget*, const char*> captions[] = {
        {c.statusText, "状态"}, {c.timeText, "播放时间"}, {c.filmTitle, "片名"}, {c.nextEpisodeNotice, "下一集"}};
    for (auto [w, what] : captions)
        if (w) w->setAccessibleDescription(QString::fromUtf8(what));
}

}  // namespace qarvel::window

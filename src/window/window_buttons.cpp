#include "window/window_buttons.h"

#include "window/units.h"

#include <QEvent>
#include <QWindow>

namespace qarvel::window {

WindowButtons::WindowButtons(MainWindowControls& c, MainWindowState& state, const Skin& skin, MainWindowLayout& layout,
                             WindowChrome& chrome)
    : QObject(c.mainWindow), c_(c), state_(state), skin_(skin), layout_(layout), chrome_(chrome) {
    for (PictureBox* b : c_.windowButtons) {
        connect(b, &PictureBox::clicked, this, &WindowButtons::pressWindowButton);
        connect(b, &PictureBox::pressed, this,
                [this](int index, Qt::MouseButton button, QPoint) { windowButtonMouseDown(index, button); });
    }
    c_.mainWindow->installEventFilter(this);
    actions.compactMode = [this] { enterCompactMode(); };
    actions.alwaysOnTop = [this] { toggleAlwaysOnTop(); };
}

bool WindowButtons::eventFilter(QObject* watched, QEvent* event) {
    if (watched == c_.mainWindow && event->type() == QEvent::MouseButtonDblClick) onWindowDoubleClick();
    return false;
}

void WindowButtons::windowButtonMouseDown(int, Qt::MouseButton button) {
    state_.RightButtonFlag = button != Qt::LeftButton ? 1 : 0;
}

void WindowButtons::onWindowDoubleClick() {
    if (state_.RightButtonFlag == 1) {
        state_.RightButtonFlag = 0;
        return;
    }
    pressWindowButton(WindowButton::Maximise);
}

void WindowButtons::toggleSidebar(PictureBox* strip, QWidget* sidebar) {
    if (strip->tip() != text::kCloseSidebar) {
        sidebar->show();
        strip->setTip(text::kCloseSidebar);
    } else {
        strip->setTip(text::kShowSidebar);
        sidebar->hide();
    }
}

void WindowButtons::enterCompactMode() {
    switch (state_.CurrentView) {
    case View::Nothing: return;
    case View::WebPlayer:
    case View::Player: pressWindowButton(WindowButton::PlayerTab); break;
    case View::LiveTv: pressWindowButton(WindowButton::LiveTvTab); break;
    }
    if (c_.mainWindow->isMaximized()) c_.mainWindow->showNormal();
    c_.leaveCompactButton->show();
    c_.logo->hide();
    c_.filmTitle->hide();
    for (PictureBox* b : c_.windowButtons) b->hide();
    c_.titleCaption->hide();
    if (state_.MainTab == MainTab::Player) {
        state_.CompactMode = 1;
        c_.webPlayerCloseButton->hide();
        c_.compactTitle->show();
        c_.playerSidebar->hide();
        if (chrome_.setCompactMenuCaption) chrome_.setCompactMenuCaption(text::kLeaveCompact);
    } else {
        state_.CompactMode = 2;
        c_.liveTvCloseButton->hide();
        c_.channelSidebar->hide();
    }
    c_.controlBar->hide();
    c_.mainWindow->resize(pixelsFromTwips(kCompactWidthTwips), pixelsFromTwips(kCompactHeightTwips));
    // The resize event may come later or not at all (same size): lay out now.
    layout_.layoutWindow();
    c_.windowButtons[WindowButton::CompactMode]->setPicture(
        skin_.piece(sprites::titleButton(WindowButton::CompactMode, false)));
    c_.windowButtons[WindowButton::CompactMode]->update();
}

void WindowButtons::toggleAlwaysOnTop() {
    PictureBox* button = c_.windowButtons[WindowButton::AlwaysOnTop];
    const bool turnOn = button->tip() == text::kOnTop;
    button->setPicture(skin_.piece(sprites::titleButton(WindowButton::AlwaysOnTop, false, false, turnOn)));
    button->setTip(turnOn ? text::kCancelOnTop : text::kOnTop);
    setAlwaysOnTop(turnOn ? 1 : 0);
}

void WindowButtons::setAlwaysOnTop(int on) {
    const bool top = on == 1;
    QWidget* w = c_.mainWindow;
    Qt::WindowFlags flags = w->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, top);
    // Telling the window itself keeps it where it is; setting the widget's
    // flags would recreate it hidden.
    w->overrideWindowFlags(flags);
    if (QWindow* handle = w->windowHandle()) handle->setFlags(flags);
    state_.TopMost = top ? -1 : 0;
}

void WindowButtons::pressWindowButton(int index) {
    c_.buttonBalloon->hide();
    chrome_.resetHoverColours();
    if (state_.RightButtonFlag == 1) {
        state_.RightButtonFlag = 0;
        return;
    }
    if (index < 0 || index >= kWindowButtonCount) return;
    PictureBox* button = c_.windowButtons[index];
    auto normalFace = [this](WindowButton b, bool maximised = false) {
        return skin_.piece(sprites::titleButton(b, false, maximised));
    };
    switch (WindowButton(index)) {
    case WindowButton::Minimise:
        c_.mainWindow->showMinimized();
        button->setPicture(normalFace(WindowButton::Minimise));
        break;
    case WindowButton::Maximise: {
        const bool maximise = !c_.mainWindow->isMaximized();
        if (maximise) c_.mainWindow->showMaximized();
        else c_.mainWindow->showNormal();
        button->setTip(maximise ? text::kRestore : text::kMaximise);
        button->setPicture(normalFace(WindowButton::Maximise, maximise));
        break;
    }
    case WindowButton::Close:
        button->setPicture(normalFace(WindowButton::Close));
        button->update();
        if (actions.close) actions.close();
        return;
    case WindowButton::CompactMode:
        if (actions.compactMode) actions.compactMode();
        break;
    case WindowButton::AlwaysOnTop:
        if (actions.alwaysOnTop) actions.alwaysOnTop();
        break;
    case WindowButton::MainMenu:
        button->setPicture(normalFace(WindowButton::MainMenu));
        button->update();
        if (actions.mainMenu) actions.mainMenu();
        return;
    case WindowButton::PlayerSidebarStrip:
        toggleSidebar(button, c_.playerSidebar);
        layout_.LayoutPlayerTab();
        layout_.layoutPlayerArea();
        break;
    case WindowButton::LocalListTab:
    case WindowButton::EpisodeListTab:
    case WindowButton::TaskListTab: layout_.showSideTab(SideTab(index), false); break;
    case WindowButton::CatalogueTab:
    case WindowButton::PlayerTab:
    case WindowButton::LiveTvTab:
    case WindowButton::HighlightsTab: layout_.showMainTab(MainTab(index), false); break;
    case WindowButton::TvSidebarStrip:
        toggleSidebar(button, c_.channelSidebar);
        layout_.LayoutTvTab();
        break;
    case WindowButton::SidebarHeader: break;
    }
    button->update();
}

}  // namespace qarvel::window

#include "window/window_buttons.h"

#include "window/units.h"

#include <QEvent>
#include <QWindow>

namespace qarvel::window {

WindowButtons::WindowButtons(MainWindowControls& c, MainWindowState& state, const Skin& skin, MainWindowLayout& layout,
                             WindowChrome& chrome)
    : QObject(c.BA1), c_(c), state_(state), skin_(skin), layout_(layout), chrome_(chrome) {
    for (PictureBox* b : c_.npc) {
        connect(b, &PictureBox::clicked, this, &WindowButtons::npc_Click);
        connect(b, &PictureBox::pressed, this,
                [this](int index, Qt::MouseButton button, QPoint) { npc_MouseDown(index, button); });
    }
    c_.BA1->installEventFilter(this);
    actions.compactMode = [this] { enterCompactMode(); };
    actions.alwaysOnTop = [this] { toggleAlwaysOnTop(); };
}

bool WindowButtons::eventFilter(QObject* watched, QEvent* event) {
    if (watched == c_.BA1 && event->type() == QEvent::MouseButtonDblClick) Form_DblClick();
    return false;
}

void WindowButtons::npc_MouseDown(int, Qt::MouseButton button) {
    state_.RightButtonFlag = button != Qt::LeftButton ? 1 : 0;
}

void WindowButtons::Form_DblClick() {
    if (state_.RightButtonFlag == 1) {
        state_.RightButtonFlag = 0;
        return;
    }
    npc_Click(WindowButton::Maximise);
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
    case View::Player: npc_Click(WindowButton::PlayerTab); break;
    case View::LiveTv: npc_Click(WindowButton::LiveTvTab); break;
    }
    if (c_.BA1->isMaximized()) c_.BA1->showNormal();
    c_.jbi->show();
    c_.Imi->hide();
    c_.bo_name->hide();
    for (PictureBox* b : c_.npc) b->hide();
    c_.ni_name->hide();
    if (state_.MainTab == MainTab::Player) {
        state_.CompactMode = 1;
        c_.ggx->hide();
        c_.ni_bo1->show();
        c_.l2->hide();
        if (chrome_.setCompactMenuCaption) chrome_.setCompactMenuCaption(text::kLeaveCompact);
    } else {
        state_.CompactMode = 2;
        c_.gtv->hide();
        c_.tvright->hide();
    }
    c_.bo_foot->hide();
    c_.BA1->resize(pixelsFromTwips(kCompactWidthTwips), pixelsFromTwips(kCompactHeightTwips));
    // The resize event may come later or not at all (same size): lay out now.
    layout_.Form_Resize();
    c_.npc[WindowButton::CompactMode]->setPicture(skin_.piece(sprites::titleButton(WindowButton::CompactMode, false)));
    c_.npc[WindowButton::CompactMode]->update();
}

void WindowButtons::toggleAlwaysOnTop() {
    PictureBox* button = c_.npc[WindowButton::AlwaysOnTop];
    const bool turnOn = button->tip() == text::kOnTop;
    button->setPicture(skin_.piece(sprites::titleButton(WindowButton::AlwaysOnTop, false, false, turnOn)));
    button->setTip(turnOn ? text::kCancelOnTop : text::kOnTop);
    zhi_d(turnOn ? 1 : 0);
}

void WindowButtons::zhi_d(int on) {
    const bool top = on == 1;
    QWidget* w = c_.BA1;
    Qt::WindowFlags flags = w->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, top);
    // Telling the window itself keeps it where it is; setting the widget's
    // flags would recreate it hidden.
    w->overrideWindowFlags(flags);
    if (QWindow* handle = w->windowHandle()) handle->setFlags(flags);
    state_.TopMost = top ? -1 : 0;
}

void WindowButtons::npc_Click(int index) {
    c_.P1->hide();
    chrome_.resetHoverColours();
    if (state_.RightButtonFlag == 1) {
        state_.RightButtonFlag = 0;
        return;
    }
    if (index < 0 || index >= kWindowButtonCount) return;
    PictureBox* button = c_.npc[index];
    auto normalFace = [this](WindowButton b, bool maximised = false) {
        return skin_.piece(sprites::titleButton(b, false, maximised));
    };
    switch (WindowButton(index)) {
    case WindowButton::Minimise:
        c_.BA1->showMinimized();
        button->setPicture(normalFace(WindowButton::Minimise));
        break;
    case WindowButton::Maximise: {
        const bool maximise = !c_.BA1->isMaximized();
        if (maximise) c_.BA1->showMaximized();
        else c_.BA1->showNormal();
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
        toggleSidebar(button, c_.l2);
        layout_.LayoutPlayerTab();
        layout_.qvod_Resize();
        break;
    case WindowButton::LocalListTab:
    case WindowButton::EpisodeListTab:
    case WindowButton::TaskListTab: layout_.SelectSideTab(SideTab(index), false); break;
    case WindowButton::CatalogueTab:
    case WindowButton::PlayerTab:
    case WindowButton::LiveTvTab:
    case WindowButton::HighlightsTab: layout_.SelectMainTab(MainTab(index), false); break;
    case WindowButton::TvSidebarStrip:
        toggleSidebar(button, c_.tvright);
        layout_.LayoutTvTab();
        break;
    case WindowButton::SidebarHeader: break;
    }
    button->update();
}

}  // namespace qarvel::window

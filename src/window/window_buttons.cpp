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
    npc_Click(1);
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
    case 0: return;
    case 1:
    case 2: npc_Click(9); break;
    case 3: npc_Click(13); break;
    default: break;
    }
    if (c_.BA1->isMaximized()) c_.BA1->showNormal();
    c_.jbi->show();
    c_.Imi->hide();
    c_.bo_name->hide();
    for (PictureBox* b : c_.npc) b->hide();
    c_.ni_name->hide();
    if (state_.MainTab == 9) {
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
    c_.npc[3]->setPicture(skin_.piece(1, 0, 0, 24, 24));
    c_.npc[3]->update();
}

void WindowButtons::toggleAlwaysOnTop() {
    PictureBox* button = c_.npc[4];
    if (button->tip() != text::kOnTop) {
        button->setPicture(skin_.piece(6, 0, 0, 24, 24));
        button->setTip(text::kOnTop);
        zhi_d(0);
    } else {
        button->setPicture(skin_.piece(6, 48, 0, 24, 24));
        button->setTip(text::kCancelOnTop);
        zhi_d(1);
    }
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
    if (index < 0 || index > 15) return;
    PictureBox* button = c_.npc[index];
    switch (index) {
    case 0:
        c_.BA1->showMinimized();
        button->setPicture(skin_.piece(1, 72, 0, 24, 24));
        break;
    case 1:
        if (c_.BA1->isMaximized()) {
            c_.BA1->showNormal();
            button->setTip(text::kMaximise);
            button->setPicture(skin_.piece(1, 96, 0, 24, 24));
        } else {
            c_.BA1->showMaximized();
            button->setTip(text::kRestore);
            button->setPicture(skin_.piece(5, 0, 0, 24, 24));
        }
        break;
    case 2:
        button->setPicture(skin_.piece(1, 120, 0, 24, 24));
        button->update();
        if (actions.close) actions.close();
        return;
    case 3:
        if (actions.compactMode) actions.compactMode();
        break;
    case 4:
        if (actions.alwaysOnTop) actions.alwaysOnTop();
        break;
    case 5:
        button->setPicture(skin_.piece(1, 48, 0, 24, 24));
        button->update();
        if (actions.mainMenu) actions.mainMenu();
        return;
    case 6:
        toggleSidebar(button, c_.l2);
        layout_.LayoutPlayerTab();
        layout_.qvod_Resize();
        break;
    case 7:
    case 11:
    case 12: layout_.SelectSideTab(index, false); break;
    case 8:
    case 9:
    case 13:
    case 14: layout_.SelectMainTab(index, false); break;
    case 15:
        toggleSidebar(button, c_.tvright);
        layout_.LayoutTvTab();
        break;
    default: break;
    }
    button->update();
}

}  // namespace qarvel::window

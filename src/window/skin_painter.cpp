#include "window/skin_painter.h"

#include "resources/skin_resources.h"

namespace qarvel::window {

SkinColours skinColours(int s) {
    if (s == 1) {
        return {QColor(0xe9, 0xf1, 0xfa), QColor(0xd6, 0xe4, 0xf3), QColor(0x1d, 0x4f, 0x86), QColor(0xe6, 0xf0, 0xfb),
                QColor(0x0e, 0x2c, 0x4d), QColor(0x5a, 0x86, 0xb5), QColor(0x3d, 0xa5, 0xf5), QColor(0xff, 0xff, 0xff),
                QColor(0x3d, 0xa5, 0xf5), QColor(0xff, 0xfb, 0xe6), QColor(0x33, 0x33, 0x33), QColor(0xff, 0xff, 0xff)};
    }
    return {QColor(0x26, 0x28, 0x2b), QColor(0xc8, 0xca, 0xcd), QColor(0x1b, 0x1c, 0x1e), QColor(0xb8, 0xbc, 0xc2),
            QColor(0x0c, 0x0c, 0x0d), QColor(0x4a, 0x4e, 0x54), QColor(0x2f, 0x9b, 0xe0), QColor(0xe8, 0xe8, 0xe8),
            QColor(0x2f, 0x9b, 0xe0), QColor(0xff, 0xfb, 0xe6), QColor(0x33, 0x33, 0x33), QColor(0xe8, 0xec, 0xf0)};
}

SkinPainter::SkinPainter(MainWindowControls& c, MainWindowState& state, Skin& skin, MainWindowLayout& layout,
                         WindowSettings& settings)
    : c_(c), state_(state), skin_(skin), layout_(layout), settings_(settings) {}

void SkinPainter::applySkin(int s) {
    skin_.load(s);
    if (state_.SkinApplied == 1) {
        layout_.PaintFrame();
        if (repaintSettingsDialog) repaintSettingsDialog();
        settings_.store(QStringLiteral("Skin"), QStringLiteral("Num"), QString::number(s));
    } else {
        layout_.LayoutMainArea();
        layout_.LayoutPlayerTab();
        layout_.LayoutTvTab();
        layout_.layoutPlayerArea();
        state_.SkinApplied = 1;
    }
    const QPixmap& logo = s != 0 ? skin_.a2() : skin_.a1();
    c_.logo->setPicture(logo);
    if (!logo.isNull()) c_.logo->resize(logo.deviceIndependentSize().toSize());
    applyColours(s);
    PaintButtons();
    layout_.showSideTab(state_.SideTab, true);
    layout_.showMainTab(state_.MainTab, true);
}

void SkinPainter::PaintButtons() {
    const bool maximised = c_.mainWindow->isMaximized();
    for (int i = WindowButton::Minimise; i <= WindowButton::MainMenu; ++i)
        c_.windowButtons[i]->setPicture(titleButtonFace(skin_, i, false, maximised, c_.windowButtons[i]->tip()));
    for (MainTab tab : {MainTab::Player, MainTab::Catalogue, MainTab::LiveTv, MainTab::Highlights})
        c_.windowButtons[tab]->setPicture(skin_.piece(sprites::mainTab(tab, false)));
    const QPixmap& header = skin_.slot(SkinSlot::SidebarHeader);
    QPixmap wideHeader = header.isNull() ? QPixmap() : header.scaled(QSize(203, 28) * header.devicePixelRatio());
    wideHeader.setDevicePixelRatio(header.devicePixelRatio());
    c_.windowButtons[WindowButton::SidebarHeader]->setPicture(wideHeader);
    for (SideTab tab : {SideTab::EpisodeList, SideTab::TaskList, SideTab::LocalList})
        c_.windowButtons[tab]->setPicture(skin_.piece(sprites::sideTab(tab, false)));
    for (int i = 0; i < WindowButton::TvSidebarStrip; ++i) c_.windowButtons[i]->update();

    // A skin chosen while a film plays or the sound is off keeps the faces
    // that say so; their tooltips name the action each button takes next.
    PaintPlayFace(c_.transportButtons[TransportButton::PlayPause]->tip() == QStringLiteral("暂停"));
    const bool muted = c_.transportButtons[TransportButton::Mute]->tip() == QStringLiteral("取消静音");
    for (int i = TransportButton::Stop; i < kTransportButtonCount; ++i)
        c_.transportButtons[i]->setPicture(
            skin_.piece(sprites::transportButton(i, false, i == TransportButton::Mute && muted)));
    c_.volumeTrack->setPicture(skin_.slot(SkinSlot::VolumeTrack));
    c_.volumeKnob->setPicture(skin_.slot(SkinSlot::VolumeKnob));
    for (PictureBox* b : c_.transportButtons) b->update();
}

void SkinPainter::PaintStopped() {
    PaintPlayFace(false);
    c_.transportButtons[TransportButton::Stop]->setPicture(
        skin_.piece(sprites::transportButton(TransportButton::Stop, false, false)));
    c_.transportButtons[TransportButton::Stop]->update();
}

void SkinPainter::PaintPlayFace(bool pause) {
    PictureBox* button = c_.transportButtons[TransportButton::PlayPause];
    button->setPicture(skin_.piece(sprites::transportButton(TransportButton::PlayPause, false, pause)));
    button->update();
}

void SkinPainter::applyColours(int s) {
    const SkinColours k = skinColours(s);
    auto background = [](QWidget* w, const QColor& colour) {
        QPalette pal = w->palette();
        pal.setColor(QPalette::Window, colour);
        w->setPalette(pal);
        w->setAutoFillBackground(true);
    };
    for (QWidget* w : {c_.playerSidebar, c_.catalogueWaitPanel, c_.channelSidebar, c_.cataloguePage, c_.playerPage,
                       c_.liveTvPage, c_.highlightsPage})
        background(w, k.panel);
    // The picture area is black in both skins, like the picture it stands for.
    background(c_.playerArea, Qt::black);
    background(c_.sidebarFooter, k.footer);
    background(c_.statusStrip, k.statusStrip);
    background(c_.buttonBalloon, k.balloon);
    background(c_.downloadedBar, k.downloaded);
    background(c_.playedBar, k.played);
    background(c_.volumeFill, k.volumeFill);
    c_.seekBar->setFill(k.seekTrack);
    c_.seekKnob->setFill(k.knob);
    for (Label* l : {c_.statusText, c_.timeText, c_.filmTitle}) l->setForeColour(k.statusText);
    c_.balloonText->setForeColour(k.balloonText);
    c_.titleCaption->setForeColour(k.title);
    c_.compactTitle->setForeColour(k.title);

    // The catalogue panel's pictures are drawn for the panel's colour; a
    // failure shown now stays shown in the new skin's drawing.
    const bool showingError =
        c_.catalogueRetryPicture->pixmap().cacheKey() == c_.catalogueErrorPicture->pixmap().cacheKey();
    c_.catalogueErrorPicture->setPixmap(errorPicture(s));
    c_.catalogueRetryPicture->setPixmap(showingError ? c_.catalogueErrorPicture->pixmap() : waitPicture(s));
}

}  // namespace qarvel::window

#pragma once
// Where each face of the window's buttons and tabs lies in the skin strips:
// one table, so that a painter asks for "the close button, hovered" and not
// for a strip number and pixel offsets of its own.
#include "state/window_ids.h"

namespace qarvel {

namespace skin_slot_ids {
// The skin's picture strips, by slot.
enum SkinSlot : int {
    Frame = 0,
    TitleButtons = 1,
    TitleButtonsHover = 2,
    ControlBar = 3,
    VolumeKnob = 4,
    RestoreButton = 5,  // the maximise button's face while maximised
    AlwaysOnTopButton = 6,
    TabSelected = 7,
    TabNormal = 8,
    SideTabs = 9,
    SidebarHeader = 10,
    SidebarStrip = 11,
    PlayPause = 12,
    Stop = 13,
    Mute = 14,
    VolumeTrack = 15,
    ScreenButtons = 16,  // full screen, open file, sidebar
    ScreenButtonsHover = 17,
    EpisodeButtons = 18,  // previous and next episode
};
}  // namespace skin_slot_ids
using skin_slot_ids::SkinSlot;

// A rectangle of one skin strip.
struct SkinPiece {
    int slot = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const SkinPiece&) const = default;
};

namespace sprites {

inline constexpr int kTitleButtonSize = 24;
inline constexpr int kTabWidth = 100;
inline constexpr int kTabHeight = 37;
inline constexpr int kSideTabWidth = 60;
inline constexpr int kSideTabHeight = 21;
inline constexpr int kStripWidth = 3;
inline constexpr int kStripFaceHeight = 43;
inline constexpr int kTransportSize = 25;
inline constexpr int kPlayPauseWidth = 58;
inline constexpr int kPlayPauseHeight = 43;

// The face of a title-bar button (Minimise … MainMenu). The maximise button
// shows the restore face while the window is maximised; the always-on-top
// button shows whether the window is kept on top.
constexpr SkinPiece titleButton(WindowButton button, bool hovered, bool maximised = false, bool onTop = false) {
    const int strip = hovered ? SkinSlot::TitleButtonsHover : SkinSlot::TitleButtons;
    const int hoverShift = hovered ? kTitleButtonSize : 0;
    auto face = [](int slot, int x) { return SkinPiece{slot, x, 0, kTitleButtonSize, kTitleButtonSize}; };
    switch (button) {
    case WindowButton::Minimise: return face(strip, 72);
    case WindowButton::Maximise: return maximised ? face(SkinSlot::RestoreButton, hoverShift) : face(strip, 96);
    case WindowButton::Close: return face(strip, 120);
    case WindowButton::CompactMode: return face(strip, 0);
    case WindowButton::AlwaysOnTop: return face(SkinSlot::AlwaysOnTopButton, (onTop ? 48 : 0) + hoverShift);
    case WindowButton::MainMenu: return face(strip, 48);
    default: return {};
    }
}

// Left edge of a main tab's face in the tab strips.
constexpr int mainTabX(MainTab tab) {
    switch (tab) {
    case MainTab::Player: return 0;
    case MainTab::Catalogue: return 100;
    case MainTab::LiveTv: return 200;
    case MainTab::Highlights: return 300;
    }
    return 0;
}
constexpr SkinPiece mainTab(MainTab tab, bool selected) {
    return {selected ? SkinSlot::TabSelected : SkinSlot::TabNormal, mainTabX(tab), 0, kTabWidth, kTabHeight};
}

// A side tab's face: the selected one on the strip's top row, the others below.
constexpr SkinPiece sideTab(SideTab tab, bool selected) {
    int x = 0;
    switch (tab) {
    case SideTab::EpisodeList: x = 0; break;
    case SideTab::TaskList: x = 60; break;
    case SideTab::LocalList: x = 120; break;
    }
    return {SkinSlot::SideTabs, x, selected ? 0 : kSideTabHeight, kSideTabWidth, kSideTabHeight};
}

// The sidebar strip's face: an arrow to close the sidebar, or to open it.
constexpr SkinPiece sidebarStrip(bool sidebarShown) {
    return {SkinSlot::SidebarStrip, sidebarShown ? 0 : 3, 0, kStripWidth, kStripFaceHeight};
}

// The faces of the control bar's buttons, by TransportButton index: normal
// and hover x, and for play/pause and mute the pair of their other state.
struct TransportFaceRow {
    int slot, normal, hover, otherNormal, otherHover;
    bool hoverOnNextSlot;  // the hover face lies in the strip after its own
};
inline constexpr TransportFaceRow kTransportFaces[8] = {
    {SkinSlot::PlayPause, 0, 58, 116, 174, false},   {SkinSlot::Stop, 0, 25, 0, 25, false},
    {SkinSlot::Mute, 0, 25, 50, 75, false},          {SkinSlot::ScreenButtons, 50, 50, 50, 50, true},
    {SkinSlot::ScreenButtons, 25, 25, 25, 25, true}, {SkinSlot::EpisodeButtons, 0, 25, 0, 25, false},
    {SkinSlot::ScreenButtons, 75, 75, 75, 75, true}, {SkinSlot::EpisodeButtons, 50, 75, 50, 75, false},
};
// `other`: play/pause showing pause, mute showing unmute.
constexpr SkinPiece transportButton(int index, bool hovered, bool other) {
    if (index < 0 || index > 7) return {};
    const TransportFaceRow& row = kTransportFaces[index];
    const int slot = hovered && row.hoverOnNextSlot ? row.slot + 1 : row.slot;
    const int x = other ? (hovered ? row.otherHover : row.otherNormal) : (hovered ? row.hover : row.normal);
    const bool wide = index == 0;
    return {slot, x, 0, wide ? kPlayPauseWidth : kTransportSize, wide ? kPlayPauseHeight : kTransportSize};
}

}  // namespace sprites

}  // namespace qarvel

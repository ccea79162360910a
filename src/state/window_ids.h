#pragma once
// Names for the numbers the main window is built on: its sixteen buttons,
// the tabs those buttons select, the views of the player area and the eleven
// browser panes. The values are the numbers the window has always used (a tab
// is the index of its button, a pane the digit of WebN), so whatever was
// stored or compared before means the same. Each enum sits in a namespace of
// its own so that its enumerators are written qualified (MainTab::Player) and
// never collide; they still convert to int, for indexing the button and pane
// arrays.
#include <cstddef>
#include <cstdint>

namespace qarvel {

namespace window_button_ids {
// The window buttons `windowButtons`, by index.
enum WindowButton : int {
    Minimise = 0,
    Maximise = 1,
    Close = 2,
    CompactMode = 3,
    AlwaysOnTop = 4,
    MainMenu = 5,
    PlayerSidebarStrip = 6,  // shows or hides the player tab's sidebar
    LocalListTab = 7,
    CatalogueTab = 8,
    PlayerTab = 9,
    SidebarHeader = 10,
    EpisodeListTab = 11,
    TaskListTab = 12,
    LiveTvTab = 13,
    HighlightsTab = 14,
    TvSidebarStrip = 15,  // shows or hides the live-TV tab's channel list
};
inline constexpr int kWindowButtonCount = 16;
}  // namespace window_button_ids
using window_button_ids::kWindowButtonCount;
using window_button_ids::WindowButton;

namespace transport_button_ids {
// The control bar's buttons `transportButtons`, by index.
enum TransportButton : int {
    PlayPause = 0,
    Stop = 1,
    Mute = 2,
    FullScreen = 3,
    OpenFile = 4,
    PreviousEpisode = 5,
    Sidebar = 6,
    NextEpisode = 7,
};
inline constexpr int kTransportButtonCount = 8;
}  // namespace transport_button_ids
using transport_button_ids::kTransportButtonCount;
using transport_button_ids::TransportButton;

namespace main_tab_ids {
// The main tabs: each is the index of the button that selects it.
enum MainTab : int {
    Catalogue = WindowButton::CatalogueTab,
    Player = WindowButton::PlayerTab,
    LiveTv = WindowButton::LiveTvTab,
    Highlights = WindowButton::HighlightsTab,
};
}  // namespace main_tab_ids
using main_tab_ids::MainTab;

namespace side_tab_ids {
// The tabs of the player tab's sidebar, likewise button indexes.
enum SideTab : int16_t {
    LocalList = WindowButton::LocalListTab,
    EpisodeList = WindowButton::EpisodeListTab,
    TaskList = WindowButton::TaskListTab,  // the network records
};
}  // namespace side_tab_ids
using side_tab_ids::SideTab;

namespace view_ids {
// What the player area shows.
enum View : int {
    Nothing = 0,
    WebPlayer = 1,  // the service's player page in Web2
    Player = 2,     // the player component
    LiveTv = 3,     // a channel in Web10
};
}  // namespace view_ids
using view_ids::View;

namespace pane_ids {
// The browser panes: Pane::Catalogue is Web1 … Pane::ChannelList is Web11.
enum Pane : int {
    Catalogue = 1,
    WebPlayer = 2,
    TaskList = 3,  // the network record list page
    LocalList = 4,
    EpisodeList = 5,
    UsagePing = 6,
    PauseAd = 7,
    StopAd = 8,
    Highlights = 9,
    LiveTv = 10,
    ChannelList = 11,
};
inline constexpr int kPaneCount = 11;
}  // namespace pane_ids
using pane_ids::kPaneCount;
using pane_ids::Pane;

// Position of a pane in a zero-based table of the eleven panes.
constexpr std::size_t paneSlot(Pane pane) { return std::size_t(pane) - 1; }

}  // namespace qarvel

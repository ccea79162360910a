// Out of line, where every part's type is complete.
#include "app/app_parts.h"

#include "app/main_window/main_window.h"
#include "app/player_host/player_host.h"
#include "app/shell_commands.h"
#include "app/single_instance.h"
#include "dialogs/context_menus.h"
#include "dialogs/settings_dialog.h"
#include "engine/player.h"
#include "extras/online_extras.h"
#include "platform/media_controls.h"
#include "platform/mpris_service.h"
#include "platform/power_off.h"
#include "platform/process_finder.h"
#include "platform/screen_inhibitor.h"
#include "platform/text_fetcher.h"
#include "platform/user_dialogs.h"
#include "playback/frame_capture.h"
#include "playback/key_commands.h"
#include "playback/playback_speed.h"
#include "playback/player_bar_mouse.h"
#include "playback/player_menu.h"
#include "playback/status_poll.h"
#include "playback/stop_command.h"
#include "playback/transport_commands.h"
#include "playback/view_switcher.h"
#include "records/record_commands.h"
#include "records/record_list_page.h"
#include "records/record_store.h"
#include "state/write_failure_notice.h"
#include "web/episode_sequencer.h"
#include "web/link_router.h"
#include "web/pane_events.h"
#include "web/list_pane_reloads.h"
#include "web/pane_navigator.h"
#include "window/key_preview.h"
#include "window/main_window_layout.h"
#include "window/skin_painter.h"
#include "window/window_buttons.h"
#include "window/window_chrome.h"

namespace qarvel {

AppParts::AppParts() = default;
AppParts::~AppParts() = default;

}  // namespace qarvel

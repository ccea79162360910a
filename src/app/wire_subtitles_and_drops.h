#pragma once
// The player's subtitles and what is dropped on the window: the "字幕" item
// of the player menu, films, folders and subtitle files dropped anywhere on
// the main window, and the hardware decoding setting ("s_hwdec" in "S_q",
// on unless "0").
namespace qarvel {

class Application;
namespace platform {
class UserDialogs;
}

// Runs once the window's subsystems exist and before its first film.
void wireSubtitlesAndDrops(Application& app, platform::UserDialogs& dialogs);

}  // namespace qarvel

#pragma once
// Skipping of series openings and endings, joined to the running window: the
// marks file in the program folder, the player menu's items, the setting that
// turns it off, the poll's tick and the first picture of each film.
namespace qarvel {
class MainWindow;
struct ProgramFiles;
namespace engine {
class Player;
}
namespace playback {
class PlayerMenu;
}

// The parts live as long as the window's poll timer.
void wireSeriesSkip(MainWindow& window, engine::Player& player, playback::PlayerMenu& menu, const ProgramFiles& files);

}  // namespace qarvel

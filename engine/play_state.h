#pragma once
// The one place where the player's own condition becomes a state code.
#include "engine/cache/fetch_condition.h"
#include "engine/player.h"

namespace qarvel::engine {

// Where the current film is in its life, as the engine tracks it.
enum class LoadPhase {
    Empty,       // no address
    Idle,        // address set, nothing loaded (never started, or it failed)
    Connecting,  // waiting for the source's first answer before the film can be opened
    Loading,     // handed to the player, not yet opened
    Loaded,      // opened; the player's flags below tell the rest
    Stopping,    // stop requested, the player has not confirmed it
    Stopped,
    Ended,  // the player closed the film at its end
};

struct PlayerSnapshot {
    LoadPhase phase = LoadPhase::Empty;
    FetchCondition fetch = FetchCondition::None;
    bool paused = false;          // paused by the user
    bool pausedForCache = false;  // the player waits for data
    bool seeking = false;
    bool endReached = false;  // held at the end of the film
};

PlayState mapPlayState(const PlayerSnapshot& s);

}  // namespace qarvel::engine

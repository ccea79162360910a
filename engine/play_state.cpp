#include "engine/play_state.h"

namespace qarvel::engine {

namespace {

// While the player waits for data, a fetch that lost its source says so.
PlayState waitingForData(FetchCondition fetch) {
    return fetch == FetchCondition::Reconnecting ? PlayState::Reconnecting : PlayState::Buffering;
}

PlayState beforeOpen(FetchCondition fetch) {
    switch (fetch) {
    case FetchCondition::Connecting: return PlayState::Connecting;
    case FetchCondition::Reconnecting: return PlayState::Reconnecting;
    default: return PlayState::PreparingToRead;
    }
}

}  // namespace

PlayState mapPlayState(const PlayerSnapshot& s) {
    switch (s.phase) {
    case LoadPhase::Empty: return PlayState::Idle;
    case LoadPhase::Idle: return PlayState::Idle;
    case LoadPhase::Stopped: return PlayState::Stopped;
    case LoadPhase::Stopping: return PlayState::Stopping;
    case LoadPhase::Ended: return PlayState::PlayEnded;
    case LoadPhase::Connecting:
        return s.fetch == FetchCondition::Reconnecting ? PlayState::Reconnecting : PlayState::Connecting;
    case LoadPhase::Loading: return beforeOpen(s.fetch);
    case LoadPhase::Loaded:
        if (s.endReached) return PlayState::PlayEnded;
        if (s.paused) return PlayState::Paused;
        if (s.pausedForCache || s.seeking) return waitingForData(s.fetch);
        return PlayState::Playing;
    }
    return PlayState::Idle;
}

}  // namespace qarvel::engine

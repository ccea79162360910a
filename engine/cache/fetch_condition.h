#pragma once

namespace qarvel::engine {

// What the fetch of a film is doing (None for local files and streams).
enum class FetchCondition { None, Connecting, Transferring, Reconnecting, Complete, Failed };

}  // namespace qarvel::engine

#pragma once
// SIGTERM, SIGINT and SIGHUP (a logout, a service manager, Ctrl+C) end the
// program the ordinary way: the event loop quits, so aboutToQuit's handlers
// (the film's position among them) run instead of the process just dying.
#include <functional>

namespace qarvel::platform {

// Call once, after the application object exists. False when the signals
// could not be routed; they then keep their default action. With an ending,
// a signal runs it instead of quitting at once (the program's own exit).
bool quitOnTerminationSignals(std::function<void()> ending = {});

}  // namespace qarvel::platform

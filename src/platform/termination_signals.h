#pragma once
// SIGTERM, SIGINT and SIGHUP (a logout, a service manager, Ctrl+C) end the
// program the ordinary way: the event loop quits, so aboutToQuit's handlers
// (the film's position among them) run instead of the process just dying.
namespace qarvel::platform {

// Call once, after the application object exists. False when the signals
// could not be routed; they then keep their default action.
bool quitOnTerminationSignals();

}  // namespace qarvel::platform

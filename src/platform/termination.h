#pragma once

#include <functional>

// Lets the program keep what it must before it ends other than through its normal exit.
//  - SIGTERM (a logout, `kill`), SIGHUP (the terminal goes) and SIGINT (Ctrl+C): the handler
//    only writes the signal's number to a pipe; the event loop reads it and calls `keep` as
//    ordinary code, and the process then ends by that same signal.
//  - exit() while the event loop runs: Qt's X11 platform calls exit(1) when the connection to
//    the X server breaks (a crashed or stopped server), from its event processing or from
//    Xlib's I/O error handler. `keep` runs from an atexit handler then.
//  - SIGPIPE is caught (and ignored), so a write to the broken connection reaches that exit
//    instead of ending the process at once. Programs started later get the default again.
namespace termination {

// Needs a QCoreApplication. Once only.
void install(std::function<void()> keep);
// The normal exit from here on: `keep` is no longer called.
void uninstall();

}  // namespace termination

#pragma once

#include <QByteArray>
#include <vector>

namespace remote {

// Exit statuses of `velmo --remote`.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;   // the board refused or failed the command
inline constexpr int kExitRefused = 2;  // unknown command or bad argument: nothing was sent
inline constexpr int kExitNoBoard = 3;  // no session bus, or no board on it answered

// `velmo --remote ...`: `words` are the arguments after "--remote", as the system's bytes. Sends
// one command to a running board and never starts one. Needs a QCoreApplication, not a display.
int runClient(const std::vector<QByteArray>& words);

}  // namespace remote

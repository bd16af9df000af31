// Ending the program at once when the connection to the window system is
// lost (the X server killed, the desktop logged out), without the teardown
// that would talk to the dead connection and never finish.
#pragma once

namespace skyloom {

// The line printed on standard error before the exit with status 1.
constexpr const char* LOST_DISPLAY_MESSAGE = "skyloom: lost the display\n";

// From now on a lost X connection prints LOST_DISPLAY_MESSAGE and ends the
// process with status 1 at once: no exit handlers, no static destructors
// (the display session's would release the window through the connection).
// A write to the dead connection then shows up as that loss rather than as
// SIGPIPE. Installing it again changes nothing.
void ExitWhenDisplayLost();

}  // namespace skyloom

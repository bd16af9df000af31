// The X I/O error handler that ends the process when the display goes away.
// Xlib calls it for a connection that can no longer be read or written; its
// own default calls exit(), whose static teardown then loops on the dead
// connection, so this one leaves with _exit() instead.
#include "runtime/lost_display.h"

#include <X11/Xlib.h>
#include <signal.h>
#include <unistd.h>

#include <cstring>

namespace skyloom {

namespace {

constexpr int LOST_DISPLAY_STATUS = 1;

int LeaveOnLostConnection(Display*) {
  // Only async-signal-safe calls: the process may be in any state here.
  const ssize_t written =
      write(STDERR_FILENO, LOST_DISPLAY_MESSAGE, std::strlen(LOST_DISPLAY_MESSAGE));
  (void)written;
  _exit(LOST_DISPLAY_STATUS);
}

}  // namespace

void ExitWhenDisplayLost() {
  signal(SIGPIPE, SIG_IGN);
  XSetIOErrorHandler(LeaveOnLostConnection);
}

}  // namespace skyloom

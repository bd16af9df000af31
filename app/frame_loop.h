// The viewer's life: open the display in the chosen mode, then run frames
// until Escape is held or the window is asked to close.
#pragma once

#include <functional>

#include "app/window_mode.h"

namespace skyloom {

// The work that start-up and each frame add around the loop; empty steps are
// skipped. A start-up step returns 0 to go on, or the exit status that ends
// the program at once (having said why on standard error).
struct TViewerSteps {
  std::function<int()> before_display;  // before the display opens
  std::function<int()> after_display;   // once the display is open
  std::function<void()> frame_work;     // each frame, between Cls and Flip
  int frame_limit = 0;                  // frames to run before exiting with 0; 0: no limit
  // Whether the frame's work has taken Escape for itself (a prompt open), so
  // that holding it does not quit; empty: never.
  std::function<bool()> escape_taken;
  TWindowRequest window;  // full screen (the default) or a window
};

constexpr int ESCAPE_KEY = 27;
constexpr int FRAME_SLEEP_MS = 20;
constexpr const char16_t* WINDOW_TITLE = u"Skyloom";

// Runs start-up and the frame loop. Returns the process exit status: 0 after
// Escape, a close request or the frame limit; 1 when no display could be
// opened (a one-line reason is printed to standard error); a start-up step's
// own status when it fails.
int RunViewer(const TViewerSteps& steps);

// Whether the loop ends after this frame: Escape held and not taken by the
// frame's work, or the window asked to close.
bool ExitWanted(const TViewerSteps& steps);

}  // namespace skyloom

// The viewer's life: open the display in the chosen mode, then run frames
// until Escape is held or the window is asked to close.
#pragma once

#include <functional>

namespace skyloom {

// The work that start-up and each frame add around the loop; empty steps are
// skipped.
struct TViewerSteps {
  std::function<void()> before_display;  // before the display opens
  std::function<void()> after_display;   // once the display is open
  std::function<void()> frame_work;      // each frame, between Cls and Flip
};

constexpr int ESCAPE_KEY = 27;
constexpr int FRAME_SLEEP_MS = 20;
constexpr const char16_t* WINDOW_TITLE = u"Skyloom";

// Runs start-up and the frame loop. Returns the process exit status: 0 after
// Escape or a close request, 1 when no display could be opened (a one-line
// reason is printed to standard error).
int RunViewer(const TViewerSteps& steps);

}  // namespace skyloom

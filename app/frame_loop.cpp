// Start-up around the display and the frame loop: clear, work, flip, test for
// exit, sleep 20 ms.
#include "app/frame_loop.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "runtime/display.h"

namespace skyloom {

namespace {

int Run(const std::function<int()>& step) {
  return step ? step() : 0;
}

int Fail(const std::string& reason) {
  std::fprintf(stderr, "skyloom: cannot open the display: %s\n", reason.c_str());
  return 1;
}

}  // namespace

bool ExitWanted(const TViewerSteps& steps) {
  const bool escape_taken = steps.escape_taken && steps.escape_taken();
  return (IsKeyDown(ESCAPE_KEY) && !escape_taken) || TakeCloseRequest();
}

int RunViewer(const TViewerSteps& steps) {
  if (const int status = Run(steps.before_display)) return status;
  SetWindowTitle(WINDOW_TITLE);
  if (const std::string reason = OpenViewerDisplay(steps.window); !reason.empty()) {
    return Fail(reason);
  }
  if (const int status = Run(steps.after_display)) return status;
  for (int64_t frames = 1;; ++frames) {
    Cls();
    if (steps.frame_work) steps.frame_work();
    Flip(-1);
    if (ExitWanted(steps) || frames == steps.frame_limit) return 0;
    SleepMilliseconds(FRAME_SLEEP_MS);
  }
}

}  // namespace skyloom

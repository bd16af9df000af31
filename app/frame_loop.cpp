// Start-up around the display and the frame loop: clear, work, flip, test for
// exit, sleep 20 ms.
#include "app/frame_loop.h"

#include <cstdio>
#include <string>

#include "app/display_mode.h"
#include "runtime/display.h"

namespace skyloom {

namespace {

void Run(const std::function<void()>& step) {
  if (step) step();
}

int Fail(const std::string& reason) {
  std::fprintf(stderr, "skyloom: cannot open the display: %s\n", reason.c_str());
  return 1;
}

bool ExitWanted() {
  return IsKeyDown(ESCAPE_KEY) || TakeCloseRequest();
}

}  // namespace

int RunViewer(const TViewerSteps& steps) {
  Run(steps.before_display);
  SetWindowTitle(WINDOW_TITLE);
  const std::vector<TGraphicsMode> modes = GraphicsModes();
  const std::optional<TGraphicsMode> mode = ChooseDisplayMode(modes);
  if (!mode) {
    return Fail(DisplayError().empty() ? "the screen offers no display mode" : DisplayError());
  }
  if (!OpenDisplay(mode->width, mode->height, mode->depth, mode->hertz)) {
    return Fail(DisplayError());
  }
  Run(steps.after_display);
  for (;;) {
    Cls();
    Run(steps.frame_work);
    Flip(-1);
    if (ExitWanted()) return 0;
    SleepMilliseconds(FRAME_SLEEP_MS);
  }
}

}  // namespace skyloom

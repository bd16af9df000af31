// Choosing the window size, opening the display full screen or windowed,
// and the Alt+Enter switch between the two.
#include "app/window_mode.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "app/command_line.h"
#include "app/display_mode.h"
#include "runtime/display.h"

namespace skyloom {

namespace {

constexpr int WINDOW_SHARE_NUMERATOR = 3;  // three quarters of a small screen
constexpr int WINDOW_SHARE_DENOMINATOR = 4;

std::optional<TGraphicsMode> FullscreenMode(std::string& reason) {
  const std::optional<TGraphicsMode> mode = ChooseDisplayMode(GraphicsModes());
  if (!mode) reason = DisplayError().empty() ? "the screen offers no display mode" : DisplayError();
  return mode;
}

// The asked size, or the default one for the desktop.
void WindowSize(const TWindowRequest& request, int& width, int& height) {
  if (request.width > 0 && request.height > 0) {
    width = request.width;
    height = request.height;
    return;
  }
  int screen_width = DEFAULT_WINDOW_WIDTH, screen_height = DEFAULT_WINDOW_HEIGHT;
  DesktopSize(screen_width, screen_height);
  DefaultWindowSize(screen_width, screen_height, width, height);
}

}  // namespace

void DefaultWindowSize(int screen_width, int screen_height, int& width, int& height) {
  if (screen_width >= DEFAULT_WINDOW_WIDTH && screen_height >= DEFAULT_WINDOW_HEIGHT) {
    width = DEFAULT_WINDOW_WIDTH;
    height = DEFAULT_WINDOW_HEIGHT;
    return;
  }
  width =
      std::max(MIN_WINDOW_WIDTH, screen_width * WINDOW_SHARE_NUMERATOR / WINDOW_SHARE_DENOMINATOR);
  height = std::max(MIN_WINDOW_HEIGHT,
                    screen_height * WINDOW_SHARE_NUMERATOR / WINDOW_SHARE_DENOMINATOR);
}

std::string OpenViewerDisplay(const TWindowRequest& request) {
  std::string reason;
  if (!request.window) {
    const std::optional<TGraphicsMode> mode = FullscreenMode(reason);
    if (!mode) return reason;
    return OpenDisplay(mode->width, mode->height, mode->depth, mode->hertz) ? "" : DisplayError();
  }
  GraphicsModes();  // starts the window system, so that a missing one is reported
  if (!DisplayError().empty()) return DisplayError();
  int width = 0, height = 0;
  WindowSize(request, width, height);
  if (!OpenDisplay(width, height, 0, 0)) return DisplayError();
  SetDisplayMinimumSize(MIN_WINDOW_WIDTH, MIN_WINDOW_HEIGHT);
  return "";
}

TDisplaySwitch::TDisplaySwitch(const TWindowRequest& request)
    : _window_width(request.width), _window_height(request.height) {}

void TDisplaySwitch::Poll() {
  if (!_requested) return;
  _requested = false;
  Switch();
}

bool TDisplaySwitch::Switch() {
  if (DisplayWidth() == 0) return false;
  int min_width = 0, min_height = 0;
  DisplayMinimumSize(min_width, min_height);
  if (!DisplayFullscreen()) {
    std::string reason;
    const std::optional<TGraphicsMode> mode = FullscreenMode(reason);
    if (!mode) return false;
    const int width = DisplayWidth(), height = DisplayHeight();
    if (!ReopenDisplay(mode->width, mode->height, mode->depth, mode->hertz)) return false;
    _window_width = width;
    _window_height = height;
  } else {
    if (_window_width <= 0 || _window_height <= 0) {
      WindowSize({true, 0, 0}, _window_width, _window_height);
    }
    const int width = std::max(_window_width, min_width);
    const int height = std::max(_window_height, min_height);
    if (!ReopenDisplay(width, height, 0, 0)) return false;
  }
  SetDisplayMinimumSize(min_width, min_height);
  return true;
}

}  // namespace skyloom

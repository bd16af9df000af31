// Full screen or a window: opening the viewer's display the way the command
// line asks, and Alt+Enter switching between the two while it runs.
#pragma once

#include <string>

namespace skyloom {

// The size of a window opened without a size given, on a screen at least
// as large; a smaller screen gets a window of three quarters of its size.
constexpr int DEFAULT_WINDOW_WIDTH = 1280;
constexpr int DEFAULT_WINDOW_HEIGHT = 800;
// Enter (13) pressed with Alt held switches the display.
constexpr int ENTER_KEY = 13;

// How the display opens: full screen in the widest 32-bit mode, or a
// window of width x height (0 x 0: the default size for the screen).
struct TWindowRequest {
  bool window = false;
  int width = 0;
  int height = 0;
};

// The default window size for a screen of that size.
void DefaultWindowSize(int screen_width, int screen_height, int& width, int& height);

// Opens the display as asked; "" on success, else the reason.
std::string OpenViewerDisplay(const TWindowRequest& request);

// Alt+Enter: polled once a frame, switches to full screen (the mode start-up
// would choose) and back to a window of its last size, or of the default
// size when the viewer started full screen.
class TDisplaySwitch {
 public:
  explicit TDisplaySwitch(const TWindowRequest& request);
  // Asks for a switch at the next Poll (Alt+Enter, bound with the viewer's
  // other keys).
  void Request() { _requested = true; }
  // At the end of a frame: switches when asked to since the last poll.
  void Poll();
  // Switches now; false (and the display unchanged) when it cannot.
  bool Switch();

 private:
  int _window_width;  // of the window to come back to; 0: the default size
  int _window_height;
  bool _requested = false;
};

}  // namespace skyloom

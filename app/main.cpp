// The skyloom viewer: full screen, one frame loop, Escape to quit.
#include "app/frame_loop.h"

int main() {
  // Start-up steps and the frame's work are filled in as the viewer grows.
  return skyloom::RunViewer({});
}

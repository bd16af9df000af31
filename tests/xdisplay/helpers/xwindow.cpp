// A small X client for the real-display tests: asks a window to close the way
// a window manager does (WM_DELETE_WINDOW) and moves the input focus.
//   xdisplay_xwindow close WINDOW     send WM_DELETE_WINDOW to the window
//   xdisplay_xwindow focus WINDOW     give the window the input focus
//   xdisplay_xwindow unfocus          take the input focus from every window
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int SendDeleteWindow(Display* display, Window window) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  return XSendEvent(display, window, False, NoEventMask, &event) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s close WINDOW | focus WINDOW | unfocus\n", argv[0]);
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "cannot open the X display\n");
    return 1;
  }
  const Window window = argc > 2 ? std::strtoul(argv[2], nullptr, 0) : None;
  int status = 2;
  if (std::strcmp(argv[1], "close") == 0 && window != None) {
    status = SendDeleteWindow(display, window);
  } else if (std::strcmp(argv[1], "focus") == 0 && window != None) {
    XSetInputFocus(display, window, RevertToNone, CurrentTime);
    status = 0;
  } else if (std::strcmp(argv[1], "unfocus") == 0) {
    XSetInputFocus(display, None, RevertToNone, CurrentTime);
    status = 0;
  }
  XSync(display, False);
  XCloseDisplay(display);
  return status;
}

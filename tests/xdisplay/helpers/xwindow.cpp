// A small X client for the real-display tests: asks a window to close the way
// a window manager does (WM_DELETE_WINDOW), moves the input focus and reads
// back what the screen shows.
//   xdisplay_xwindow close WINDOW          send WM_DELETE_WINDOW to the window
//   xdisplay_xwindow focus WINDOW          give the window the input focus
//   xdisplay_xwindow unfocus               take the input focus from every window
//   xdisplay_xwindow grab X Y W H OUT      write that rectangle of the root
//                                          window to OUT as a binary PPM (P6)
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

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

// The position of the lowest set bit of a colour mask, and the mask's value
// there, so that (pixel & mask) >> shift is the channel on 0..max.
struct TChannel {
  int shift = 0;
  unsigned long max = 0;
};

TChannel ChannelOf(unsigned long mask) {
  TChannel channel;
  if (mask == 0) return channel;
  while (!(mask & 1)) {
    mask >>= 1;
    ++channel.shift;
  }
  channel.max = mask;
  return channel;
}

unsigned char Scaled(unsigned long pixel, const TChannel& channel) {
  if (channel.max == 0) return 0;
  const unsigned long value = (pixel >> channel.shift) & channel.max;
  return static_cast<unsigned char>(value * 255 / channel.max);
}

// The rectangle of the root window, what is on screen there (the pointer is
// not part of it), as 8-bit RGB rows written to path. The file is written
// under a temporary name and renamed, so a reader never sees half of it.
int GrabToPpm(Display* display, int x, int y, int w, int h, const char* path) {
  if (w <= 0 || h <= 0) return 2;
  const Window root = DefaultRootWindow(display);
  XImage* image = XGetImage(display, root, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h),
                            AllPlanes, ZPixmap);
  if (!image) {
    std::fprintf(stderr, "cannot read the rectangle %d,%d %dx%d\n", x, y, w, h);
    return 1;
  }
  const TChannel red = ChannelOf(image->red_mask);
  const TChannel green = ChannelOf(image->green_mask);
  const TChannel blue = ChannelOf(image->blue_mask);
  std::vector<unsigned char> rgb;
  rgb.reserve(static_cast<size_t>(w) * h * 3);
  for (int row = 0; row < h; ++row) {
    for (int column = 0; column < w; ++column) {
      const unsigned long pixel = XGetPixel(image, column, row);
      rgb.push_back(Scaled(pixel, red));
      rgb.push_back(Scaled(pixel, green));
      rgb.push_back(Scaled(pixel, blue));
    }
  }
  XDestroyImage(image);
  const std::string temporary = std::string(path) + ".part";
  FILE* out = std::fopen(temporary.c_str(), "wb");
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", temporary.c_str());
    return 1;
  }
  std::fprintf(out, "P6\n%d %d\n255\n", w, h);
  const bool written = std::fwrite(rgb.data(), 1, rgb.size(), out) == rgb.size();
  if (std::fclose(out) != 0 || !written || std::rename(temporary.c_str(), path) != 0) {
    std::remove(temporary.c_str());
    std::fprintf(stderr, "cannot write %s\n", path);
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s close WINDOW | focus WINDOW | unfocus | grab X Y W H OUT\n",
                 argv[0]);
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
  } else if (std::strcmp(argv[1], "grab") == 0 && argc == 7) {
    status = GrabToPpm(display, std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
                       std::atoi(argv[5]), argv[6]);
  }
  XSync(display, False);
  XCloseDisplay(display);
  return status;
}

// updatemouse in the order that makes the frame's edges consistent: pointer
// and deltas, held flags, wheel, release edges, then presses and double clicks.
#include "input/mouse.h"

#include "runtime/display.h"

namespace skyloom {

int32_t mousex = 0, mousey = 0;
int32_t mousedx = 0, mousedy = 0;
mousebuttons mousedown{};
mousebuttons mousepressed{};
mousebuttons mousereleased{};
mousebuttons mousedoubleclick{};
mousebuttons lastpress{};
int32_t mousewheel = 0;
int32_t lastwheel = 0;
int32_t mouseidle = 0;
int32_t doubleclicktime = DOUBLE_CLICK_MS;

namespace {}  // namespace

void InitMouse() {
  mousex = mousey = mousedx = mousedy = 0;
  mousedown.fill(0);
  mousepressed.fill(0);
  mousereleased.fill(0);
  mousedoubleclick.fill(0);
  lastpress.fill(0);
  mousewheel = lastwheel = mouseidle = 0;
  doubleclicktime = DOUBLE_CLICK_MS;
}

void updatemouse() {
  const int32_t now = MillisecondClock();
  ++mouseidle;

  const int32_t x = PointerX(), y = PointerY();
  mousedx = x - mousex;
  mousedy = y - mousey;
  mousex = x;
  mousey = y;

  mousebuttons olddown = mousedown;
  for (int b = 1; b <= MOUSE_BUTTONS; ++b) mousedown[b] = IsButtonDown(b) ? 1 : 0;

  const int32_t wheel = WheelPosition();
  mousewheel = lastwheel - wheel;
  lastwheel = wheel;

  bool released = false;
  for (int b = 1; b <= MOUSE_BUTTONS; ++b) {
    mousepressed[b] = 0;
    mousereleased[b] = olddown[b] == 1 && mousedown[b] == 0 ? 1 : 0;
    mousedoubleclick[b] = 0;
    released = released || mousereleased[b] == 1;
  }
  for (int b = 1; b <= MOUSE_BUTTONS; ++b) {
    if (olddown[b] != 0 || mousedown[b] != 1) continue;
    if (ClockDifference(now, lastpress[b]) <= doubleclicktime) mousedoubleclick[b] = 1;
    mousepressed[b] = 1;
    lastpress[b] = now;
  }
  if (released) mouseidle = 0;
}

int mouseinrect(int x, int y, int w, int h) {
  // In 64 bits, so rectangles reaching the end of the int range do not wrap.
  const int64_t mx = mousex, my = mousey;
  return mx >= x && mx < int64_t(x) + w && my >= y && my < int64_t(y) + h ? 1 : 0;
}

}  // namespace skyloom

// The mouse state of the frame: sampled once at the top of every frame by
// updatemouse, so that every pane, button and camera of the frame sees the
// same pointer position, button edges, double clicks and wheel step.
#pragma once

#include <array>
#include <cstdint>

namespace skyloom {

// Buttons are numbered 1 (left), 2 (right) and 3 (middle); the per-button
// values below are indexed by that number (index 0 is unused).
constexpr int MOUSE_LEFT = 1;
constexpr int MOUSE_RIGHT = 2;
constexpr int MOUSE_MIDDLE = 3;
constexpr int MOUSE_BUTTONS = 3;
using mousebuttons = std::array<int32_t, MOUSE_BUTTONS + 1>;

// The longest time from one press to the next that makes a double click.
constexpr int32_t DOUBLE_CLICK_MS = 320;

// Program-wide values, all 0 at start except doubleclicktime.
extern int32_t mousex, mousey;         // pointer position in display pixels
extern int32_t mousedx, mousedy;       // its change since the previous frame
extern mousebuttons mousedown;         // 1 while held, as sampled this frame
extern mousebuttons mousepressed;      // 1 when it went down since the previous frame
extern mousebuttons mousereleased;     // 1 when it went up since the previous frame
extern mousebuttons mousedoubleclick;  // 1 when pressed within doubleclicktime of its last press
extern mousebuttons lastpress;         // MillisecondClock of its last press
// Wheel step of this frame: previous position minus the current one, so +1
// for one notch rolled towards the user.
extern int32_t mousewheel;
extern int32_t lastwheel;  // wheel position at the previous frame
extern int32_t mouseidle;  // frames since a button was last released
extern int32_t doubleclicktime;

// Puts every value back to its start (module initialisation).
void InitMouse();

// Samples the pointer, the buttons, the wheel and the clock through the
// display layer's polled input. Call once per frame, before anything reads
// the values. A press and release both between two frames are not seen.
void updatemouse();

// 1 when x <= mousex < x + w and y <= mousey < y + h, else 0: the left and
// top edges are inside, the right and bottom edges outside.
int mouseinrect(int x, int y, int w, int h);

}  // namespace skyloom

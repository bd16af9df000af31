// Input from SDL: takes the pending window-system events into the input state
// and maps SDL's key scancodes onto Windows virtual-key numbers.
#pragma once

#include "runtime/input.h"

namespace skyloom {

// Takes every pending event; keys, buttons, pointer, wheel, focus and close
// requests go into the state, the platform's auto-repeat is dropped.
void PumpSdlEvents(TInputState& input);

// The virtual-key number of an SDL scancode; -1 for keys without one.
int VirtualKeyFromScancode(int scancode);

// The input-state button of an SDL button (1 left, 2 right, 3 middle); -1
// for other buttons.
int ButtonFromSdl(int sdl_button);

}  // namespace skyloom

// SDL events into the input state, and the scancode to virtual-key table.
#include "runtime/input_sdl.h"

#include <SDL.h>

#include <cmath>

namespace skyloom {

namespace {

// Virtual-key numbers (Windows numbering) of the keys without a simple range.
struct TKeyPair {
  SDL_Scancode scancode;
  int vk;
};

constexpr TKeyPair kKeyTable[] = {
    {SDL_SCANCODE_BACKSPACE, 8},
    {SDL_SCANCODE_TAB, 9},
    {SDL_SCANCODE_RETURN, 13},
    {SDL_SCANCODE_KP_ENTER, 13},
    {SDL_SCANCODE_PAUSE, 19},
    {SDL_SCANCODE_CAPSLOCK, 20},
    {SDL_SCANCODE_ESCAPE, 27},
    {SDL_SCANCODE_SPACE, 32},
    {SDL_SCANCODE_PAGEUP, 33},
    {SDL_SCANCODE_PAGEDOWN, 34},
    {SDL_SCANCODE_END, 35},
    {SDL_SCANCODE_HOME, 36},
    {SDL_SCANCODE_LEFT, 37},
    {SDL_SCANCODE_UP, 38},
    {SDL_SCANCODE_RIGHT, 39},
    {SDL_SCANCODE_DOWN, 40},
    {SDL_SCANCODE_PRINTSCREEN, 44},
    {SDL_SCANCODE_INSERT, 45},
    {SDL_SCANCODE_DELETE, 46},
    {SDL_SCANCODE_0, 48},
    {SDL_SCANCODE_LGUI, 91},
    {SDL_SCANCODE_RGUI, 92},
    {SDL_SCANCODE_APPLICATION, 93},
    {SDL_SCANCODE_KP_0, 96},
    {SDL_SCANCODE_KP_MULTIPLY, 106},
    {SDL_SCANCODE_KP_PLUS, 107},
    {SDL_SCANCODE_KP_MINUS, 109},
    {SDL_SCANCODE_KP_PERIOD, 110},
    {SDL_SCANCODE_KP_DIVIDE, 111},
    {SDL_SCANCODE_NUMLOCKCLEAR, 144},
    {SDL_SCANCODE_SCROLLLOCK, 145},
    {SDL_SCANCODE_LSHIFT, 160},
    {SDL_SCANCODE_RSHIFT, 161},
    {SDL_SCANCODE_LCTRL, 162},
    {SDL_SCANCODE_RCTRL, 163},
    {SDL_SCANCODE_LALT, 164},
    {SDL_SCANCODE_RALT, 165},
    {SDL_SCANCODE_SEMICOLON, 186},
    {SDL_SCANCODE_EQUALS, 187},
    {SDL_SCANCODE_COMMA, 188},
    {SDL_SCANCODE_MINUS, 189},
    {SDL_SCANCODE_PERIOD, 190},
    {SDL_SCANCODE_SLASH, 191},
    {SDL_SCANCODE_GRAVE, 192},
    {SDL_SCANCODE_LEFTBRACKET, 219},
    {SDL_SCANCODE_BACKSLASH, 220},
    {SDL_SCANCODE_RIGHTBRACKET, 221},
    {SDL_SCANCODE_APOSTROPHE, 222},
    {SDL_SCANCODE_NONUSBACKSLASH, 226},
};

// Runs of scancodes that map onto runs of virtual keys.
struct TKeyRange {
  SDL_Scancode first;
  SDL_Scancode last;
  int first_vk;
};

constexpr TKeyRange kKeyRanges[] = {
    {SDL_SCANCODE_A, SDL_SCANCODE_Z, 65},      // letters
    {SDL_SCANCODE_1, SDL_SCANCODE_9, 49},      // digits 1 to 9 (0 is in the table)
    {SDL_SCANCODE_F1, SDL_SCANCODE_F12, 112},  // F1 to F12
    {SDL_SCANCODE_F13, SDL_SCANCODE_F24, 124},
    {SDL_SCANCODE_KP_1, SDL_SCANCODE_KP_9, 97},  // keypad 1 to 9
};

void TakeWindowEvent(const SDL_WindowEvent& event, TInputState& input) {
  switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_LOST:
      input.FocusLost();
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      input.FocusGained();
      break;
    case SDL_WINDOWEVENT_CLOSE:
      input.CloseRequested();
      break;
    default:
      break;
  }
}

void TakeWheelEvent(const SDL_MouseWheelEvent& event, TInputState& input) {
  // SDL reports notches (fractions on fine-grained wheels); 120 units a notch.
  float notches = event.preciseY;
  if (event.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
  const double delta = std::trunc(static_cast<double>(notches) * 120.0);
  if (std::fabs(delta) < 1e9) input.WheelMoved(WheelNotches(static_cast<int>(delta)));
}

void TakeEvent(const SDL_Event& event, TInputState& input) {
  switch (event.type) {
    case SDL_KEYDOWN:
      if (!event.key.repeat) input.KeyDown(VirtualKeyFromScancode(event.key.keysym.scancode));
      break;
    case SDL_KEYUP:
      input.KeyUp(VirtualKeyFromScancode(event.key.keysym.scancode));
      break;
    case SDL_MOUSEBUTTONDOWN:
      input.ButtonDown(ButtonFromSdl(event.button.button));
      break;
    case SDL_MOUSEBUTTONUP:
      input.ButtonUp(ButtonFromSdl(event.button.button));
      break;
    case SDL_MOUSEMOTION:
      input.PointerMoved(event.motion.x, event.motion.y);
      break;
    case SDL_MOUSEWHEEL:
      TakeWheelEvent(event.wheel, input);
      break;
    case SDL_WINDOWEVENT:
      TakeWindowEvent(event.window, input);
      break;
    case SDL_QUIT:
      input.CloseRequested();
      break;
    default:
      break;
  }
}

}  // namespace

void PumpSdlEvents(TInputState& input) {
  SDL_Event event;
  while (SDL_PollEvent(&event)) TakeEvent(event, input);
}

int VirtualKeyFromScancode(int scancode) {
  for (const TKeyRange& range : kKeyRanges) {
    if (scancode >= range.first && scancode <= range.last) {
      return range.first_vk + (scancode - range.first);
    }
  }
  for (const TKeyPair& pair : kKeyTable) {
    if (pair.scancode == scancode) return pair.vk;
  }
  return -1;
}

int ButtonFromSdl(int sdl_button) {
  switch (sdl_button) {
    case SDL_BUTTON_LEFT:
      return 1;
    case SDL_BUTTON_RIGHT:
      return 2;
    case SDL_BUTTON_MIDDLE:
      return 3;
    default:
      return -1;
  }
}

}  // namespace skyloom

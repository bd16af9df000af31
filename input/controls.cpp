// The table of the viewer's controls: the single list that every description
// of them (README, help panel, --help, man page) is made from.
#include "input/controls.h"

#include "input/hotkey.h"

namespace skyloom {

namespace {

constexpr TControlKey key(int code, int modkind = Key::none) {
  return {code, modkind};
}

constexpr TControl CONTROLS[] = {
    {"Program", "Escape (held)", "quits (exit status 0)", {key(27)}},
    {"Program", "closing the window", "quits (exit status 0)"},
    {"Program", "Alt+Enter", "switches between full screen and a window", {key(13, Key::alt)}},
    {"Program",
     "F11 (held)",
     "saves the whole screen as screenshots/HH.MM.SS.png every frame",
     {key(122)}},

    {"View", "pointer over a body",
     "a dark green ring round it and its name in the pane's top-left corner"},
    {"View", "left click on a body",
     "selects it: a teal ring, and its name shows while the pointer is elsewhere"},
    {"View", "left double click on a body",
     "selects it and follows it: the view stays centred on it"},
    {"View", "left double click on empty space",
     "centres the view on that point; clears the selection"},
    {"View", "middle button drag", "pans the view (the drag may leave the pane); stops following"},
    {"View",
     "wheel one notch away from you, or =",
     "zooms in by 1.25, towards the pointer (up to 16 x)",
     {key(187)}},
    {"View",
     "wheel one notch towards you, or -",
     "zooms out by 1.25, away from the pointer (down to 0.08 x)",
     {key(189)}},
    {"View", "holding the left button",
     "a white rectangle from where it was pressed to the pointer"},

    {"Pane buttons", "follow (top row, left end), left click",
     "follows the selected body, or stops following"},
    {"Pane buttons", "merge up (top row, second from the right), left click",
     "merges with the panes above"},
    {"Pane buttons", "merge right (top row, right end), left click",
     "merges with the panes to the right"},
    {"Pane buttons", "merge left (bottom row, left end), left click",
     "merges with the panes to the left"},
    {"Pane buttons", "merge down (bottom row, second from the left), left click",
     "merges with the panes below"},
    {"Pane buttons", "split side by side (bottom row, second from the right)",
     "left click: two panes side by side; right click: three"},
    {"Pane buttons", "split one above the other (bottom row, right end)",
     "left click: two panes one above the other; right click: three"},
};

}  // namespace

std::span<const TControl> Controls() {
  return CONTROLS;
}

}  // namespace skyloom

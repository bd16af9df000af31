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
    {"Program",
     "Ctrl+R",
     "reads the definition file again at once and shows it in place, keeping every pane's view",
     {key(82, Key::ctrl)}},
    {"Program", "F1", "shows or hides this list of controls over the whole screen", {key(112)}},

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
    {"View", "H", "home: the starting view (centre 0, 0 at zoom 1), following stopped", {key(72)}},
    {"View",
     "A",
     "all: fits every body into the pane with a 16-pixel margin, following stopped",
     {key(65)}},
    {"View", "O", "orbit lines off or on in the pane", {key(79)}},
    {"View", "N", "body names off or on in the pane", {key(78)}},

    {"Time", "Space", "pauses or resumes; resuming restores the rate that was in force", {key(32)}},
    {"Time", "L", "time runs twice as fast, up to 64x", {key(76)}},
    {"Time", "K", "time runs half as fast, down to 1/64x", {key(75)}},
    {"Time", "J", "time runs the other way", {key(74)}},
    {"Time",
     ".",
     "while paused: one step, as far as one frame at the current rate goes",
     {key(190)}},

    {"Go to a body",
     "Enter",
     "opens a prompt at the bottom of the pane to go to a body by its name",
     {key(13)}},
    {"Go to a body", "letters, digits, space, punctuation",
     "type part of the name (any case); the best match's name shows in grey"},
    {"Go to a body", "Backspace", "deletes the last character typed"},
    {"Go to a body", "Tab", "moves to the next match"},
    {"Go to a body", "Enter in the prompt", "selects the match in the pane and follows it"},
    {"Go to a body", "Escape in the prompt", "closes the prompt without quitting"},

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

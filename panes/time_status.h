// The time status of a pane: how simulated time runs ("paused", "4x",
// "paused -1/2x") in white label-font text in the top-right corner of the
// camera's rectangle. Nothing at rate 1 while running.
#pragma once

namespace skyloom {

class camera;

// Gap between the text and the rectangle's top and right edges, as the label
// keeps from the top-left corner.
constexpr int TIME_STATUS_INSET = 4;

// Draws the status of cam's system with the origin at the rectangle's
// top-left corner, right-aligned. Nothing without a system, a font, or
// anything to say.
int drawtimestatus(const camera& cam);

}  // namespace skyloom

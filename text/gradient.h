// The gradient bar: a band drawn in the current colour, opaque at one end and
// fading linearly to transparent at the other, made by stretching one
// embedded 256 x 1 picture ("gradient.png").
#pragma once

#include "runtime/display.h"
#include "runtime/pixmap.h"

namespace skyloom {

// Columns of the gradient picture; column i has alpha 255 - i.
constexpr int GRADIENT_LENGTH = 256;

// Module initialisation: registers the embedded resources (among them
// "gradient.png") and loads gradientimage from "incbin::gradient.png".
// Returns 1 when the image was loaded. May run before the display opens.
int InitGradient();

// The loaded gradient picture; null before InitGradient.
const ImageRef& gradientimage();

// Draws the bar with its opaque end at (x, y): length pixels long and
// thickness pixels thick, fading to the right, or with flip 1 turned by 180
// degrees about (x, y). Leaves the drawing rotation 0 and the scale 1, 1.
void DrawGradient(float x, float y, float length, float thickness, int flip);

// The gradient picture itself: 256 x 1 PIXEL_RGBA8888, white, alpha 255 - i.
PixmapRef MakeGradientPixmap();

}  // namespace skyloom

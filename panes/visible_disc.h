// Drawing a disc much larger than the pane at the cost of what is visible:
// a disc that covers the pane is the pane's rectangle, one partly inside
// computes only the corners of its visible arc, cut to the pane.
#pragma once

#include <utility>
#include <vector>

namespace skyloom {

// A rectangle in drawing coordinates (y grows downwards).
struct clipbox {
  double left, top, right, bottom;
};

using discpolygon = std::vector<std::pair<double, double>>;

// The region that the n-cornered polygon of a disc (corner i at angle
// 360 * i / n on the circle of centre (cx, cy) and radius r, the polygon
// DrawOval draws) shares with the box, as a convex polygon in order. The
// box's corners when the polygon covers it; empty when they do not meet.
// The work grows with the corners near the box, not with n.
discpolygon VisibleDiscPolygon(double cx, double cy, double r, int n, const clipbox& box);

// Fills VisibleDiscPolygon for the disc DrawOval would draw with corner
// count OvalCornerCount(2r, 2r), in the current drawing state.
void DrawVisibleDisc(double cx, double cy, double r, const clipbox& box);

}  // namespace skyloom

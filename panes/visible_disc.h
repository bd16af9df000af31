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

// Buffers and per-corner-count values kept from one disc to the next, so
// that a frame of many huge discs neither allocates nor repeats the same
// trigonometry for each of them. The result of the last disc is polygon.
struct discwork {
  discpolygon polygon, spare;
  std::vector<std::pair<float, float>> offsets;
  int corners = 0;      // the corner count the values below belong to
  double inner = 0;     // the inner circle's radius per unit radius
  double step = 0;      // the turn from one corner to the next, in radians
  double step_cos = 1;  // and its arc functions
  double step_sin = 0;
};

// The region that the n-cornered polygon of a disc (corner i at angle
// 360 * i / n on the circle of centre (cx, cy) and radius r, the polygon
// DrawOval draws) shares with the box, as a convex polygon in order, into
// work.polygon. The box's corners when the polygon covers it; empty when
// they do not meet. The work grows with the corners near the box, not with n.
void VisibleDiscPolygon(double cx, double cy, double r, int n, const clipbox& box, discwork& work);
// The same with buffers of its own.
discpolygon VisibleDiscPolygon(double cx, double cy, double r, int n, const clipbox& box);

// Fills VisibleDiscPolygon for the disc DrawOval would draw with corner
// count OvalCornerCount(2r, 2r), in the current drawing state.
void DrawVisibleDisc(double cx, double cy, double r, const clipbox& box, discwork& work);

}  // namespace skyloom

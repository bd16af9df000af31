// camera: one view onto the orbital system. It maps world coordinates to a
// rectangle of the screen, draws the bodies, their orbits and the label of
// the hovered or selected body there, and turns the frame's mouse and key
// input over the rectangle into panning, zooming, hovering, selecting and
// following a body.
#pragma once

#include <array>
#include <memory>

#include "geom/bbox.h"
#include "geom/vect2d.h"
#include "model/space.h"
#include "panes/visible_disc.h"

namespace skyloom {

class camera;
using cameraRef = std::shared_ptr<camera>;

class camera {
 public:
  // Zoom limits and steps. The lower limit and the zoom-in pan factor are
  // single-precision values (so the limit lies slightly below 0.08).
  static constexpr double MIN_ZOOM = static_cast<double>(0.08f);
  static constexpr double MAX_ZOOM = 16;
  static constexpr double ZOOM_STEP = 1.25;
  static constexpr double ZOOM_OUT_PAN = -0.25;
  static constexpr double ZOOM_IN_PAN = static_cast<double>(0.21f);
  // Key codes of "-" and "=".
  static constexpr int ZOOM_OUT_KEY = 189;
  static constexpr int ZOOM_IN_KEY = 187;
  // Orbit outlines have between these many sides.
  static constexpr int MIN_ORBIT_SIDES = 12;
  static constexpr int MAX_ORBIT_SIDES = 64;

  vect2dRef pos = vect2d::Create(0, 0);  // the world point at the rectangle's centre
  int32_t x = 0, y = 0, w = 0, h = 0;    // the rectangle in screen pixels
  bboxRef bounds;                        // set by setbounds; nothing reads it
  double zoom = 1.0;                     // screen pixels per world unit
  spaceRef view;
  bodyRef focus;   // the selected body, or null
  int follow = 0;  // while set, pos follows focus; never set without focus
  bodyRef over;    // the body under the pointer this frame, or null
  int is_panning = 0;
  int32_t panx = 0, pany = 0;  // pointer position at the last panning step
  int showorbits = 1;          // draw the orbit lines
  int showlabels = 1;          // draw the body label
  // Whether update reads the zoom keys; cleared while a prompt has the
  // keyboard.
  int takekeys = 1;

  // The space between the bodies and the content's edge that fitall keeps.
  static constexpr int FIT_MARGIN = 16;

  static cameraRef Create() { return std::make_shared<camera>(); }

  // A camera with a copy of pos and the same rectangle, zoom and follow
  // flag, sharing bounds, view and focus; not hovering, not panning.
  cameraRef copy() const;
  int setbounds(int nx, int ny, int nw, int nh);

  // Clears the rectangle and draws every body of the view in order, then the
  // label with the origin at the rectangle's top-left corner. Leaves the
  // viewport on the rectangle; the owner restores it.
  int render();
  // One body with its halo and the orbits of its children, with the drawing
  // origin at the rectangle's centre. A body without a position is not drawn;
  // its children's orbits are centred on the world origin.
  int drawbody(const body& b);
  // The frame's input: pan, follow, double-click centring, zoom, hover,
  // select.
  int update();

  // A filled disc of radius r * zoom + grow around (x * zoom, y * zoom).
  static int DrawCircle(double x, double y, double r, double zoom, int grow);
  // An orbit outline in screen pixels: an ellipse of radii rx, ry turned by
  // rotation degrees around (cx, cy), as a closed polygon of 12 to 64 sides
  // whose first corner lies at angle start.
  static int DrawEllipse(double cx, double cy, double rx, double ry, double rotation, double start);
  // Sides of the outline for those radii: sqrt(rx * ry) / 4 within 12..64;
  // 12 when the product is negative.
  static int OrbitSides(double rx, double ry);
  // The corners DrawEllipse joins, in order: corner i at angle start + i *
  // 360 / n on the ellipse, turned by rotation about (cx, cy). The angle
  // steps by a fixed turn and the rotation is one matrix for all corners.
  // Returns how many corners it wrote (OrbitSides).
  struct orbitcorner {
    double x, y;
  };
  using orbitcorners = std::array<orbitcorner, MAX_ORBIT_SIDES>;
  static int OrbitCorners(double cx, double cy, double rx, double ry, double rotation, double start,
                          orbitcorners& corners);

  // The view the camera starts with: centred on the world origin at zoom 1,
  // following stopped. The selection stays.
  int home();
  // Centres on the middle of the bounding box of every placed body's disc
  // and takes the largest zoom within the limits that shows them all inside
  // the rectangle with FIT_MARGIN pixels to spare; following stopped. With no
  // placed body, as home.
  int fitall();

  // The world point shown at a screen point.
  vect2d worldat(int sx, int sy) const;

 private:
  // Whether a box given by its centre (relative to the rectangle's centre,
  // in pixels) and half extents can reach the rectangle; what cannot is
  // skipped before its corners are worked out.
  bool canshow(double cx, double cy, double half_w, double half_h) const;
  // DrawCircle for a body's disc or halo. A disc wider than the rectangle
  // costs only what is visible of it (VisibleDiscPolygon); up to that size it
  // is DrawCircle's very polygon.
  void drawdisc(double px, double py, double radius, int grow) const;

  // Reused by every huge disc the camera draws (drawing changes nothing else).
  mutable discwork discbuffers;
};

}  // namespace skyloom

// The camera: the world-to-screen mapping, drawing bodies, halos and orbit
// outlines, and the per-frame input that pans, zooms, hovers and selects.
#include "panes/camera.h"

#include <algorithm>
#include <cmath>

#include "input/mouse.h"
#include "panes/label.h"
#include "panes/time_status.h"
#include "panes/visible_disc.h"
#include "runtime/display.h"

namespace skyloom {

namespace {

constexpr double kDegToRad = 0.017453292519943295;

const vect2d kOrigin(0, 0);

// Halo widths around a disc: the focused body's, narrower when it is also
// hovered, and the hovered body's.
constexpr int FOCUS_HALO = 4;
constexpr int HOVER_HALO = 3;

// Pixels beyond the rectangle on every side to which a large disc is cut.
constexpr double DISC_CLIP_MARGIN = 2;

void SetBodyColor() {
  SetColor(0, 255, 0);
}
void SetFocusColor() {
  SetColor(0, 128, 128);
}
void SetHoverColor() {
  SetColor(0, 96, 0);
}
void SetOrbitColor() {
  SetColor(128, 128, 128);
}

}  // namespace

cameraRef camera::copy() const {
  auto other = std::make_shared<camera>(*this);
  other->pos = pos->copy();
  other->over = nullptr;
  other->is_panning = 0;
  other->panx = other->pany = 0;
  return other;
}

int camera::setbounds(int nx, int ny, int nw, int nh) {
  x = nx;
  y = ny;
  w = nw;
  h = nh;
  bounds = bbox::Create(nx, double(nx) + nw, ny, double(ny) + nh);
  return 0;
}

vect2d camera::worldat(int sx, int sy) const {
  return vect2d((sx - x - w / 2) / zoom + pos->x, (sy - y - h / 2) / zoom + pos->y);
}

// --- Drawing -------------------------------------------------------------------

int camera::DrawCircle(double cx, double cy, double r, double z, int grow) {
  const double corner_x = (cx - r) * z - grow;
  const double corner_y = (cy - r) * z - grow;
  const double size = 2 * r * z + 2 * grow;
  DrawOval(static_cast<float>(corner_x), static_cast<float>(corner_y), static_cast<float>(size),
           static_cast<float>(size));
  return 0;
}

int camera::OrbitSides(double rx, double ry) {
  const double wanted = std::sqrt(rx * ry) * 0.25;
  if (std::isnan(wanted)) return MIN_ORBIT_SIDES;
  return static_cast<int>(
      std::min<double>(MAX_ORBIT_SIDES, std::max<double>(MIN_ORBIT_SIDES, wanted)));
}

int camera::OrbitCorners(double cx, double cy, double rx, double ry, double rotation, double start,
                         orbitcorners& corners) {
  const int n = OrbitSides(rx, ry);
  const double step = 360.0 / n * kDegToRad;
  const double turn_cos = std::cos(step), turn_sin = std::sin(step);
  const double rot_cos = std::cos(rotation * kDegToRad), rot_sin = std::sin(rotation * kDegToRad);
  double c = std::cos(start * kDegToRad), s = std::sin(start * kDegToRad);
  for (int i = 0; i < n; ++i) {
    const double vx = c * rx, vy = s * ry;
    corners[i] = {vx * rot_cos - vy * rot_sin + cx, vx * rot_sin + vy * rot_cos + cy};
    const double next_c = c * turn_cos - s * turn_sin;
    s = c * turn_sin + s * turn_cos;
    c = next_c;
  }
  return n;
}

int camera::DrawEllipse(double cx, double cy, double rx, double ry, double rotation, double start) {
  orbitcorners corners;
  const int n = OrbitCorners(cx, cy, rx, ry, rotation, start, corners);
  const auto at = [](const orbitcorner& v) {
    return std::make_pair(static_cast<float>(v.x), static_cast<float>(v.y));
  };
  auto [first_x, first_y] = at(corners.front());
  float prev_x = first_x, prev_y = first_y;
  for (int i = 1; i < n; ++i) {
    const auto [px, py] = at(corners[i]);
    DrawLine(px, py, prev_x, prev_y, false);
    prev_x = px;
    prev_y = py;
  }
  DrawLine(first_x, first_y, prev_x, prev_y, false);
  return 0;
}

bool camera::canshow(double cx, double cy, double half_w, double half_h) const {
  // One pixel more on every side for the width of lines. Written so that a
  // NaN anywhere keeps the primitive.
  const double left = -(w / 2) - 1, top = -(h / 2) - 1;
  const double right = w - w / 2 + 1, bottom = h - h / 2 + 1;
  return !(cx + half_w < left || cx - half_w > right || cy + half_h < top || cy - half_h > bottom);
}

void camera::drawdisc(double px, double py, double radius, int grow) const {
  const double screen_radius = radius * zoom + grow;
  if (!(std::fabs(screen_radius) > std::max(w, h))) {
    DrawCircle(px, py, radius, zoom, grow);
    return;
  }
  // The rectangle around the drawing origin at its centre, with a margin so
  // that the cut edges lie outside what is shown.
  const double left = -(w / 2) - DISC_CLIP_MARGIN, top = -(h / 2) - DISC_CLIP_MARGIN;
  const double right = w - w / 2 + DISC_CLIP_MARGIN, bottom = h - h / 2 + DISC_CLIP_MARGIN;
  DrawVisibleDisc(px * zoom, py * zoom, screen_radius, {left, top, right, bottom}, discbuffers);
}

int camera::drawbody(const body& b) {
  const vect2d& at = b.pos ? *b.pos : kOrigin;
  const double px = at.x - pos->x, py = at.y - pos->y;
  const bool focused = &b == focus.get(), hovered = &b == over.get();
  const int halo = focused && !hovered ? FOCUS_HALO : focused || hovered ? HOVER_HALO : 0;
  const double reach = std::fabs(b.radius * zoom) + halo;
  if (b.pos && canshow(px * zoom, py * zoom, reach, reach)) {
    if (focused) {
      SetFocusColor();
      drawdisc(px, py, b.radius, halo);
    } else if (hovered) {
      SetHoverColor();
      drawdisc(px, py, b.radius, halo);
    }
    SetBodyColor();
    drawdisc(px, py, b.radius, 0);
  }
  bool orbit_colour = false;
  if (!showorbits) return 0;
  for (const bodyRef& kid : b.kids) {
    if (!kid->orbit) continue;
    double cx = px * zoom, cy = py * zoom;
    if (kid->moveorbit) {
      cx += kid->moveorbit->x * zoom;
      cy += kid->moveorbit->y * zoom;
    }
    double rx = kid->orbit->x * zoom, ry = kid->orbit->x * zoom;
    if (kid->scaleorbit) {
      rx *= kid->scaleorbit->x;
      ry *= kid->scaleorbit->y;
    }
    // Turned any way, the ellipse stays within its larger radius.
    const double orbit_reach = std::max(std::fabs(rx), std::fabs(ry));
    if (!canshow(cx, cy, orbit_reach, orbit_reach)) continue;
    if (!orbit_colour) SetOrbitColor();
    orbit_colour = true;
    DrawEllipse(cx, cy, rx, ry, kid->rotorbit, kid->orbit->y);
  }
  return 0;
}

int camera::render() {
  SetViewport(x, y, w, h);
  SetDrawOrigin(static_cast<float>(x + w / 2), static_cast<float>(y + h / 2));
  Cls();
  if (view) {
    for (const bodyRef& b : view->allbodies) drawbody(*b);
  }
  SetDrawOrigin(static_cast<float>(x), static_cast<float>(y));
  SetBlend(BLEND_ALPHA);
  if (showlabels) drawlabel(*this);
  drawtimestatus(*this);
  return 0;
}

// --- Placing the view -------------------------------------------------------

int camera::home() {
  pos = vect2d::Create(0, 0);
  zoom = 1.0;
  follow = 0;
  return 0;
}

int camera::fitall() {
  bool any = false;
  double left = 0, right = 0, top = 0, bottom = 0;
  if (view) {
    for (const bodyRef& b : view->allbodies) {
      if (!b->pos) continue;
      const double r = std::fabs(b->radius);
      const double l = b->pos->x - r, ri = b->pos->x + r, t = b->pos->y - r, bo = b->pos->y + r;
      left = any ? std::min(left, l) : l;
      right = any ? std::max(right, ri) : ri;
      top = any ? std::min(top, t) : t;
      bottom = any ? std::max(bottom, bo) : bo;
      any = true;
    }
  }
  if (!any) return home();
  pos = vect2d::Create((left + right) / 2, (top + bottom) / 2);
  // The largest zoom at which both extents fit; a point (no extent) fits at
  // any zoom, so the upper limit bounds it.
  const double room_w = w - 2 * FIT_MARGIN, room_h = h - 2 * FIT_MARGIN;
  double fit = MAX_ZOOM;
  if (right > left) fit = std::min(fit, room_w / (right - left));
  if (bottom > top) fit = std::min(fit, room_h / (bottom - top));
  zoom = std::clamp(fit, MIN_ZOOM, MAX_ZOOM);
  follow = 0;
  return 0;
}

// --- Input ---------------------------------------------------------------------

int camera::update() {
  const bool inside = mouseinrect(x, y, w, h);
  const vect2d m = worldat(mousex, mousey);

  if (inside && mousepressed[MOUSE_MIDDLE]) {
    is_panning = 1;
    panx = mousex;
    pany = mousey;
  }
  if (mousereleased[MOUSE_MIDDLE]) is_panning = 0;
  if (is_panning) {
    pos->set(pos->x + (panx - mousex) / zoom, pos->y + (pany - mousey) / zoom);
    panx = mousex;
    pany = mousey;
    follow = 0;
  } else if (focus && follow && focus->pos) {
    pos->setto(*focus->pos);
  }

  over = nullptr;
  if (inside) {
    if (mousedoubleclick[MOUSE_LEFT]) pos = m.copy();
    if ((zoom > MIN_ZOOM && mousewheel == 1) || (takekeys && TakeKeyHits(ZOOM_OUT_KEY) != 0)) {
      zoom /= ZOOM_STEP;
      if (!follow) pos = pos->lerp(m, ZOOM_OUT_PAN);
    } else if ((zoom < MAX_ZOOM && mousewheel == -1) ||
               (takekeys && TakeKeyHits(ZOOM_IN_KEY) != 0)) {
      zoom *= ZOOM_STEP;
      if (!follow) pos = pos->lerp(m, ZOOM_IN_PAN);
    }
    zoom = std::clamp(zoom, MIN_ZOOM, MAX_ZOOM);

    if (view) {
      for (const bodyRef& b : view->allbodies) {
        if (b->pos && m.distsq(*b->pos) < b->r2) over = b;
      }
    }
    if (over && mousepressed[MOUSE_LEFT]) {
      focus = over;
      follow = mousedoubleclick[MOUSE_LEFT] ? 1 : 0;
    } else if (mousedoubleclick[MOUSE_LEFT]) {
      focus = nullptr;
      follow = 0;
    }
  }
  if (!focus) follow = 0;
  return 0;
}

}  // namespace skyloom

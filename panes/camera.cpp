// The camera: the world-to-screen mapping, drawing bodies, halos and orbit
// outlines, and the per-frame input that pans, zooms, hovers and selects.
#include "panes/camera.h"

#include <algorithm>
#include <cmath>

#include "input/mouse.h"
#include "panes/label.h"
#include "runtime/display.h"

namespace skyloom {

namespace {

constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;

const vect2d kOrigin(0, 0);

// Halo widths around a disc: the focused body's, narrower when it is also
// hovered, and the hovered body's.
constexpr int FOCUS_HALO = 4;
constexpr int HOVER_HALO = 3;

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

// Turns v about (0, 0) through its polar form, as the model turns orbits.
void RotatePolar(double& vx, double& vy, double degrees) {
  const double length = std::sqrt(vx * vx + vy * vy);
  const double angle = (std::atan2(vy, vx) * kRadToDeg + degrees) * kDegToRad;
  vx = length * std::cos(angle);
  vy = length * std::sin(angle);
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

int camera::DrawEllipse(double cx, double cy, double rx, double ry, double rotation, double start) {
  const int n = OrbitSides(rx, ry);
  const double step = 360.0 / n;
  double a = start;
  float first_x = 0, first_y = 0, prev_x = 0, prev_y = 0;
  for (int i = 0; i < n; ++i, a += step) {
    double vx = std::cos(a * kDegToRad) * rx;
    double vy = std::sin(a * kDegToRad) * ry;
    if (rotation != 0) RotatePolar(vx, vy, rotation);
    const float px = static_cast<float>(vx + cx), py = static_cast<float>(vy + cy);
    if (i == 0) {
      first_x = px;
      first_y = py;
    } else {
      DrawLine(px, py, prev_x, prev_y, false);
    }
    prev_x = px;
    prev_y = py;
  }
  DrawLine(first_x, first_y, prev_x, prev_y, false);
  return 0;
}

int camera::drawbody(const body& b) {
  const vect2d& at = b.pos ? *b.pos : kOrigin;
  const double px = at.x - pos->x, py = at.y - pos->y;
  if (b.pos) {
    if (&b == focus.get()) {
      SetFocusColor();
      DrawCircle(px, py, b.radius, zoom, &b == over.get() ? HOVER_HALO : FOCUS_HALO);
    } else if (&b == over.get()) {
      SetHoverColor();
      DrawCircle(px, py, b.radius, zoom, HOVER_HALO);
    }
    SetBodyColor();
    DrawCircle(px, py, b.radius, zoom, 0);
  }
  SetOrbitColor();
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
  drawlabel(*this);
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
    if ((zoom > MIN_ZOOM && mousewheel == 1) || TakeKeyHits(ZOOM_OUT_KEY) != 0) {
      zoom /= ZOOM_STEP;
      if (!follow) pos = pos->lerp(m, ZOOM_OUT_PAN);
    } else if ((zoom < MAX_ZOOM && mousewheel == -1) || TakeKeyHits(ZOOM_IN_KEY) != 0) {
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

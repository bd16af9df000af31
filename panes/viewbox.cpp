// Panes: the standard buttons and their icons, button geometry, drawing, and
// the split and merge rules that keep the panes tiling the screen.
#include "panes/viewbox.h"

#include <algorithm>
#include <array>

#include "assets/embedded.h"
#include "input/hotkey.h"
#include "input/mouse.h"

namespace skyloom {

namespace {

constexpr int ICON_COUNT = 6;
constexpr std::array<const char16_t*, ICON_COUNT> kIconUrls = {
    u"incbin::viewbox/splith.png", u"incbin::viewbox/splitv.png", u"incbin::viewbox/mergeu.png",
    u"incbin::viewbox/merged.png", u"incbin::viewbox/mergel.png", u"incbin::viewbox/merger.png"};
enum { SPLIT_H, SPLIT_V, MERGE_U, MERGE_D, MERGE_L, MERGE_R };

std::array<ImageRef, ICON_COUNT>& Icons() {
  static std::array<ImageRef, ICON_COUNT> icons;
  return icons;
}

bool Contains(const viewboxList& panes, const viewbox* pane) {
  return std::any_of(panes.begin(), panes.end(),
                     [pane](const viewboxRef& p) { return p.get() == pane; });
}

// Whether a pane overlaps the rectangle without lying wholly inside it.
bool PartlyInside(const viewbox& p, int l, int t, int r, int b) {
  const bool overlaps = p.x < r && p.x + p.w > l && p.y < b && p.y + p.h > t;
  const bool inside = p.x >= l && p.y >= t && p.x + p.w <= r && p.y + p.h <= b;
  return overlaps && !inside;
}

}  // namespace

int InitPanes() {
  RegisterEmbeddedResources();
  int loaded = 1;
  for (int i = 0; i < ICON_COUNT; ++i) {
    Icons()[i] = LoadImageFrom(kIconUrls[i]);
    if (!Icons()[i]) loaded = 0;
  }
  InitMouse();
  InitHotkeys();
  return loaded;
}

const ImageRef& paneicon(int index) {
  return Icons().at(index);
}

// --- vbbutton ------------------------------------------------------------------

int vbbutton::update(int over) {
  state = 0;
  if (!over) return 0;
  for (int b = MOUSE_LEFT; b <= MOUSE_BUTTONS; ++b) {
    if (mousepressed[b]) {
      state = b;
      break;
    }
  }
  return 0;
}

int vbbutton::draw(int bx, int by) {
  if (image) DrawImageAt(image, static_cast<float>(bx), static_cast<float>(by), 0);
  return 0;
}

// --- viewbox -------------------------------------------------------------------

viewbox::viewbox() {
  split_h = addbutton(bot, 1, align_right, Icons()[SPLIT_H]);
  split_v = addbutton(bot, 0, align_right, Icons()[SPLIT_V]);
  merge_u = addbutton(top, 1, align_right, Icons()[MERGE_U]);
  merge_d = addbutton(bot, 1, align_left, Icons()[MERGE_D]);
  merge_l = addbutton(bot, 0, align_left, Icons()[MERGE_L]);
  merge_r = addbutton(top, 0, align_right, Icons()[MERGE_R]);
}

void viewbox::setrect(int nx, int ny, int nw, int nh, int nminw, int nminh) {
  x = nx;
  y = ny;
  w = nw;
  h = nh;
  minw = nminw;
  minh = nminh;
}

viewboxRef viewbox::Create(int nx, int ny, int nw, int nh, int nminw, int nminh) {
  auto pane = std::make_shared<viewbox>();
  pane->setrect(nx, ny, nw, nh, nminw, nminh);
  return pane;
}

viewboxRef viewbox::CreateSameKind(int nx, int ny, int nw, int nh, int nminw, int nminh) const {
  return Create(nx, ny, nw, nh, nminw, nminh);
}

vbbuttonRef viewbox::addbutton(vbbuttonList& row, int loc, int align, const ImageRef& image) {
  auto button = std::make_shared<vbbutton>();
  button->loc = loc;
  button->align = align;
  button->image = image;
  row.push_back(button);
  return button;
}

int viewbox::buttonx(const vbbutton& button) const {
  if (button.align == align_right) return x + w - margins - (button.loc + 1) * buttonsize;
  return x + margins + button.loc * buttonsize;
}

namespace {

void FillRect(int rx, int ry, int rw, int rh) {
  DrawRect(static_cast<float>(rx), static_cast<float>(ry), static_cast<float>(rw),
           static_cast<float>(rh));
}

}  // namespace

// Strips instead of one rectangle under the content: the same pixels, but
// the content area is not filled only to be cleared again, which under a
// software renderer costs a whole extra fill of the screen every frame.
int viewbox::drawbase() {
  SetColor(128, 128, 128);
  const int l = x + margins, t = y + margins, r = x + w - margins, b = y + h - margins;
  int cx = 0, cy = 0, cw = 0, ch = 0;
  const bool hole = contentarea(cx, cy, cw, ch) && cw > 0 && ch > 0 && cx >= l && cy >= t &&
                    cx + cw <= r && cy + ch <= b;
  if (!hole) {
    FillRect(l, t, r - l, b - t);
    return 0;
  }
  if (cy > t) FillRect(l, t, r - l, cy - t);
  if (b > cy + ch) FillRect(l, cy + ch, r - l, b - (cy + ch));
  if (cx > l) FillRect(l, cy, cx - l, ch);
  if (r > cx + cw) FillRect(cx + cw, cy, r - (cx + cw), ch);
  return 0;
}

int viewbox::draw() {
  drawbase();
  drawbuttons(top, toprowy());
  drawbuttons(bot, botrowy());
  drawcontent();
  return 0;
}

int viewbox::drawbuttons(const vbbuttonList& row, int rowy) {
  for (const vbbuttonRef& button : row) button->draw(buttonx(*button), rowy);
  return 0;
}

int viewbox::updatebuttons(const vbbuttonList& row, int rowy) {
  for (const vbbuttonRef& button : row) {
    button->update(mouseinrect(buttonx(*button), rowy, buttonsize, buttonsize));
  }
  return 0;
}

void viewbox::insertsplit(viewboxList& panes, int nx, int ny, int nw, int nh) {
  viewboxRef pane = CreateSameKind(nx, ny, nw, nh, minw, minh);
  copycontentto(*pane);
  panes.insert(panes.begin(), pane);
}

// Splits into parts (2 or 3) when each part keeps room for the frame, the
// buttons and the minimum content size. This pane keeps the left or top part;
// the last new pane takes what the division leaves over.
int viewbox::smallestw() const {
  const int chromeh = 2 * margins + 2 * buttonsize;
  const int chromew = static_cast<int>(std::max(top.size(), bot.size())) * buttonsize;
  return chromeh + chromew + minw + 1;
}

int viewbox::smallesth() const {
  const int chromeh = 2 * margins + 2 * buttonsize;
  return chromeh + minh + 1;
}

bool viewbox::trysplit(viewboxList& panes, int parts, bool side_by_side) {
  if (side_by_side) {
    if (w / parts < smallestw()) return false;
    const int ow = w;
    w = ow / parts;
    for (int k = 1; k < parts; ++k) {
      insertsplit(panes, x + k * w, y, k == parts - 1 ? ow - k * w : w, h);
    }
  } else {
    if (h / parts < smallesth()) return false;
    const int oh = h;
    h = oh / parts;
    for (int k = 1; k < parts; ++k) {
      insertsplit(panes, x, y + k * h, w, k == parts - 1 ? oh - k * h : h);
    }
  }
  return true;
}

// Grows this pane over the neighbours found when they span exactly this
// pane's columns (merging up or down: across) or rows (merging left or
// right) and removes every pane
// lying wholly inside their bounding rectangle. A pane lying only partly
// inside it would end up overlapping the grown pane, so such a merge is
// refused and nothing changes.
bool viewbox::trymerge(viewboxList& panes, const vbinfo& found, bool across) {
  if (found.count == 0) return false;
  const bool lined_up =
      across ? found.minx == x && found.maxx == x + w : found.miny == y && found.maxy == y + h;
  if (!lined_up) return false;
  for (const viewboxRef& p : panes) {
    if (PartlyInside(*p, found.minx, found.miny, found.maxx, found.maxy)) return false;
  }
  const int left = std::min(x, found.minx), right = std::max(x + w, found.maxx);
  const int upper = std::min(y, found.miny), lower = std::max(y + h, found.maxy);
  x = left;
  y = upper;
  w = right - left;
  h = lower - upper;
  const viewboxList swallowed = findboxesin(panes, found.minx, found.miny, found.maxx, found.maxy);
  std::erase_if(panes, [&](const viewboxRef& p) { return Contains(swallowed, p.get()); });
  return true;
}

int viewbox::update(viewboxList& panes) {
  updatebuttons(top, toprowy());
  updatebuttons(bot, botrowy());
  // The first case that applies is carried out, and no other.
  if (split_h->state == MOUSE_LEFT) {
    trysplit(panes, 2, true);
  } else if (split_v->state == MOUSE_LEFT) {
    trysplit(panes, 2, false);
  } else if (split_h->state == MOUSE_RIGHT) {
    trysplit(panes, 3, true);
  } else if (split_v->state == MOUSE_RIGHT) {
    trysplit(panes, 3, false);
  } else if (merge_u->state == MOUSE_LEFT) {
    trymerge(panes, findboxes(panes, x, x + w, -1, -1, -1, -1, -1, y), true);
  } else if (merge_d->state == MOUSE_LEFT) {
    trymerge(panes, findboxes(panes, x, x + w, -1, -1, -1, y + h, -1, -1), true);
  } else if (merge_l->state == MOUSE_LEFT) {
    trymerge(panes, findboxes(panes, -1, -1, y, y + h, -1, -1, x, -1), false);
  } else if (merge_r->state == MOUSE_LEFT) {
    trymerge(panes, findboxes(panes, -1, -1, y, y + h, x + w, -1, -1, -1), false);
  }
  handle();
  return 0;
}

vbinfo viewbox::findboxes(const viewboxList& panes, int minleft, int maxright, int mintop,
                          int maxbottom, int left, int top, int right, int bottom) {
  vbinfo info;
  for (const viewboxRef& p : panes) {
    const int pr = p->x + p->w, pb = p->y + p->h;
    if ((minleft != -1 && p->x < minleft) || (maxright != -1 && pr > maxright) ||
        (mintop != -1 && p->y < mintop) || (maxbottom != -1 && pb > maxbottom) ||
        (left != -1 && p->x != left) || (top != -1 && p->y != top) ||
        (right != -1 && pr != right) || (bottom != -1 && pb != bottom)) {
      continue;
    }
    if (info.count == 0) {
      info.minx = p->x;
      info.miny = p->y;
      info.maxx = pr;
      info.maxy = pb;
    } else {
      info.minx = std::min(info.minx, p->x);
      info.miny = std::min(info.miny, p->y);
      info.maxx = std::max(info.maxx, pr);
      info.maxy = std::max(info.maxy, pb);
    }
    info.list.push_back(p);
    ++info.count;
  }
  return info;
}

viewboxList viewbox::findboxesin(const viewboxList& panes, int l, int t, int r, int b) {
  viewboxList inside;
  for (const viewboxRef& p : panes) {
    if (p->x >= l && p->y >= t && p->x + p->w <= r && p->y + p->h <= b) inside.push_back(p);
  }
  return inside;
}

}  // namespace skyloom

// The display layer: the program-wide drawing and input state, the geometry of
// every primitive (origin, rotation, scale, oval corners, last pixel of lines)
// and image loading. The geometry is worked out here, once, for every backend.
#include "runtime/display.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

#include "imaging/png.h"
#include "runtime/backend_gl.h"
#include "runtime/backend_recording.h"
#include "runtime/input.h"
#include "runtime/input_sdl.h"
#include "runtime/open.h"

namespace skyloom {

namespace {

constexpr int MIN_OVAL_CORNERS = 12;
// Bounds the polygon of an absurdly large (or non-finite) oval, which would
// otherwise ask for billions of corners; such ovals lie far off screen anyway.
constexpr int MAX_OVAL_CORNERS = 1 << 16;

// What the back buffer is known to hold since the last clear of the whole
// surface: that colour everywhere except inside the rectangles drawn into
// since. A clear of a smaller area that none of them touches would change
// no pixel, and is skipped: under a software renderer a part-surface clear
// costs as much as filling a rectangle, while a whole-surface one is nearly
// free.
struct TClearTracker {
  bool known = false;  // a whole-surface clear since the last flip
  int red = 0, green = 0, blue = 0;
  std::vector<TViewport> drawn;
  bool skipping = true;

  void Forget() {
    known = false;
    drawn.clear();
  }
  void WholeSurfaceCleared(int r, int g, int b) {
    known = true;
    red = r;
    green = g;
    blue = b;
    drawn.clear();
  }
};

bool Intersect(const TViewport& a, const TViewport& b) {
  return int64_t(a.x) < int64_t(b.x) + b.w && int64_t(b.x) < int64_t(a.x) + a.w &&
         int64_t(a.y) < int64_t(b.y) + b.h && int64_t(b.y) < int64_t(a.y) + a.h && a.w > 0 &&
         a.h > 0 && b.w > 0 && b.h > 0;
}

bool Covers(const TViewport& v, int width, int height) {
  return v.x <= 0 && v.y <= 0 && int64_t(v.x) + v.w >= width && int64_t(v.y) + v.h >= height;
}

struct TDisplaySession {
  std::shared_ptr<TDrawBackend> backend;  // null while no display is open
  TGLBackend* gl = nullptr;               // the backend when it is the real display
  int width = 0;
  int height = 0;
  int hertz = 0;
  bool fullscreen = false;
  std::string error;
  std::u16string title;
  TDrawState state;
  TInputState input;
  std::vector<TDrawPoint> oval_corners;  // reused by every DrawOval and DrawPolygon
  TClearTracker clears;
  // The smallest size a window may take; 0: any.
  int min_width = 0, min_height = 0;
  // A window size the recording display is given, taken at the next flip.
  int pending_width = 0, pending_height = 0;

  // At process exit the window and the context are released (which also
  // restores the desktop's mode). The connection to the window system is left
  // for the exit to close: closing it unloads the graphics driver, and leak
  // checkers can then no longer tell the driver's own allocations from ours.
  ~TDisplaySession() {
    gl = nullptr;
    backend.reset();
  }
};

TDisplaySession& Session() {
  static TDisplaySession session;
  return session;
}

TDrawState& State() {
  return Session().state;
}

int ClampComponent(int value) {
  return std::clamp(value, 0, 255);
}

// cos and sin of an angle in degrees, exact at multiples of 90 so that quarter
// turns map pixels onto pixels.
void CosSinDegrees(double degrees, double& c, double& s) {
  const double turn = std::fmod(degrees, 360.0);
  if (std::fmod(turn, 90.0) == 0.0) {
    static constexpr double kCos[4] = {1, 0, -1, 0};
    static constexpr double kSin[4] = {0, 1, 0, -1};
    const int quarter = (static_cast<int>(turn / 90.0) + 4) % 4;
    c = kCos[quarter];
    s = kSin[quarter];
    return;
  }
  const double radians = degrees * M_PI / 180.0;
  c = std::cos(radians);
  s = std::sin(radians);
}

// The corner directions of an n-cornered oval, cos and sin of 360 * i / n
// degrees, exactly as CosSinDegrees gives them.
struct TUnitCircle {
  std::vector<std::pair<double, double>> at;
};

// Ovals of up to this many corners (all that fit on a screen) keep their
// corner directions from one oval to the next.
constexpr int MAX_TABLED_CORNERS = 1024;

// The table for n corners (a multiple of 4), made on first use; null for
// larger n, whose corners are computed one by one.
const TUnitCircle* UnitCircle(int n) {
  static std::vector<TUnitCircle> tables(MAX_TABLED_CORNERS / 4 + 1);
  if (n > MAX_TABLED_CORNERS) return nullptr;
  TUnitCircle& table = tables[n / 4];
  if (table.at.empty()) {
    table.at.resize(n);
    for (int i = 0; i < n; ++i) CosSinDegrees(360.0 * i / n, table.at[i].first, table.at[i].second);
  }
  return &table;
}

void DeriveTransform(TDrawState& state) {
  double c, s;
  CosSinDegrees(state.rotation, c, s);
  state.ix = static_cast<float>(c * state.scale_x);
  state.iy = static_cast<float>(-s * state.scale_y);
  state.jx = static_cast<float>(s * state.scale_x);
  state.jy = static_cast<float>(c * state.scale_y);
}

// A point given relative to an anchor, through the transform, in display space.
TDrawPoint Place(float anchor_x, float anchor_y, float px, float py) {
  const TDrawState& st = State();
  return {anchor_x + st.origin_x + px * st.ix + py * st.iy,
          anchor_y + st.origin_y + px * st.jx + py * st.jy};
}

TDrawStyle CurrentStyle() {
  const TDrawState& st = State();
  return {st.red, st.green, st.blue, st.alpha, st.blend, st.viewport};
}

// Notes that the pixels within the box (display space, before clipping),
// widened by reach pixels on every side, may have changed. A filled shape
// sets only pixels whose centres it covers, all within the box itself
// (reach 0); lines and points reach further. Inside one viewport smaller than the display the boxes
// are merged, since the viewport bounds them anyway; on the whole display (pane frames and buttons)
// each is kept, so the content they surround stays known to be clear.
void MarkDrawn(float left, float top, float right, float bottom, float reach) {
  TDisplaySession& session = Session();
  TClearTracker& clears = session.clears;
  if (!clears.known) return;
  const TViewport& v = session.state.viewport;
  const auto bound = [](float value) {
    return static_cast<int64_t>(std::clamp<double>(value, -1e9, 1e9));
  };
  int64_t l = v.x, t = v.y, r = int64_t(v.x) + v.w, b = int64_t(v.y) + v.h;
  if (!std::isnan(left) && !std::isnan(top) && !std::isnan(right) && !std::isnan(bottom)) {
    const int64_t margin = static_cast<int64_t>(std::ceil(std::clamp(reach, 0.0f, 1e6f)));
    l = std::max<int64_t>(bound(std::floor(left)) - margin, l);
    t = std::max<int64_t>(bound(std::floor(top)) - margin, t);
    r = std::min<int64_t>(bound(std::ceil(right)) + margin, r);
    b = std::min<int64_t>(bound(std::ceil(bottom)) + margin, b);
  }
  if (l >= r || t >= b) return;
  const TViewport box{static_cast<int>(l), static_cast<int>(t), static_cast<int>(r - l),
                      static_cast<int>(b - t)};
  const bool small_viewport = !Covers(v, session.width, session.height);
  if (small_viewport && !clears.drawn.empty()) {
    TViewport& last = clears.drawn.back();
    if (last.x >= v.x && last.y >= v.y && int64_t(last.x) + last.w <= int64_t(v.x) + v.w &&
        int64_t(last.y) + last.h <= int64_t(v.y) + v.h) {
      const int nl = std::min(last.x, box.x), nt = std::min(last.y, box.y);
      const int nr = std::max(last.x + last.w, box.x + box.w);
      const int nb = std::max(last.y + last.h, box.y + box.h);
      last = {nl, nt, nr - nl, nb - nt};
      return;
    }
  }
  clears.drawn.push_back(box);
}

// Widening of a point's box: the pixel whose centre it is nearest.
constexpr float POINT_REACH = 1.0f;

template <typename Points>
void MarkDrawnPoints(const Points& points, float reach = 0.0f) {
  if (!Session().clears.known) return;
  float l = INFINITY, t = INFINITY, r = -INFINITY, b = -INFINITY;
  bool nan = false;
  for (const TDrawPoint& p : points) {
    nan = nan || std::isnan(p.x) || std::isnan(p.y);
    l = std::min(l, p.x);
    t = std::min(t, p.y);
    r = std::max(r, p.x);
    b = std::max(b, p.y);
  }
  if (nan) l = t = r = b = NAN;
  MarkDrawn(l, t, r, b, reach);
}

// Takes the size the window system has given a window since the last frame,
// kept at least at the window's smallest size. A full-screen display keeps
// the size of its mode.
void FollowWindowSize() {
  TDisplaySession& session = Session();
  if (session.fullscreen) return;
  int width = session.width, height = session.height;
  if (session.gl) {
    PumpSdlEvents(session.input);
    session.gl->DrawableSize(width, height);
  } else if (session.pending_width > 0) {
    width = session.pending_width;
    height = session.pending_height;
    session.pending_width = session.pending_height = 0;
  }
  if (width < session.min_width || height < session.min_height) {
    // Without a window manager nothing enforces the smallest size.
    width = std::max(width, session.min_width);
    height = std::max(height, session.min_height);
    if (session.gl) session.gl->SetWindowSize(width, height);
  }
  if (width <= 0 || height <= 0 || (width == session.width && height == session.height)) return;
  TViewport& viewport = session.state.viewport;
  const bool whole = viewport.x == 0 && viewport.y == 0 && viewport.w == session.width &&
                     viewport.h == session.height;
  session.width = width;
  session.height = height;
  if (session.gl) session.gl->Resize(width, height);
  if (whole) viewport = {0, 0, width, height};
  session.clears.Forget();
}

// Starts a display session on a backend, with fresh drawing and input state.
void BeginSession(std::shared_ptr<TDrawBackend> backend, TGLBackend* gl, int width, int height,
                  int hertz, bool fullscreen) {
  TDisplaySession& session = Session();
  session.backend = std::move(backend);
  session.gl = gl;
  session.width = width;
  session.height = height;
  session.hertz = hertz;
  session.fullscreen = fullscreen;
  session.state = TDrawState();
  session.state.viewport = {0, 0, width, height};
  session.clears.Forget();
  session.min_width = session.min_height = 0;
  session.pending_width = session.pending_height = 0;
  session.input.Reset();
  MoveMouse(width / 2, height / 2);
}

// Takes the pending platform events into the input state.
TInputState& PolledInput() {
  TDisplaySession& session = Session();
  if (session.gl) PumpSdlEvents(session.input);
  return session.input;
}

PixmapRef ReadPicture(const std::u16string& url) {
  try {
    StreamRef stream = OpenInput(url);
    return stream ? ReadPNG(stream) : nullptr;
  } catch (const std::exception&) {
    return nullptr;  // a damaged or truncated picture is an unreadable one
  }
}

}  // namespace

// --- Display -----------------------------------------------------------------

void SetWindowTitle(const std::u16string& title) {
  Session().title = title;
  if (Session().gl) Session().gl->SetTitle(title);
}

std::vector<TGraphicsMode> GraphicsModes() {
  Session().error.clear();
  return SdlGraphicsModes(Session().error);
}

int OpenDisplay(int width, int height, int depth, int hertz) {
  CloseDisplay();
  TDisplaySession& session = Session();
  session.error.clear();
  if (width <= 0 || height <= 0) {
    session.error = "the display size " + std::to_string(width) + " x " + std::to_string(height) +
                    " is not positive";
    return 0;
  }
  std::unique_ptr<TGLBackend> gl =
      TGLBackend::Open({width, height, depth, hertz}, session.title, session.error);
  if (!gl) return 0;
  TGLBackend* raw = gl.get();
  BeginSession(std::move(gl), raw, width, height, hertz, depth != 0);
  return 1;
}

void CloseDisplay() {
  TDisplaySession& session = Session();
  session.gl = nullptr;
  session.backend.reset();
  session.width = session.height = session.hertz = 0;
  session.fullscreen = false;
}

std::string DisplayError() {
  return Session().error;
}

int DisplayWidth() {
  return Session().width;
}
int DisplayHeight() {
  return Session().height;
}

void Flip(int sync) {
  TDisplaySession& session = Session();
  if (!session.backend) return;
  const bool wait = sync == 1 || (sync == -1 && session.fullscreen && session.hertz != 0);
  session.backend->Present(wait);
  session.clears.Forget();
  FollowWindowSize();
}

void Cls() {
  TDisplaySession& session = Session();
  if (!session.backend) return;
  const TDrawState& st = session.state;
  TClearTracker& clears = session.clears;
  if (Covers(st.viewport, session.width, session.height)) {
    clears.WholeSurfaceCleared(st.cls_red, st.cls_green, st.cls_blue);
  } else if (clears.known) {
    const bool same_colour =
        st.cls_red == clears.red && st.cls_green == clears.green && st.cls_blue == clears.blue;
    const bool untouched =
        std::none_of(clears.drawn.begin(), clears.drawn.end(),
                     [&](const TViewport& d) { return Intersect(d, st.viewport); });
    if (same_colour && untouched && clears.skipping) return;
    if (!same_colour) clears.drawn.push_back(st.viewport);
  }
  session.backend->Clear(st.viewport, st.cls_red, st.cls_green, st.cls_blue);
}

bool DisplayFullscreen() {
  return Session().backend && Session().fullscreen;
}

int ReopenDisplay(int width, int height, int depth, int hertz) {
  TDisplaySession& session = Session();
  session.error.clear();
  if (!session.backend) {
    session.error = "no display is open";
    return 0;
  }
  if (width <= 0 || height <= 0) {
    session.error = "the display size " + std::to_string(width) + " x " + std::to_string(height) +
                    " is not positive";
    return 0;
  }
  if (session.gl && !session.gl->Reopen({width, height, depth, hertz}, session.error)) return 0;
  session.width = width;
  session.height = height;
  session.hertz = hertz;
  session.fullscreen = depth != 0;
  session.state.viewport = {0, 0, width, height};
  session.clears.Forget();
  if (session.gl) {
    int x = 0, y = 0;
    session.gl->PointerInWindow(x, y);
    session.input.PointerMoved(x, y);
  }
  return 1;
}

void SetDisplayMinimumSize(int width, int height) {
  TDisplaySession& session = Session();
  session.min_width = std::max(width, 0);
  session.min_height = std::max(height, 0);
  if (session.gl) session.gl->SetMinimumSize(session.min_width, session.min_height);
}

void DisplayMinimumSize(int& width, int& height) {
  width = Session().min_width;
  height = Session().min_height;
}

bool DesktopSize(int& width, int& height) {
  std::string error;
  return SdlDesktopSize(width, height, error);
}

void SetClearSkipping(bool on) {
  Session().clears.skipping = on;
}

void ResizeRecordingDisplay(int width, int height) {
  Session().pending_width = width;
  Session().pending_height = height;
}

std::shared_ptr<TRecordingBackend> OpenRecordingDisplay(int width, int height, int hertz) {
  CloseDisplay();
  Session().error.clear();
  auto recorder = std::make_shared<TRecordingBackend>();
  BeginSession(recorder, nullptr, width, height, hertz, true);
  return recorder;
}

std::shared_ptr<TRecordingBackend> OpenRecordingWindow(int width, int height) {
  std::shared_ptr<TRecordingBackend> recorder = OpenRecordingDisplay(width, height);
  Session().fullscreen = false;
  return recorder;
}

TInputState& ProgramInput() {
  return Session().input;
}

// --- Drawing state -------------------------------------------------------------

const TDrawState& DrawState() {
  return State();
}

void SetColor(int red, int green, int blue) {
  TDrawState& st = State();
  st.red = ClampComponent(red);
  st.green = ClampComponent(green);
  st.blue = ClampComponent(blue);
}

void GetColor(int& red, int& green, int& blue) {
  red = State().red;
  green = State().green;
  blue = State().blue;
}

void SetAlpha(float alpha) {
  State().alpha = std::isnan(alpha) ? 0.0f : std::clamp(alpha, 0.0f, 1.0f);
}

float GetAlpha() {
  return State().alpha;
}

void SetClsColor(int red, int green, int blue) {
  TDrawState& st = State();
  st.cls_red = ClampComponent(red);
  st.cls_green = ClampComponent(green);
  st.cls_blue = ClampComponent(blue);
}

void SetBlend(int mode) {
  State().blend = mode;
}
int GetBlend() {
  return State().blend;
}

void SetLineWidth(float width) {
  State().line_width = width;
}

void SetDrawRotation(float degrees) {
  State().rotation = degrees;
  DeriveTransform(State());
}

void SetDrawScale(float sx, float sy) {
  State().scale_x = sx;
  State().scale_y = sy;
  DeriveTransform(State());
}

void GetDrawScale(float& sx, float& sy) {
  sx = State().scale_x;
  sy = State().scale_y;
}

void SetDrawOrigin(float x, float y) {
  State().origin_x = x;
  State().origin_y = y;
}

void GetDrawOrigin(float& x, float& y) {
  x = State().origin_x;
  y = State().origin_y;
}

void SetViewport(int x, int y, int w, int h) {
  State().viewport = {x, y, std::max(w, 0), std::max(h, 0)};
}

TViewport GetViewport() {
  return State().viewport;
}

// --- Primitives --------------------------------------------------------------------

int OvalCornerCount(float w, float h) {
  const double sum = std::fabs(w / 2.0) + std::fabs(h / 2.0);
  int corners = MIN_OVAL_CORNERS;
  if (sum > MAX_OVAL_CORNERS) {
    corners = MAX_OVAL_CORNERS;
  } else if (sum > MIN_OVAL_CORNERS) {
    corners = static_cast<int>(sum);
  }
  return corners - corners % 4;
}

void DrawRect(float x, float y, float w, float h) {
  TDrawBackend* backend = Session().backend.get();
  if (!backend) return;
  const std::vector<TDrawPoint> corners = {Place(x, y, 0, 0), Place(x, y, w, 0), Place(x, y, w, h),
                                           Place(x, y, 0, h)};
  MarkDrawnPoints(corners);
  backend->FillPolygon(corners, CurrentStyle());
}

void DrawOval(float x, float y, float w, float h) {
  TDrawBackend* backend = Session().backend.get();
  if (!backend) return;
  const int n = OvalCornerCount(w, h);
  const float rx = w / 2, ry = h / 2;
  std::vector<TDrawPoint>& corners = Session().oval_corners;
  corners.clear();
  corners.reserve(n);
  const TUnitCircle* table = UnitCircle(n);
  for (int i = 0; i < n; ++i) {
    double c, s;
    if (table) {
      c = table->at[i].first;
      s = table->at[i].second;
    } else {
      CosSinDegrees(360.0 * i / n, c, s);
    }
    corners.push_back(
        Place(x, y, static_cast<float>(rx + rx * c), static_cast<float>(ry + ry * s)));
  }
  MarkDrawnPoints(corners);
  backend->FillPolygon(corners, CurrentStyle());
}

void DrawPolygon(float x, float y, const std::vector<std::pair<float, float>>& offsets) {
  TDrawBackend* backend = Session().backend.get();
  if (!backend || offsets.size() < 3) return;
  std::vector<TDrawPoint>& corners = Session().oval_corners;
  corners.clear();
  for (const auto& [dx, dy] : offsets) corners.push_back(Place(x, y, dx, dy));
  MarkDrawnPoints(corners);
  backend->FillPolygon(corners, CurrentStyle());
}

void DrawLine(float x1, float y1, float x2, float y2, bool lastpixel) {
  TDrawBackend* backend = Session().backend.get();
  if (!backend) return;
  const TDrawStyle style = CurrentStyle();
  const TDrawPoint end = Place(x1, y1, x2 - x1, y2 - y1);
  const TDrawPoint start = Place(x1, y1, 0, 0);
  MarkDrawnPoints(std::array<TDrawPoint, 2>{start, end}, std::fabs(State().line_width) + 1);
  backend->Line(start, end, State().line_width, style);
  if (lastpixel) backend->Point(end, style);
}

void Plot(float x, float y) {
  TDrawBackend* backend = Session().backend.get();
  if (!backend) return;
  const TDrawState& st = State();
  const TDrawPoint at{x + st.origin_x, y + st.origin_y};
  MarkDrawnPoints(std::array<TDrawPoint, 1>{at}, POINT_REACH);
  backend->Point(at, CurrentStyle());
}

// --- Images ------------------------------------------------------------------------

void DrawImageAt(const ImageRef& image, float x, float y, int frame) {
  TDrawBackend* backend = Session().backend.get();
  if (!backend || !image || frame < 0 || frame >= static_cast<int>(image->frames.size())) return;
  const float left = static_cast<float>(-image->handle_x);
  const float top = static_cast<float>(-image->handle_y);
  const float right = left + image->width;
  const float bottom = top + image->height;
  const TDrawPoint corners[4] = {Place(x, y, left, top), Place(x, y, right, top),
                                 Place(x, y, right, bottom), Place(x, y, left, bottom)};
  MarkDrawnPoints(corners);
  backend->Image(*image, frame, corners, CurrentStyle());
}

ImageRef LoadImageFrom(const std::u16string& url) {
  PixmapRef picture = ReadPicture(url);
  if (!picture) return nullptr;
  auto image = std::make_shared<TImage>();
  image->width = picture->width;
  image->height = picture->height;
  image->frames.push_back(picture->Convert(PIXEL_RGBA8888));
  image->textures.resize(1);
  return image;
}

ImageRef LoadAnimImageFrom(const std::u16string& url, int cellwidth, int cellheight, int firstcell,
                           int cellcount) {
  return LoadAnimImageFrom(ReadPicture(url), cellwidth, cellheight, firstcell, cellcount);
}

ImageRef LoadAnimImageFrom(const PixmapRef& pixmap, int cellwidth, int cellheight, int firstcell,
                           int cellcount) {
  if (!pixmap || cellwidth <= 0 || cellheight <= 0 || firstcell < 0 || cellcount < 1) {
    return nullptr;
  }
  const int columns = pixmap->width / cellwidth;
  const int rows = pixmap->height / cellheight;
  if (int64_t(firstcell) + cellcount > int64_t(columns) * rows) return nullptr;
  auto image = std::make_shared<TImage>();
  image->width = cellwidth;
  image->height = cellheight;
  for (int k = 0; k < cellcount; ++k) {
    const int cell = firstcell + k;
    PixmapRef window = pixmap->Window(cell % columns * cellwidth, cell / columns * cellheight,
                                      cellwidth, cellheight);
    image->frames.push_back(window->Convert(PIXEL_RGBA8888));
  }
  image->textures.resize(cellcount);
  return image;
}

// --- Screen capture ------------------------------------------------------------------

PixmapRef GrabPixmap(int x, int y, int w, int h) {
  TDrawBackend* backend = Session().backend.get();
  if (!backend || w < 0 || h < 0) return nullptr;
  return backend->Grab(x, y, w, h);
}

// --- Input ---------------------------------------------------------------------------

bool IsKeyDown(int code) {
  return PolledInput().IsKeyDown(code);
}
int TakeKeyHits(int code) {
  return PolledInput().TakeKeyHits(code);
}
bool IsButtonDown(int button) {
  return PolledInput().IsButtonDown(button);
}
int TakeButtonHits(int button) {
  return PolledInput().TakeButtonHits(button);
}
int PointerX() {
  return PolledInput().PointerX();
}
int PointerY() {
  return PolledInput().PointerY();
}
int WheelPosition() {
  return PolledInput().WheelPosition();
}
bool TakeCloseRequest() {
  return PolledInput().TakeCloseRequest();
}
bool IsSuspended() {
  return PolledInput().IsSuspended();
}

void MoveMouse(int x, int y) {
  TDisplaySession& session = Session();
  session.input.PointerMoved(x, y);
  if (session.gl) session.gl->WarpPointer(x, y);
}

}  // namespace skyloom

// The OpenGL backend: an SDL window with an OpenGL 2.1 compatibility context,
// fixed-function drawing in display pixels (y down), scissor clipping, alpha
// test and blend functions per blend mode, nearest-pixel textures, and runs of
// like primitives batched into client-side vertex arrays.
#include "runtime/backend_gl.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "runtime/lost_display.h"
#include "runtime/strings.h"

namespace skyloom {

namespace {

// Bumped whenever a context goes away, so textures of an old context are
// neither drawn nor deleted in a new one. A plain int: it must outlive every
// image, whatever order static objects are destroyed in.
int g_live_generation = 0;
int g_next_generation = 0;

// The backend whose context is current; one display is open at a time.
TGLBackend* g_current = nullptr;

// A batch is sent once it holds this many floats, so that one long run of a
// single style does not grow the arrays without end. Sending early keeps the
// order of drawing and so changes no pixel.
constexpr size_t kMaxBatchFloats = size_t(1) << 18;

// Small image frames (button icons, glyphs) share one texture, the atlas,
// so that a run of them is drawn in one call whatever image each one is:
// under a software renderer every draw call has a fixed cost well above
// that of the few pixels of an icon. Each frame sits in the atlas with a
// border of one texel repeating its edge, so that sampling just outside it
// gives what clamping a texture of its own would.
constexpr int kAtlasSize = 256;
constexpr int kAtlasLargestFrame = 16;  // larger frames get a texture of their own
constexpr int kAtlasBorder = 1;

}  // namespace

class TGLTexture : public TTexture {
 public:
  // A texture of the frame's own (owned, deleted with it), or its place in
  // the atlas: texture coordinates of its top-left and bottom-right corners.
  TGLTexture(GLuint id, int generation, bool owned, float s0 = 0, float t0 = 0, float s1 = 1,
             float t1 = 1)
      : id(id), generation(generation), owned(owned), s0(s0), t0(t0), s1(s1), t1(t1) {}
  ~TGLTexture() override {
    if (owned && generation == g_live_generation) glDeleteTextures(1, &id);
  }
  GLuint id;
  int generation;
  bool owned;
  float s0, t0, s1, t1;
};

namespace {

// The frame's pixels with a border of its edge texels repeated round it.
std::vector<uint8_t> WithRepeatedEdge(const TPixmap& pixels) {
  const int w = pixels.width + 2 * kAtlasBorder, h = pixels.height + 2 * kAtlasBorder;
  std::vector<uint8_t> out(size_t(w) * h * 4);
  for (int y = 0; y < h; ++y) {
    const int sy = std::clamp(y - kAtlasBorder, 0, pixels.height - 1);
    for (int x = 0; x < w; ++x) {
      const int sx = std::clamp(x - kAtlasBorder, 0, pixels.width - 1);
      std::memcpy(&out[(size_t(y) * w + x) * 4], pixels.pixels + size_t(sy) * pixels.pitch + sx * 4,
                  4);
    }
  }
  return out;
}

// Pixel centres sit at half-pixel positions: pixel (x, y) is hit at (x + 0.5, y + 0.5).
void PixelVertex(TDrawPoint p) {
  glVertex2f(p.x + 0.5f, p.y + 0.5f);
}

// Appends a vertex at the pixel centre of a position to a batch.
void AppendPixelVertex(std::vector<float>& vertices, TDrawPoint p) {
  vertices.push_back(p.x + 0.5f);
  vertices.push_back(p.y + 0.5f);
}

void AppendVertex(std::vector<float>& vertices, TDrawPoint p) {
  vertices.push_back(p.x);
  vertices.push_back(p.y);
}

GLubyte AlphaByte(float alpha) {
  return static_cast<GLubyte>(alpha * 255.0f + 0.5f);
}

// The scissor rectangle of a viewport: x, rows from the bottom of the display,
// width, height. A viewport near the ends of the int range gives a bottom
// beyond it, far off the display.
void ScissorFor(const TViewport& viewport, int display_height, int (&scissor)[4]) {
  const int64_t from_bottom = int64_t(display_height) - viewport.y - viewport.h;
  const int64_t clamped = std::clamp<int64_t>(from_bottom, std::numeric_limits<int>::min(),
                                              std::numeric_limits<int>::max());
  scissor[0] = viewport.x;
  scissor[1] = static_cast<int>(clamped);
  scissor[2] = viewport.w;
  scissor[3] = viewport.h;
}

std::string SdlError(const char* what) {
  return std::string(what) + ": " + SDL_GetError();
}

// Where the window system was looked for, for messages.
std::string WindowSystemNote() {
  const char* display = std::getenv("DISPLAY");
  return display ? " (DISPLAY is \"" + std::string(display) + "\")" : " (DISPLAY is not set)";
}

// Starts SDL's video system on a real window system, once: it then stays up
// for the life of the process, since closing the connection to the X server
// and opening it again at once can be refused. Without a Wayland session and
// without an explicit SDL_VIDEODRIVER, only X11 is tried: SDL would otherwise
// fall back to drivers that show nothing (offscreen, dummy).
bool StartVideo(std::string& error) {
  if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
  const bool driver_chosen = std::getenv("SDL_VIDEODRIVER") != nullptr;
  if (!driver_chosen && !std::getenv("WAYLAND_DISPLAY")) SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    error = SdlError("cannot start the video system") + WindowSystemNote();
    return false;
  }
  const char* driver = SDL_GetCurrentVideoDriver();
  const bool invisible =
      driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
  if (invisible && !driver_chosen) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    error = "no window system found" + WindowSystemNote();
    return false;
  }
  return true;
}

// The graphics driver copies vertex arrays into buffers it allocates and
// frees around each draw. By default the C library hands the freed top of the
// heap back to the system every time and faults fresh zeroed pages in for
// the next draw, which under software rendering cost a third of a frame of a
// thousand bodies. Freed heap up to this size is kept for reuse instead.
void KeepFreedHeap() {
#ifdef __GLIBC__
  constexpr int kKeptHeapBytes = 64 << 20;
  mallopt(M_TRIM_THRESHOLD, kKeptHeapBytes);
#endif
}

}  // namespace

std::vector<TGraphicsMode> SdlGraphicsModes(std::string& error) {
  std::vector<TGraphicsMode> modes;
  if (!StartVideo(error)) return modes;
  const int count = SDL_GetNumDisplayModes(0);
  if (count < 0) error = SdlError("cannot list the display modes");
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode mode;
    if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
    modes.push_back({mode.w, mode.h, static_cast<int32_t>(SDL_BYTESPERPIXEL(mode.format) * 8),
                     mode.refresh_rate});
  }
  return modes;
}

bool SdlDesktopSize(int& width, int& height, std::string& error) {
  if (!StartVideo(error)) return false;
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) != 0) {
    error = SdlError("cannot read the desktop's mode");
    return false;
  }
  width = mode.w;
  height = mode.h;
  return true;
}

std::unique_ptr<TGLBackend> TGLBackend::Open(const TGraphicsMode& mode, const std::u16string& title,
                                             std::string& error) {
  KeepFreedHeap();
  std::unique_ptr<TGLBackend> backend(new TGLBackend());
  if (!backend->CreateWindowAndContext(mode, title, error)) return nullptr;
  backend->SetUpProjection();
  g_current = backend.get();
  return backend;
}

TGLBackend* TGLBackend::Current() {
  return g_current;
}

SDL_Window* TGLBackend::MakeWindow(const TGraphicsMode& mode, std::string& error) {
  const bool fullscreen = mode.depth != 0;
  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
  flags |= fullscreen ? SDL_WINDOW_FULLSCREEN : SDL_WINDOW_RESIZABLE;
  const bool placed = !fullscreen && _window_placed;
  const int x = placed ? _window_x : int(SDL_WINDOWPOS_CENTERED);
  const int y = placed ? _window_y : int(SDL_WINDOWPOS_CENTERED);
  SDL_Window* window =
      SDL_CreateWindow(ToUtf8(_title).c_str(), x, y, mode.width, mode.height, flags);
  if (!window) {
    error = SdlError("cannot create the window");
    return nullptr;
  }
  if (fullscreen) {
    SDL_DisplayMode wanted{};
    wanted.w = mode.width;
    wanted.h = mode.height;
    wanted.refresh_rate = mode.hertz;
    if (SDL_SetWindowDisplayMode(window, &wanted) != 0) {
      error = SdlError("cannot set the display mode");
      SDL_DestroyWindow(window);
      return nullptr;
    }
  } else if (_min_width > 0) {
    SDL_SetWindowMinimumSize(window, _min_width, _min_height);
  }
  SDL_ShowWindow(window);
  return window;
}

bool TGLBackend::CreateWindowAndContext(const TGraphicsMode& mode, const std::u16string& title,
                                        std::string& error) {
  if (!StartVideo(error)) return false;
  ExitWhenDisplayLost();
  _title = title;
  _width = mode.width;
  _height = mode.height;
  _fullscreen = mode.depth != 0;
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);

  _window = MakeWindow(mode, error);
  if (!_window) return false;
  _context = SDL_GL_CreateContext(_window);
  if (!_context) {
    error = SdlError("cannot create the OpenGL context");
    return false;
  }
  if (SDL_GL_MakeCurrent(_window, static_cast<SDL_GLContext>(_context)) != 0) {
    error = SdlError("cannot use the OpenGL context");
    return false;
  }
  _generation = g_live_generation = ++g_next_generation;
  SDL_RaiseWindow(_window);
  return true;
}

// A new window replaces the old one, as start-up makes it: asking the
// platform to make an existing window full screen does nothing without a
// window manager, while a window created full screen covers the screen
// everywhere. The context moves to the new window, so textures survive.
bool TGLBackend::Reopen(const TGraphicsMode& mode, std::string& error) {
  Flush();
  if (!_fullscreen) {
    SDL_GetWindowPosition(_window, &_window_x, &_window_y);
    _window_placed = true;
  }
  SDL_Window* window = MakeWindow(mode, error);
  if (!window) return false;
  if (SDL_GL_MakeCurrent(window, static_cast<SDL_GLContext>(_context)) != 0) {
    error = SdlError("cannot use the OpenGL context");
    SDL_GL_MakeCurrent(_window, static_cast<SDL_GLContext>(_context));
    SDL_DestroyWindow(window);
    return false;
  }
  SDL_DestroyWindow(_window);
  _window = window;
  _fullscreen = mode.depth != 0;
  _swap_interval = -2;
  SDL_RaiseWindow(_window);
  Resize(mode.width, mode.height);
  return true;
}

void TGLBackend::Resize(int width, int height) {
  Flush();
  _width = width;
  _height = height;
  SetUpProjection();
}

void TGLBackend::DrawableSize(int& width, int& height) const {
  SDL_GL_GetDrawableSize(_window, &width, &height);
}

void TGLBackend::SetMinimumSize(int width, int height) {
  _min_width = width;
  _min_height = height;
  if (!_fullscreen) SDL_SetWindowMinimumSize(_window, width, height);
}

void TGLBackend::SetWindowSize(int width, int height) {
  if (!_fullscreen) SDL_SetWindowSize(_window, width, height);
}

void TGLBackend::PointerInWindow(int& x, int& y) const {
  int global_x = 0, global_y = 0, window_x = 0, window_y = 0;
  SDL_GetGlobalMouseState(&global_x, &global_y);
  SDL_GetWindowPosition(_window, &window_x, &window_y);
  x = global_x - window_x;
  y = global_y - window_y;
}

TGLBackend::~TGLBackend() {
  if (g_current == this) g_current = nullptr;
  if (_context) {
    Flush();                // also lets go of the batch's texture while its context lives
    g_live_generation = 0;  // textures of this context are gone with it
    if (_atlas != 0) glDeleteTextures(1, &_atlas);
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(_context));
  }
  if (_window) SDL_DestroyWindow(_window);
}

void TGLBackend::SetUpProjection() {
  glViewport(0, 0, _width, _height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, _width, _height, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glDisable(GL_DITHER);
  glEnable(GL_SCISSOR_TEST);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  // Batches are drawn from client-side arrays; glBegin/glEnd ignores them.
  glEnableClientState(GL_VERTEX_ARRAY);
}

void TGLBackend::SetTitle(const std::u16string& title) {
  _title = title;
  SDL_SetWindowTitle(_window, ToUtf8(title).c_str());
}

void TGLBackend::WarpPointer(int x, int y) {
  SDL_WarpMouseInWindow(_window, x, y);
}

void TGLBackend::ApplyViewport(const TViewport& viewport) {
  int scissor[4];
  ScissorFor(viewport, _height, scissor);
  glScissor(scissor[0], scissor[1], scissor[2], scissor[3]);
}

TGLBackend::TDeviceStyle TGLBackend::DeviceStyle(const TDrawStyle& style, bool textured) const {
  TDeviceStyle device;
  device.rgba[0] = static_cast<GLubyte>(style.red);
  device.rgba[1] = static_cast<GLubyte>(style.green);
  device.rgba[2] = static_cast<GLubyte>(style.blue);
  device.rgba[3] = AlphaByte(style.alpha);
  switch (style.blend) {
    case BLEND_MASK:
    case BLEND_ALPHA:
    case BLEND_LIGHT:
    case BLEND_SHADE:
      device.blend = style.blend;
      break;
    default:  // unknown modes draw as BLEND_SOLID
      device.blend = BLEND_SOLID;
      break;
  }
  // An opaque colour passes the alpha test and blends to itself, so without a
  // texture (whose texels carry their own alpha) plain writes give the same
  // pixels without reading the frame: a software rasteriser fills far faster.
  const bool opaque = device.rgba[3] == 255 && !textured;
  if (opaque && (device.blend == BLEND_MASK || device.blend == BLEND_ALPHA)) {
    device.blend = BLEND_SOLID;
  }
  ScissorFor(style.viewport, _height, device.scissor);
  return device;
}

void TGLBackend::ApplyDeviceStyle(const TDeviceStyle& style) {
  glScissor(style.scissor[0], style.scissor[1], style.scissor[2], style.scissor[3]);
  glColor4ub(style.rgba[0], style.rgba[1], style.rgba[2], style.rgba[3]);
  ApplyBlend(style.blend);
}

void TGLBackend::ApplyBlend(int blend) {
  _applied_blend = blend;
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_BLEND);
  switch (blend) {
    case BLEND_MASK:
      glEnable(GL_ALPHA_TEST);
      glAlphaFunc(GL_GEQUAL, 0.5f);
      break;
    case BLEND_ALPHA:
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
      break;
    case BLEND_LIGHT:
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE);
      break;
    case BLEND_SHADE:
      glEnable(GL_BLEND);
      glBlendFunc(GL_DST_COLOR, GL_ZERO);
      break;
    default:  // BLEND_SOLID: plain writes
      break;
  }
}

void TGLBackend::ApplyStyle(const TDrawStyle& style, bool textured) {
  ApplyDeviceStyle(DeviceStyle(style, textured));
}

void TGLBackend::SetBatching(bool on) {
  Flush();
  _batching = on;
}

void TGLBackend::StartBatch(TBatchKind kind, const TDeviceStyle& style, float line_width,
                            unsigned texture) {
  if (_batch.kind == kind && _batch.style == style && _batch.line_width == line_width &&
      _batch.texture == texture && _batch.vertices.size() < kMaxBatchFloats) {
    return;
  }
  Flush();
  _batch.kind = kind;
  _batch.style = style;
  _batch.line_width = line_width;
  _batch.texture = texture;
}

void TGLBackend::Flush() {
  if (_batch.kind == TBatchKind::NONE) return;
  const GLsizei count = static_cast<GLsizei>(_batch.vertices.size() / 2);
  // Switching the alpha test or blending off and on again costs the driver a
  // new validation of its pipeline, so a batch leaves them as they are when
  // the previous draw used the same blend mode.
  const TDeviceStyle& style = _batch.style;
  glScissor(style.scissor[0], style.scissor[1], style.scissor[2], style.scissor[3]);
  glColor4ub(style.rgba[0], style.rgba[1], style.rgba[2], style.rgba[3]);
  if (style.blend != _applied_blend) ApplyBlend(style.blend);
  glVertexPointer(2, GL_FLOAT, 0, _batch.vertices.data());
  switch (_batch.kind) {
    case TBatchKind::POLYGONS:
      glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(_batch.indices.size()), GL_UNSIGNED_INT,
                     _batch.indices.data());
      break;
    case TBatchKind::LINES:
      glLineWidth(_batch.line_width);
      glDrawArrays(GL_LINES, 0, count);
      break;
    case TBatchKind::POINTS:
      glPointSize(1.0f);
      glDrawArrays(GL_POINTS, 0, count);
      break;
    case TBatchKind::IMAGES:
      glEnable(GL_TEXTURE_2D);
      glBindTexture(GL_TEXTURE_2D, _batch.texture);
      glEnableClientState(GL_TEXTURE_COORD_ARRAY);
      glTexCoordPointer(2, GL_FLOAT, 0, _batch.tex_coords.data());
      glDrawArrays(GL_QUADS, 0, count);
      glDisableClientState(GL_TEXTURE_COORD_ARRAY);
      glDisable(GL_TEXTURE_2D);
      break;
    case TBatchKind::NONE:
      break;
  }
  _batch.kind = TBatchKind::NONE;
  _batch.vertices.clear();
  _batch.tex_coords.clear();
  _batch.indices.clear();
  _batch.texture_owner.reset();
}

void TGLBackend::Clear(const TViewport& viewport, int red, int green, int blue) {
  Flush();
  glClearColor(red / 255.0f, green / 255.0f, blue / 255.0f, 1.0f);
  // A clear of the whole surface goes without the scissor: a software
  // rasteriser then fills the buffer directly instead of drawing a quad.
  const bool whole = viewport.x <= 0 && viewport.y <= 0 &&
                     int64_t(viewport.x) + viewport.w >= _width &&
                     int64_t(viewport.y) + viewport.h >= _height;
  if (whole) {
    glDisable(GL_SCISSOR_TEST);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    return;
  }
  ApplyViewport(viewport);
  glClear(GL_COLOR_BUFFER_BIT);
}

void TGLBackend::FillPolygon(const std::vector<TDrawPoint>& corners, const TDrawStyle& style) {
  if (_batching) {
    // The fan around the first corner, as separate triangles that index the
    // corners: each corner is stored and transformed once, as in a fan, not
    // once for every triangle it belongs to. Fewer than three corners fill
    // nothing, as a fan of them would.
    if (corners.size() < 3) return;
    StartBatch(TBatchKind::POLYGONS, DeviceStyle(style), 0, 0);
    const auto first = static_cast<GLuint>(_batch.vertices.size() / 2);
    for (const TDrawPoint& p : corners) AppendVertex(_batch.vertices, p);
    const auto n = static_cast<GLuint>(corners.size());
    for (GLuint i = 1; i + 1 < n; ++i) {
      _batch.indices.push_back(first);
      _batch.indices.push_back(first + i);
      _batch.indices.push_back(first + i + 1);
    }
    return;
  }
  ApplyStyle(style);
  glBegin(GL_TRIANGLE_FAN);
  for (const TDrawPoint& p : corners) glVertex2f(p.x, p.y);
  glEnd();
}

void TGLBackend::Line(TDrawPoint from, TDrawPoint to, float width, const TDrawStyle& style) {
  if (_batching) {
    StartBatch(TBatchKind::LINES, DeviceStyle(style), width, 0);
    AppendPixelVertex(_batch.vertices, from);
    AppendPixelVertex(_batch.vertices, to);
    return;
  }
  ApplyStyle(style);
  glLineWidth(width);
  glBegin(GL_LINES);
  PixelVertex(from);
  PixelVertex(to);
  glEnd();
}

void TGLBackend::Point(TDrawPoint at, const TDrawStyle& style) {
  if (_batching) {
    StartBatch(TBatchKind::POINTS, DeviceStyle(style), 0, 0);
    AppendPixelVertex(_batch.vertices, at);
    return;
  }
  ApplyStyle(style);
  glPointSize(1.0f);
  glBegin(GL_POINTS);
  PixelVertex(at);
  glEnd();
}

const TGLTexture& TGLBackend::TextureFor(TImage& image, int frame) {
  if (image.textures.size() < image.frames.size()) image.textures.resize(image.frames.size());
  auto* texture = dynamic_cast<TGLTexture*>(image.textures[frame].get());
  if (texture && texture->generation == _generation) return *texture;

  const TPixmap& pixels = *image.frames[frame];
  std::shared_ptr<TGLTexture> made = PlaceInAtlas(pixels);
  if (!made) {
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    SetNearestAndClamped();
    glPixelStorei(GL_UNPACK_ROW_LENGTH, pixels.pitch / 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, pixels.width, pixels.height, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, pixels.pixels);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    made = std::make_shared<TGLTexture>(id, _generation, true);
  }
  image.textures[frame] = made;
  return *made;
}

void TGLBackend::SetNearestAndClamped() {
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

// Rows of frames from the top-left, each row as high as its highest frame;
// null when the frame is too large or the atlas is full.
std::shared_ptr<TGLTexture> TGLBackend::PlaceInAtlas(const TPixmap& pixels) {
  if (pixels.width < 1 || pixels.height < 1 || pixels.width > kAtlasLargestFrame ||
      pixels.height > kAtlasLargestFrame) {
    return nullptr;
  }
  const int w = pixels.width + 2 * kAtlasBorder, h = pixels.height + 2 * kAtlasBorder;
  if (_atlas_x + w > kAtlasSize) {
    _atlas_x = 0;
    _atlas_y += _atlas_row;
    _atlas_row = 0;
  }
  if (_atlas_y + h > kAtlasSize) return nullptr;
  if (_atlas == 0) {
    glGenTextures(1, &_atlas);
    glBindTexture(GL_TEXTURE_2D, _atlas);
    SetNearestAndClamped();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kAtlasSize, kAtlasSize, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 nullptr);
  }
  const std::vector<uint8_t> bordered = WithRepeatedEdge(pixels);
  glBindTexture(GL_TEXTURE_2D, _atlas);
  glTexSubImage2D(GL_TEXTURE_2D, 0, _atlas_x, _atlas_y, w, h, GL_RGBA, GL_UNSIGNED_BYTE,
                  bordered.data());
  const float x0 = float(_atlas_x + kAtlasBorder), y0 = float(_atlas_y + kAtlasBorder);
  auto placed = std::make_shared<TGLTexture>(_atlas, _generation, false, x0 / kAtlasSize,
                                             y0 / kAtlasSize, (x0 + pixels.width) / kAtlasSize,
                                             (y0 + pixels.height) / kAtlasSize);
  _atlas_x += w;
  _atlas_row = std::max(_atlas_row, h);
  return placed;
}

void TGLBackend::Image(TImage& image, int frame, const TDrawPoint (&corners)[4],
                       const TDrawStyle& style) {
  const TGLTexture& texture = TextureFor(image, frame);
  const GLfloat coords[4][2] = {{texture.s0, texture.t0},
                                {texture.s1, texture.t0},
                                {texture.s1, texture.t1},
                                {texture.s0, texture.t1}};
  if (_batching) {
    StartBatch(TBatchKind::IMAGES, DeviceStyle(style, true), 0, texture.id);
    if (!_batch.texture_owner) _batch.texture_owner = image.textures[frame];
    for (int i = 0; i < 4; ++i) {
      AppendVertex(_batch.vertices, corners[i]);
      _batch.tex_coords.push_back(coords[i][0]);
      _batch.tex_coords.push_back(coords[i][1]);
    }
    return;
  }
  ApplyStyle(style, true);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture.id);
  glBegin(GL_QUADS);
  for (int i = 0; i < 4; ++i) {
    glTexCoord2fv(coords[i]);
    glVertex2f(corners[i].x, corners[i].y);
  }
  glEnd();
  glDisable(GL_TEXTURE_2D);
}

void TGLBackend::Present(bool wait_for_blank) {
  Flush();
  const int interval = wait_for_blank ? 1 : 0;
  if (interval != _swap_interval) {
    SDL_GL_SetSwapInterval(interval);  // a driver without the choice keeps its own
    _swap_interval = interval;
  }
  SDL_GL_SwapWindow(_window);
}

PixmapRef TGLBackend::Grab(int x, int y, int w, int h) {
  Flush();
  PixmapRef pixmap = TPixmap::Create(w, h, PIXEL_RGBA8888);
  std::memset(pixmap->pixels, 0, pixmap->capacity);
  // Only the part inside the display is read; the rest stays black. The far
  // edges are found in 64 bits: x + w may lie beyond the int range.
  const int left = std::max(x, 0), top = std::max(y, 0);
  const int right = static_cast<int>(std::min<int64_t>(int64_t(x) + w, _width));
  const int bottom = static_cast<int>(std::min<int64_t>(int64_t(y) + h, _height));
  if (left < right && top < bottom) {
    std::vector<uint8_t> rows(size_t(right - left) * (bottom - top) * 4);
    glReadBuffer(GL_BACK);
    glReadPixels(left, _height - bottom, right - left, bottom - top, GL_RGBA, GL_UNSIGNED_BYTE,
                 rows.data());
    const size_t row_bytes = size_t(right - left) * 4;
    for (int row = top; row < bottom; ++row) {
      // OpenGL returns the bottom row first.
      const uint8_t* source = rows.data() + size_t(bottom - 1 - row) * row_bytes;
      std::memcpy(pixmap->PixelPtr(left - x, row - y), source, row_bytes);
    }
  }
  for (int row = 0; row < h; ++row) {
    uint8_t* p = pixmap->PixelPtr(0, row);
    for (int col = 0; col < w; ++col) p[col * 4 + 3] = 255;
  }
  return pixmap;
}

}  // namespace skyloom

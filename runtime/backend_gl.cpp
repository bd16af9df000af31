// The OpenGL backend: an SDL window with an OpenGL 2.1 compatibility context,
// fixed-function drawing in display pixels (y down), scissor clipping, alpha
// test and blend functions per blend mode, nearest-pixel textures.
#include "runtime/backend_gl.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "runtime/strings.h"

namespace skyloom {

namespace {

// Bumped whenever a context goes away, so textures of an old context are
// neither drawn nor deleted in a new one. A plain int: it must outlive every
// image, whatever order static objects are destroyed in.
int g_live_generation = 0;
int g_next_generation = 0;

class TGLTexture : public TTexture {
 public:
  TGLTexture(GLuint id, int generation) : id(id), generation(generation) {}
  ~TGLTexture() override {
    if (generation == g_live_generation) glDeleteTextures(1, &id);
  }
  GLuint id;
  int generation;
};

// Pixel centres sit at half-pixel positions: pixel (x, y) is hit at (x + 0.5, y + 0.5).
void PixelVertex(TDrawPoint p) {
  glVertex2f(p.x + 0.5f, p.y + 0.5f);
}

GLubyte AlphaByte(float alpha) {
  return static_cast<GLubyte>(alpha * 255.0f + 0.5f);
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

std::unique_ptr<TGLBackend> TGLBackend::Open(const TGraphicsMode& mode, const std::u16string& title,
                                             std::string& error) {
  std::unique_ptr<TGLBackend> backend(new TGLBackend());
  if (!backend->CreateWindowAndContext(mode, title, error)) return nullptr;
  backend->SetUpProjection();
  return backend;
}

bool TGLBackend::CreateWindowAndContext(const TGraphicsMode& mode, const std::u16string& title,
                                        std::string& error) {
  if (!StartVideo(error)) return false;
  _width = mode.width;
  _height = mode.height;
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);

  const bool fullscreen = mode.depth != 0;
  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
  if (fullscreen) flags |= SDL_WINDOW_FULLSCREEN;
  _window = SDL_CreateWindow(ToUtf8(title).c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                             mode.width, mode.height, flags);
  if (!_window) {
    error = SdlError("cannot create the window");
    return false;
  }
  if (fullscreen) {
    SDL_DisplayMode wanted{};
    wanted.w = mode.width;
    wanted.h = mode.height;
    wanted.refresh_rate = mode.hertz;
    if (SDL_SetWindowDisplayMode(_window, &wanted) != 0) {
      error = SdlError("cannot set the display mode");
      return false;
    }
  }
  SDL_ShowWindow(_window);
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

TGLBackend::~TGLBackend() {
  if (_context) {
    g_live_generation = 0;  // textures of this context are gone with it
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
}

void TGLBackend::SetTitle(const std::u16string& title) {
  SDL_SetWindowTitle(_window, ToUtf8(title).c_str());
}

void TGLBackend::WarpPointer(int x, int y) {
  SDL_WarpMouseInWindow(_window, x, y);
}

void TGLBackend::ApplyViewport(const TViewport& viewport) {
  // The scissor counts rows from the bottom of the display. A viewport near
  // the ends of the int range gives a bottom beyond it, far off the display.
  const int64_t from_bottom = int64_t(_height) - viewport.y - viewport.h;
  const int64_t clamped = std::clamp<int64_t>(from_bottom, std::numeric_limits<int>::min(),
                                              std::numeric_limits<int>::max());
  glScissor(viewport.x, static_cast<GLint>(clamped), viewport.w, viewport.h);
}

void TGLBackend::ApplyStyle(const TDrawStyle& style) {
  ApplyViewport(style.viewport);
  glColor4ub(static_cast<GLubyte>(style.red), static_cast<GLubyte>(style.green),
             static_cast<GLubyte>(style.blue), AlphaByte(style.alpha));
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_BLEND);
  switch (style.blend) {
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
    default:  // BLEND_SOLID and unknown modes: plain writes
      break;
  }
}

void TGLBackend::Clear(const TViewport& viewport, int red, int green, int blue) {
  ApplyViewport(viewport);
  glClearColor(red / 255.0f, green / 255.0f, blue / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
}

void TGLBackend::FillPolygon(const std::vector<TDrawPoint>& corners, const TDrawStyle& style) {
  ApplyStyle(style);
  glBegin(GL_TRIANGLE_FAN);
  for (const TDrawPoint& p : corners) glVertex2f(p.x, p.y);
  glEnd();
}

void TGLBackend::Line(TDrawPoint from, TDrawPoint to, float width, const TDrawStyle& style) {
  ApplyStyle(style);
  glLineWidth(width);
  glBegin(GL_LINES);
  PixelVertex(from);
  PixelVertex(to);
  glEnd();
}

void TGLBackend::Point(TDrawPoint at, const TDrawStyle& style) {
  ApplyStyle(style);
  glPointSize(1.0f);
  glBegin(GL_POINTS);
  PixelVertex(at);
  glEnd();
}

unsigned TGLBackend::TextureFor(TImage& image, int frame) {
  if (image.textures.size() < image.frames.size()) image.textures.resize(image.frames.size());
  auto* texture = dynamic_cast<TGLTexture*>(image.textures[frame].get());
  if (texture && texture->generation == _generation) return texture->id;

  const TPixmap& pixels = *image.frames[frame];
  GLuint id = 0;
  glGenTextures(1, &id);
  glBindTexture(GL_TEXTURE_2D, id);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, pixels.pitch / 4);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, pixels.width, pixels.height, 0, GL_RGBA,
               GL_UNSIGNED_BYTE, pixels.pixels);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  image.textures[frame] = std::make_shared<TGLTexture>(id, _generation);
  return id;
}

void TGLBackend::Image(TImage& image, int frame, const TDrawPoint (&corners)[4],
                       const TDrawStyle& style) {
  const GLuint texture = TextureFor(image, frame);
  ApplyStyle(style);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture);
  static constexpr GLfloat kTexCoords[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  glBegin(GL_QUADS);
  for (int i = 0; i < 4; ++i) {
    glTexCoord2fv(kTexCoords[i]);
    glVertex2f(corners[i].x, corners[i].y);
  }
  glEnd();
  glDisable(GL_TEXTURE_2D);
}

void TGLBackend::Present(bool wait_for_blank) {
  const int interval = wait_for_blank ? 1 : 0;
  if (interval != _swap_interval) {
    SDL_GL_SetSwapInterval(interval);  // a driver without the choice keeps its own
    _swap_interval = interval;
  }
  SDL_GL_SwapWindow(_window);
}

PixmapRef TGLBackend::Grab(int x, int y, int w, int h) {
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

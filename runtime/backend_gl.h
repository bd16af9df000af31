// The OpenGL drawing backend on an SDL window: opens the full-screen or
// resizable window
// and its OpenGL 2.1 context, draws with an orthographic y-down projection,
// clips with the scissor and reads the back buffer for screen grabs.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "runtime/backend.h"

struct SDL_Window;

namespace skyloom {

class TGLTexture;

// The modes of the primary screen; empty (and error set) when the video
// system cannot start.
std::vector<TGraphicsMode> SdlGraphicsModes(std::string& error);
// The size of the primary screen's desktop; false (and error set) when the
// video system cannot start.
bool SdlDesktopSize(int& width, int& height, std::string& error);

// Primitives are batched: a run of consecutive primitives of one kind
// (polygons, lines, points, or images of one texture) drawn with one style
// (colour, alpha, blend mode, viewport, and for lines the width) is kept in
// client-side vertex arrays and sent to the device in a single draw call:
// polygons as indexed triangles (each fanned out from its first corner),
// lines, points, and textured quads for images.
// The run is sent when the kind or the style changes, before Clear, Present
// and Grab, and when the backend goes away, so the pixels are the same as
// when every primitive is drawn on its own: the same vertices, in the same
// order.
class TGLBackend : public TDrawBackend {
 public:
  // A window full screen in the mode (a plain window for depth 0) with a
  // current OpenGL context; null with error set when anything fails.
  static std::unique_ptr<TGLBackend> Open(const TGraphicsMode& mode, const std::u16string& title,
                                          std::string& error);
  // The backend whose context is current (the open real display), null when
  // there is none. Lets benchmarks and tests reach SetBatching on a display
  // opened through OpenDisplay.
  static TGLBackend* Current();
  ~TGLBackend() override;
  TGLBackend(const TGLBackend&) = delete;
  TGLBackend& operator=(const TGLBackend&) = delete;

  void SetTitle(const std::u16string& title);
  void WarpPointer(int x, int y);

  // Replaces the window by one in the mode (full screen, or for depth 0 a
  // resizable window where the last window was), keeping the context and
  // its textures. False with error set when the new window cannot be made;
  // the old one then stays.
  bool Reopen(const TGraphicsMode& mode, std::string& error);
  // The size of the window's drawing surface now, which the window system
  // may have changed since it was drawn for.
  void DrawableSize(int& width, int& height) const;
  // Draws for a surface of that size from now on.
  void Resize(int width, int height);
  // The smallest size the user may give a window (kept for later windows).
  void SetMinimumSize(int width, int height);
  // Asks for a new window size; nothing for a full-screen window.
  void SetWindowSize(int width, int height);
  // The pointer's position relative to the window's top-left corner.
  void PointerInWindow(int& x, int& y) const;

  // A benchmarking aid: with batching off every primitive is drawn at once
  // with its own glBegin/glEnd, as a reference to measure batching against
  // and to compare its pixels with. On by default; switching sends what is
  // pending first.
  void SetBatching(bool on);
  bool Batching() const { return _batching; }

  void Clear(const TViewport& viewport, int red, int green, int blue) override;
  void FillPolygon(const std::vector<TDrawPoint>& corners, const TDrawStyle& style) override;
  void Line(TDrawPoint from, TDrawPoint to, float width, const TDrawStyle& style) override;
  void Point(TDrawPoint at, const TDrawStyle& style) override;
  void Image(TImage& image, int frame, const TDrawPoint (&corners)[4],
             const TDrawStyle& style) override;
  void Present(bool wait_for_blank) override;
  PixmapRef Grab(int x, int y, int w, int h) override;

 private:
  // The device state a style comes to: colour and alpha as the bytes given
  // to the device, the blend mode, the scissor rectangle (rows counted from
  // the bottom). Two styles with equal states draw identically.
  struct TDeviceStyle {
    unsigned char rgba[4] = {0, 0, 0, 0};
    int blend = 0;
    int scissor[4] = {0, 0, 0, 0};
    bool operator==(const TDeviceStyle&) const = default;
  };
  enum class TBatchKind { NONE, POLYGONS, LINES, POINTS, IMAGES };

  // What is waiting to be drawn: one kind, one style, vertices as x, y pairs
  // (for images also texture coordinates as s, t pairs; for polygons the
  // corners of their triangles as indices into the vertices).
  struct TBatch {
    TBatchKind kind = TBatchKind::NONE;
    TDeviceStyle style;
    float line_width = 0;
    unsigned texture = 0;
    // Keeps the texture alive until the batch is drawn, even when its image
    // is released first.
    std::shared_ptr<TTexture> texture_owner;
    std::vector<float> vertices;
    std::vector<float> tex_coords;
    std::vector<unsigned> indices;
  };

  TGLBackend() = default;
  // A shown window for the mode: full screen, or a resizable window.
  SDL_Window* MakeWindow(const TGraphicsMode& mode, std::string& error);
  bool CreateWindowAndContext(const TGraphicsMode& mode, const std::u16string& title,
                              std::string& error);
  void SetUpProjection();
  // What the device is told for a style; a texture keeps its blending.
  TDeviceStyle DeviceStyle(const TDrawStyle& style, bool textured = false) const;
  void ApplyViewport(const TViewport& viewport);
  void ApplyDeviceStyle(const TDeviceStyle& style);
  // Sets the alpha test and blend function of a blend mode and notes it.
  void ApplyBlend(int blend);
  void ApplyStyle(const TDrawStyle& style, bool textured = false);
  // The texture of an image frame, made on its first draw: a place in the
  // atlas for a small frame, else a texture of its own.
  const TGLTexture& TextureFor(TImage& image, int frame);
  std::shared_ptr<TGLTexture> PlaceInAtlas(const TPixmap& pixels);
  static void SetNearestAndClamped();
  // Sends what is pending unless it has the kind, style, line width and
  // texture asked for; then makes the batch be of those.
  void StartBatch(TBatchKind kind, const TDeviceStyle& style, float line_width, unsigned texture);
  // Draws the pending batch, if any, and empties it.
  void Flush();

  SDL_Window* _window = nullptr;
  void* _context = nullptr;
  int _width = 0;
  int _height = 0;
  bool _fullscreen = false;
  std::u16string _title;
  // Where the last window stood, for the next one; centred until known.
  bool _window_placed = false;
  int _window_x = 0, _window_y = 0;
  int _min_width = 0, _min_height = 0;
  int _swap_interval = -2;  // the interval last asked of the platform; -2 none yet
  int _generation = 0;      // of the context, to tell stale textures
  bool _batching = true;
  int _applied_blend = -1;  // the blend mode the device is set to; -1 not yet set
  unsigned _atlas = 0;      // the texture small frames share; 0 until the first
  int _atlas_x = 0, _atlas_y = 0, _atlas_row = 0;  // where the next frame goes
  TBatch _batch;
};

}  // namespace skyloom

// The OpenGL drawing backend on an SDL window: opens the full-screen window
// and its OpenGL 2.1 context, draws with an orthographic y-down projection,
// clips with the scissor and reads the back buffer for screen grabs.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "runtime/backend.h"

struct SDL_Window;

namespace skyloom {

// The modes of the primary screen; empty (and error set) when the video
// system cannot start.
std::vector<TGraphicsMode> SdlGraphicsModes(std::string& error);

class TGLBackend : public TDrawBackend {
 public:
  // A window full screen in the mode (a plain window for depth 0) with a
  // current OpenGL context; null with error set when anything fails.
  static std::unique_ptr<TGLBackend> Open(const TGraphicsMode& mode, const std::u16string& title,
                                          std::string& error);
  ~TGLBackend() override;
  TGLBackend(const TGLBackend&) = delete;
  TGLBackend& operator=(const TGLBackend&) = delete;

  void SetTitle(const std::u16string& title);
  void WarpPointer(int x, int y);

  void Clear(const TViewport& viewport, int red, int green, int blue) override;
  void FillPolygon(const std::vector<TDrawPoint>& corners, const TDrawStyle& style) override;
  void Line(TDrawPoint from, TDrawPoint to, float width, const TDrawStyle& style) override;
  void Point(TDrawPoint at, const TDrawStyle& style) override;
  void Image(TImage& image, int frame, const TDrawPoint (&corners)[4],
             const TDrawStyle& style) override;
  void Present(bool wait_for_blank) override;
  PixmapRef Grab(int x, int y, int w, int h) override;

 private:
  TGLBackend() = default;
  bool CreateWindowAndContext(const TGraphicsMode& mode, const std::u16string& title,
                              std::string& error);
  void SetUpProjection();
  void ApplyViewport(const TViewport& viewport);
  void ApplyStyle(const TDrawStyle& style);
  unsigned TextureFor(TImage& image, int frame);

  SDL_Window* _window = nullptr;
  void* _context = nullptr;
  int _width = 0;
  int _height = 0;
  int _swap_interval = -2;  // the interval last asked of the platform; -2 none yet
  int _generation = 0;      // of the context, to tell stale textures
};

}  // namespace skyloom

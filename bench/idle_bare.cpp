// The floor for the viewer's idle load: a bare SDL2 + OpenGL program that
// opens the screen the way the viewer does (full screen in the widest 32-bit
// mode) and per frame only clears the whole surface, swaps and sleeps 20 ms.
// Its CPU time against the viewer's, same display, same frame count:
//   skyloom-idle-bare [--frames N]      (default 300)
#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int DEFAULT_FRAMES = 300;
constexpr int FRAME_SLEEP_MS = 20;  // the viewer's pace
constexpr int PREFERRED_DEPTH = 32;

// The viewer's choice: the first mode, replaced by any wider 32-bit one.
SDL_DisplayMode WidestMode() {
  SDL_DisplayMode chosen{};
  SDL_GetDisplayMode(0, 0, &chosen);
  const int count = SDL_GetNumDisplayModes(0);
  for (int i = 1; i < count; ++i) {
    SDL_DisplayMode mode;
    if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
    if (int(SDL_BYTESPERPIXEL(mode.format)) * 8 == PREFERRED_DEPTH && mode.w > chosen.w) {
      chosen = mode;
    }
  }
  return chosen;
}

}  // namespace

int main(int argc, char** argv) {
  int frames = DEFAULT_FRAMES;
  if (argc == 3 && std::strcmp(argv[1], "--frames") == 0) frames = std::atoi(argv[2]);
  if (frames < 1 || (argc != 1 && argc != 3)) {
    std::fprintf(stderr, "usage: skyloom-idle-bare [--frames N]\n");
    return 2;
  }
  SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "skyloom-idle-bare: %s\n", SDL_GetError());
    return 1;
  }
  const SDL_DisplayMode mode = WidestMode();
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_Window* window =
      SDL_CreateWindow("Skyloom idle floor", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, mode.w,
                       mode.h, SDL_WINDOW_OPENGL | SDL_WINDOW_FULLSCREEN);
  if (!window || !SDL_GL_CreateContext(window)) {
    std::fprintf(stderr, "skyloom-idle-bare: %s\n", SDL_GetError());
    return 1;
  }
  // As the viewer's Flip(-1): wait for the blank only with a refresh rate.
  SDL_GL_SetSwapInterval(mode.refresh_rate != 0 ? 1 : 0);
  glClearColor(0, 0, 0, 1);
  for (int frame = 0; frame < frames; ++frame) {
    glClear(GL_COLOR_BUFFER_BIT);
    SDL_GL_SwapWindow(window);
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
    }
    SDL_Delay(FRAME_SLEEP_MS);
  }
  return 0;
}

// Shared pieces of the real-display tests: a fixture that opens the display
// once per test process, XTest input through xdotool, waiting for events to
// arrive, and pixel checks on grabbed rectangles.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

#include "app/display_mode.h"
#include "runtime/display.h"

namespace skyloom::xtest {

inline bool HaveXServer() {
  const char* display = std::getenv("DISPLAY");
  return display && *display;
}

// Runs an X command line (xdotool, the window helper) and returns its status.
// A failed run is tried again twice: the X server now and then refuses a
// connection that follows closely on another.
inline int RunX(const std::string& command) {
  int status = -1;
  for (int attempt = 0; attempt < 3 && status != 0; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const int raw = std::system((command + " >/dev/null 2>&1").c_str());
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }
  return status;
}

inline std::string Xdotool(const std::string& args) {
  return "xdotool " + args;
}

// Standard output of a command line.
inline std::string Capture(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

// The id of the first window whose title matches, or "" (waits up to 5 s).
inline std::string FindWindow(const std::string& title) {
  std::string id = Capture("timeout 5 xdotool search --sync --name '^" + title + "$' 2>/dev/null");
  const size_t end = id.find('\n');
  return end == std::string::npos ? id : id.substr(0, end);
}

// Polls until the condition holds (true) or the time is up (false). Each poll
// takes the pending events through the condition's input calls.
inline bool WaitFor(const std::function<bool()>& condition, int timeout_ms = 3000) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (std::chrono::steady_clock::now() < deadline) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return condition();
}

// Takes whatever events arrive within the time, ignoring them.
inline void Settle(int ms = 150) {
  WaitFor(
      [] {
        IsKeyDown(0);
        return false;
      },
      ms);
}

// Red, green, blue of a grabbed pixel as 0xRRGGBB.
inline uint32_t Rgb(const PixmapRef& pixmap, int x, int y) {
  return pixmap->ReadPixel(x, y) & 0xFFFFFFu;
}

// A fixture with the display open full screen in the widest 32-bit mode (the
// screen's own mode under Xvfb), a black screen and default drawing state.
class RealDisplayTest : public testing::Test {
 protected:
  static constexpr const char16_t* kTitle = u"Skyloom display tests";

  void SetUp() override {
    if (!HaveXServer()) GTEST_SKIP() << "no X server: DISPLAY is not set";
    if (DisplayWidth() == 0) {
      SetWindowTitle(kTitle);
      const std::optional<TGraphicsMode> mode = ChooseDisplayMode(GraphicsModes());
      ASSERT_TRUE(mode) << DisplayError();
      ASSERT_EQ(OpenDisplay(mode->width, mode->height, mode->depth, mode->hertz), 1)
          << DisplayError();
    }
    SetViewport(0, 0, DisplayWidth(), DisplayHeight());
    SetClsColor(0, 0, 0);
    Cls();
    SetColor(255, 255, 255);
    SetAlpha(1);
    SetBlend(BLEND_MASK);
    SetDrawOrigin(0, 0);
    SetDrawScale(1, 1);
    SetDrawRotation(0);
  }
};

}  // namespace skyloom::xtest

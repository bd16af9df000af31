// The size a window opens at when --window gives none: 1280 x 800 on a
// screen at least that large, else three quarters of the screen, never
// below the smallest window.
#include <gtest/gtest.h>

#include "app/window_mode.h"

namespace skyloom {
namespace {

TEST(DefaultWindowSize, FullSizeOnALargeScreenElseThreeQuartersOfIt) {
  const struct {
    int screen_w, screen_h, w, h;
  } cases[] = {
      {1920, 1080, 1280, 800}, {1280, 800, 1280, 800}, {1024, 768, 768, 576}, {1280, 720, 960, 540},
      {1366, 768, 1024, 576},  {1279, 1024, 959, 768}, {400, 300, 320, 240},  {0, 0, 320, 240},
  };
  for (const auto& c : cases) {
    int w = 0, h = 0;
    DefaultWindowSize(c.screen_w, c.screen_h, w, h);
    EXPECT_EQ(w, c.w) << c.screen_w << " x " << c.screen_h;
    EXPECT_EQ(h, c.h) << c.screen_w << " x " << c.screen_h;
  }
}

}  // namespace
}  // namespace skyloom

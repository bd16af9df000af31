// The viewer's display-mode choice over lists of modes as a platform gives them.
#include <gtest/gtest.h>

#include "app/display_mode.h"

namespace skyloom {
namespace {

struct ModeCase {
  const char* name;
  std::vector<TGraphicsMode> modes;
  size_t chosen;  // index into modes
};

TEST(ChooseDisplayMode, WidestThirtyTwoBitModeElseTheFirst) {
  const ModeCase cases[] = {
      {"single mode", {{1024, 768, 24, 0}}, 0},
      {"widest 32-bit wins", {{800, 600, 32, 60}, {1920, 1080, 32, 60}, {1280, 1024, 32, 75}}, 1},
      {"first is 16-bit and 32-bit modes are narrower",
       {{1600, 1200, 16, 60}, {1280, 1024, 32, 60}, {1024, 768, 32, 60}},
       0},
      {"equal widest width: the first listed",
       {{640, 480, 32, 60}, {1920, 1080, 32, 60}, {1920, 1200, 32, 60}},
       1},
      {"wider but not exactly 32-bit",
       {{800, 600, 32, 60}, {2560, 1440, 24, 60}, {3840, 2160, 16, 60}},
       0},
      {"the first entry may be replaced even when it is 32-bit",
       {{1024, 768, 32, 60}, {1280, 720, 32, 0}},
       1},
      {"16-bit first, a wider 32-bit later", {{640, 480, 16, 60}, {800, 600, 32, 60}}, 1},
      {"refresh rate is never compared", {{1280, 1024, 32, 60}, {1280, 1024, 32, 144}}, 0},
  };
  for (const ModeCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<TGraphicsMode> mode = ChooseDisplayMode(c.modes);
    ASSERT_TRUE(mode);
    const TGraphicsMode& want = c.modes[c.chosen];
    EXPECT_EQ(mode->width, want.width);
    EXPECT_EQ(mode->height, want.height);
    EXPECT_EQ(mode->depth, want.depth);
    EXPECT_EQ(mode->hertz, want.hertz);
  }
}

TEST(ChooseDisplayMode, NoModesNoChoice) {
  EXPECT_FALSE(ChooseDisplayMode({}));
}

}  // namespace
}  // namespace skyloom

// The eight button icons: each embedded file decodes to its 11 x 11 picture,
// and every button shows the icon named for it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assets/embedded.h"
#include "imaging/png.h"
#include "panes/spacebox.h"
#include "panes/viewbox.h"
#include "runtime/open.h"

namespace skyloom {
namespace {

// X is white (255, 255, 255), a dot black; every pixel opaque.
using Picture = std::vector<std::string>;

const Picture kSplitH = {
    "...........", "...........", ".....X.....", ".....X.....", ".....X.....", "..X..X..X..",
    ".....X.....", ".....X.....", ".....X.....", "...........", "...........",
};
const Picture kSplitV = {
    "...........", "...........", ".....X.....", "...........", "...........", "..XXXXXXX..",
    "...........", "...........", ".....X.....", "...........", "...........",
};
const Picture kMergeU = {
    "...........", "...........", ".....X.....", "....XXX....", "...X.X.X...", "..X..X..X..",
    ".....X.....", ".....X.....", "..XXXXXXX..", "...........", "...........",
};
const Picture kMergeD = {
    "...........", "...........", "..XXXXXXX..", ".....X.....", ".....X.....", "..X..X..X..",
    "...X.X.X...", "....XXX....", ".....X.....", "...........", "...........",
};
const Picture kMergeL = {
    "...........", "...........", ".....X..X..", "....X...X..", "...X....X..", "..XXXXXXX..",
    "...X....X..", "....X...X..", ".....X..X..", "...........", "...........",
};
const Picture kMergeR = {
    "...........", "...........", "..X..X.....", "..X...X....", "..X....X...", "..XXXXXXX..",
    "..X....X...", "..X...X....", "..X..X.....", "...........", "...........",
};
const Picture kFollow = {
    "...........", "...........", "..X.....X..", "...X...X...", "...........", "...........",
    "...........", "...X...X...", "..X.....X..", "...........", "...........",
};
const Picture kFollowOn = {
    "...........", "...........", "...........", "...X...X...", "....X.X....", "...........",
    "....X.X....", "...X...X...", "...........", "...........", "...........",
};

// Every pixel of a decoded or loaded picture against the text; reports the
// first few differences.
void ExpectPicture(const TPixmap& pixmap, const Picture& picture) {
  ASSERT_EQ(pixmap.width, 11);
  ASSERT_EQ(pixmap.height, 11);
  int wrong = 0;
  for (int y = 0; y < 11; ++y) {
    for (int x = 0; x < 11; ++x) {
      const uint32_t want = picture[y][x] == 'X' ? 0xFFFFFFFFu : 0xFF000000u;
      const uint32_t got = pixmap.ReadPixel(x, y);
      if (got != want && ++wrong <= 5) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << got << ", want "
                      << want;
      }
    }
  }
  EXPECT_EQ(wrong, 0);
}

struct IconCase {
  const char16_t* url;
  const Picture* picture;
};

const IconCase kIcons[] = {
    {u"incbin::viewbox/splith.png", &kSplitH}, {u"incbin::viewbox/splitv.png", &kSplitV},
    {u"incbin::viewbox/mergeu.png", &kMergeU}, {u"incbin::viewbox/merged.png", &kMergeD},
    {u"incbin::viewbox/mergel.png", &kMergeL}, {u"incbin::viewbox/merger.png", &kMergeR},
    {u"incbin::skyloom/follow.png", &kFollow}, {u"incbin::skyloom/followon.png", &kFollowOn},
};

TEST(PaneIcons, EachEmbeddedFileDecodesToItsPictureInRgbWithoutAlpha) {
  RegisterEmbeddedResources();
  for (const IconCase& c : kIcons) {
    SCOPED_TRACE(std::string(c.url, c.url + std::char_traits<char16_t>::length(c.url)));
    StreamRef stream = OpenInput(c.url);
    ASSERT_TRUE(stream);
    PixmapRef pixmap = ReadPNG(stream);
    ASSERT_TRUE(pixmap);
    EXPECT_EQ(pixmap->format, PIXEL_RGB888);
    ExpectPicture(*pixmap, *c.picture);
  }
}

TEST(PaneIcons, EveryButtonShowsTheIconNamedForIt) {
  ASSERT_EQ(InitPanes(), 1);
  ASSERT_EQ(loadfollowimages(), 1);
  spaceboxRef pane = spacebox::Create(8, 8, 1008, 752, 128, 128);
  const struct {
    const char* name;
    vbbuttonRef button;
    const Picture* picture;
  } cases[] = {
      {"split_h", pane->split_h, &kSplitH}, {"split_v", pane->split_v, &kSplitV},
      {"merge_u", pane->merge_u, &kMergeU}, {"merge_d", pane->merge_d, &kMergeD},
      {"merge_l", pane->merge_l, &kMergeL}, {"merge_r", pane->merge_r, &kMergeR},
      {"follow", pane->follow, &kFollow},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(c.button->image);
    EXPECT_EQ(c.button->image->flags, 0);
    ASSERT_EQ(c.button->image->frames.size(), 1u);
    ExpectPicture(*c.button->image->frames[0], *c.picture);
  }
  ASSERT_TRUE(followonimage());
  ExpectPicture(*followonimage()->frames[0], kFollowOn);
}

}  // namespace
}  // namespace skyloom

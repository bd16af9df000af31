// The skyloom program end to end on a 1024 x 768 X server: real pointer, wheel
// and key input through XTest (xdotool), checked on what the screen shows and
// on the screenshot files the program writes; and its command line.
#include <algorithm>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <thread>

#include "imaging/png.h"
#include "runtime/open.h"
#include "runtime/strings.h"
#include "tests/xdisplay/screen_grab.h"
#include "tests/xdisplay/viewer_process.h"

namespace skyloom::xtest {
namespace {

namespace fs = std::filesystem;

constexpr int kScreenW = 1024, kScreenH = 768;

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kFrameGrey = 0x808080;  // frames, icon marks, orbit lines
constexpr uint32_t kDisc = 0x00FF00;
constexpr uint32_t kFocusHalo = 0x008080;
constexpr uint32_t kHoverHalo = 0x006000;

constexpr double kSolRadius = 17;
constexpr double kSol1Radius = 7;

struct Point {
  double x, y;
};

// A pane's rectangle and the places of its buttons and content as the tiling
// lays them out: frame inset 1, 11-pixel buttons in a row along the top and
// one along the bottom, the camera's content 2 pixels inside the rows.
struct Pane {
  int x, y, w, h;

  Point follow() const { return {x + 1.0, y + 1.0}; }
  Point merge_u() const { return {x + w - 23.0, y + 1.0}; }
  Point merge_r() const { return {x + w - 12.0, y + 1.0}; }
  Point merge_l() const { return {x + 1.0, y + h - 12.0}; }
  Point merge_d() const { return {x + 12.0, y + h - 12.0}; }
  Point split_h() const { return {x + w - 23.0, y + h - 12.0}; }
  Point split_v() const { return {x + w - 12.0, y + h - 12.0}; }
  // Where world (0, 0) is drawn while the camera is at its start.
  Point centre() const {
    return {static_cast<double>(x + 3 + (w - 6) / 2), static_cast<double>(y + 14 + (h - 28) / 2)};
  }
  int content_left() const { return x + 3; }
  int content_top() const { return y + 14; }
  int content_right() const { return x + w - 4; }    // last column
  int content_bottom() const { return y + h - 15; }  // last row
};

constexpr Pane kFirstPane{8, 8, 1008, 752};

// The middle of a button, where a click lands.
Point Middle(Point button) {
  return {button.x + 5, button.y + 5};
}

// The icon pictures, white marks ("X") on black; on screen the marks take
// the frame's grey.
const IconPicture kFollowIcon = {"...........", "...........", "..X.....X..", "...X...X...",
                                 "...........", "...........", "...........", "...X...X...",
                                 "..X.....X..", "...........", "..........."};
const IconPicture kFollowOnIcon = {"...........", "...........", "...........", "...X...X...",
                                   "....X.X....", "...........", "....X.X....", "...X...X...",
                                   "...........", "...........", "..........."};
const IconPicture kSplitHIcon = {"...........", "...........", ".....X.....", ".....X.....",
                                 ".....X.....", "..X..X..X..", ".....X.....", ".....X.....",
                                 ".....X.....", "...........", "..........."};
const IconPicture kSplitVIcon = {"...........", "...........", ".....X.....", "...........",
                                 "...........", "..XXXXXXX..", "...........", "...........",
                                 ".....X.....", "...........", "..........."};
const IconPicture kMergeUIcon = {"...........", "...........", ".....X.....", "....XXX....",
                                 "...X.X.X...", "..X..X..X..", ".....X.....", ".....X.....",
                                 "..XXXXXXX..", "...........", "..........."};
const IconPicture kMergeDIcon = {"...........", "...........", "..XXXXXXX..", ".....X.....",
                                 ".....X.....", "..X..X..X..", "...X.X.X...", "....XXX....",
                                 ".....X.....", "...........", "..........."};
const IconPicture kMergeLIcon = {"...........", "...........", ".....X..X..", "....X...X..",
                                 "...X....X..", "..XXXXXXX..", "...X....X..", "....X...X..",
                                 ".....X..X..", "...........", "..........."};
const IconPicture kMergeRIcon = {"...........", "...........", "..X..X.....", "..X...X....",
                                 "..X....X...", "..XXXXXXX..", "..X....X...", "..X...X....",
                                 "..X..X.....", "...........", "..........."};

std::string IconAt(const ScreenImage& screen, Point corner, const IconPicture& picture) {
  return IconDifference(screen, static_cast<int>(corner.x), static_cast<int>(corner.y), picture,
                        kFrameGrey);
}

// Sol 1's orbit at zoom 1, around Sol drawn at sol: a circle of radius 110
// scaled by (1.5, 0.5), turned by 45 degrees and moved by (40, 20).
Point OrbitPoint(double degrees, Point sol) {
  const double a = degrees * M_PI / 180, turn = 45 * M_PI / 180;
  const double ex = std::cos(a) * 165, ey = std::sin(a) * 55;
  return {sol.x + 40 + ex * std::cos(turn) - ey * std::sin(turn),
          sol.y + 20 + ex * std::sin(turn) + ey * std::cos(turn)};
}

// Where a screen point lies relative to that orbit: its distance in units of
// the orbit (1 on the orbit) and its orbit angle in degrees, (-180, 180].
struct OrbitPlace {
  double scale, degrees;
};

OrbitPlace PlaceOnOrbit(Point p, Point sol) {
  const double turn = -45 * M_PI / 180;
  const double dx = p.x - sol.x - 40, dy = p.y - sol.y - 20;
  const double u = (dx * std::cos(turn) - dy * std::sin(turn)) / 165;
  const double v = (dx * std::sin(turn) + dy * std::cos(turn)) / 55;
  return {std::hypot(u, v), std::atan2(v, u) * 180 / M_PI};
}

// The difference a - b of two angles brought into (-180, 180].
double AngleStep(double a, double b) {
  double d = std::fmod(a - b, 360.0);
  if (d <= -180) d += 360;
  if (d > 180) d -= 360;
  return d;
}

// The disc of the body drawn around near (within 40 pixels): its middle and
// its radius measured along its middle row.
struct Disc {
  Point middle;
  double radius;
  int count;
};

Disc FindDisc(const ScreenImage& screen, Point near, int reach = 40) {
  const Spot spot = FindSpot(screen, kDisc, static_cast<int>(near.x) - reach,
                             static_cast<int>(near.y) - reach, 2 * reach + 1, 2 * reach + 1);
  if (spot.count == 0) return {{0, 0}, 0, 0};
  const Run run = RunThrough(screen, kDisc, static_cast<int>(std::floor(spot.x)),
                             static_cast<int>(std::floor(spot.y)));
  return {{spot.x, spot.y}, run.length() / 2.0, spot.count};
}

bool DiscNear(const ScreenImage& screen, Point where, double radius, double tolerance = 1.0) {
  const Disc disc = FindDisc(screen, where, static_cast<int>(radius) + 12);
  return disc.count > 0 && std::fabs(disc.middle.x - where.x) <= tolerance &&
         std::fabs(disc.middle.y - where.y) <= tolerance && std::fabs(disc.radius - radius) <= 1.0;
}

// The pixels of a halo colour around a disc of the radius, and how many a
// ring grow pixels wide around it has.
int HaloPixels(const ScreenImage& screen, uint32_t colour, Point middle, double radius) {
  const int reach = static_cast<int>(radius) + 8;
  return FindSpot(screen, colour, static_cast<int>(middle.x) - reach,
                  static_cast<int>(middle.y) - reach, 2 * reach + 1, 2 * reach + 1)
      .count;
}
double RingArea(double radius, int grow) {
  return M_PI * ((radius + grow) * (radius + grow) - radius * radius);
}

// Sol 1 in the first pane's content while Sol is drawn at sol: the green
// pixels more than 30 pixels away from Sol's middle.
Spot FindSol1(const ScreenImage& screen, Point sol) {
  Spot spot;
  double sum_x = 0, sum_y = 0;
  for (int y = kFirstPane.content_top(); y <= kFirstPane.content_bottom(); ++y) {
    for (int x = kFirstPane.content_left(); x <= kFirstPane.content_right(); ++x) {
      if (screen.At(x, y) != kDisc || std::hypot(x + 0.5 - sol.x, y + 0.5 - sol.y) < 30) continue;
      sum_x += x + 0.5;
      sum_y += y + 0.5;
      ++spot.count;
    }
  }
  if (spot.count) spot = {sum_x / spot.count, sum_y / spot.count, spot.count};
  return spot;
}

// The white pixels of the label corner of a pane's content: the bounding
// box of the name's text (width 0 when nothing is written there).
struct TextBox {
  int left = 0, top = 0, right = -1, bottom = -1;
  int width() const { return right - left + 1; }
};

TextBox LabelText(const ScreenImage& screen, const Pane& pane) {
  TextBox box{1 << 20, 1 << 20, -1, -1};
  for (int y = pane.content_top(); y < pane.content_top() + 30; ++y) {
    for (int x = pane.content_left(); x < pane.content_left() + 150; ++x) {
      if (screen.At(x, y) != kWhite) continue;
      box.left = std::min(box.left, x);
      box.top = std::min(box.top, y);
      box.right = std::max(box.right, x);
      box.bottom = std::max(box.bottom, y);
    }
  }
  if (box.right < 0) return {};
  return box;
}

// Seconds since midnight of a local time text "HH.MM.SS"; -1 when malformed.
int SecondsOf(const std::string& text) {
  int h = 0, m = 0, s = 0;
  if (std::sscanf(text.c_str(), "%2d.%2d.%2d", &h, &m, &s) != 3) return -1;
  return h * 3600 + m * 60 + s;
}

int LocalSecondsNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
}

std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : " ") + name;
  return "[" + text + "]";
}

// The viewer on the embedded system, started fresh for every test, with the
// input that the test sends and the screen that it reads.
class ViewerE2ETest : public testing::Test {
 protected:
  void SetUp() override {
    if (!HaveXServer()) GTEST_SKIP() << "no X server: DISPLAY is not set";
  }

  void TearDown() override {
    // Nothing that a failed test held down may reach the next one.
    for (const std::string& key : held_keys) RunX(Xdotool("keyup " + key));
    for (int button : held_buttons) RunX(Xdotool("mouseup " + std::to_string(button)));
    viewer.reset();
  }

  // Starts the viewer with the arguments, waits for its first frames and gives
  // it the keyboard focus. prepare may put files into its working folder
  // first. The pointer starts in the middle of the screen.
  void Start(const std::vector<std::string>& args = {},
             const std::function<void(const std::string&)>& prepare = nullptr) {
    window = StartWithWindow(viewer, args, prepare);
    ASSERT_FALSE(viewer->folder().empty());
    ASSERT_FALSE(window.empty()) << "no window; status " << viewer->WaitForExit(0) << ", "
                                 << viewer->Stderr();
    const ScreenImage first = WaitForScreen(
        0, 0, 100, 20, [](const ScreenImage& s) { return s.At(60, 12) == kFrameGrey; }, 5000);
    ASSERT_EQ(first.At(60, 12), kFrameGrey) << "the first pane's frame never showed";
    ASSERT_EQ(RunX(std::string(XWINDOW_HELPER) + " focus " + window), 0);
    // Past the platform's delayed focus report, which releases every key and
    // button that is held when it arrives.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
  }

  ScreenImage Screen() {
    std::optional<ScreenImage> grab = GrabScreen(0, 0, kScreenW, kScreenH);
    EXPECT_TRUE(grab) << "the screen could not be read";
    return grab ? *grab : ScreenImage{};
  }
  ScreenImage ScreenWhen(const std::function<bool(const ScreenImage&)>& condition,
                         int timeout_ms = 3000) {
    return WaitForScreen(0, 0, kScreenW, kScreenH, condition, timeout_ms);
  }

  void MoveTo(Point p) {
    ASSERT_EQ(RunX(Xdotool("mousemove " + std::to_string(std::lround(p.x)) + " " +
                           std::to_string(std::lround(p.y)))),
              0);
    pointer = {static_cast<double>(std::lround(p.x)), static_cast<double>(std::lround(p.y))};
  }
  void ButtonDown(int button) {
    ASSERT_EQ(RunX(Xdotool("mousedown " + std::to_string(button))), 0);
    held_buttons.insert(button);
  }
  void ButtonUp(int button) {
    ASSERT_EQ(RunX(Xdotool("mouseup " + std::to_string(button))), 0);
    held_buttons.erase(button);
  }
  void KeyDown(const std::string& key) {
    ASSERT_EQ(RunX(Xdotool("keydown " + key)), 0);
    held_keys.insert(key);
  }
  void KeyUp(const std::string& key) {
    ASSERT_EQ(RunX(Xdotool("keyup " + key)), 0);
    held_keys.erase(key);
  }

  // The white mark the workspace draws at the pointer while the left button is
  // held (the corner of the drag rectangle) tells when the viewer has seen
  // the button go down and up.
  bool PointerMarked() {
    const int x = static_cast<int>(pointer.x), y = static_cast<int>(pointer.y);
    const std::optional<ScreenImage> spot = GrabScreen(x, y, 1, 1);
    return spot && spot->At(x, y) == kWhite;
  }
  void LeftDown() {
    ASSERT_NO_FATAL_FAILURE(ButtonDown(1));
    ASSERT_TRUE(WaitFor([&] { return PointerMarked(); })) << "the press was never drawn";
  }
  void LeftUp() {
    ASSERT_NO_FATAL_FAILURE(ButtonUp(1));
    ASSERT_TRUE(WaitFor([&] { return !PointerMarked(); })) << "the release was never drawn";
  }
  // Presses the button at the pointer until the screen shows the condition,
  // lets it go, and grabs the screen after that (without the left button's
  // mark).
  void PressUntil(int button, const std::function<bool(const ScreenImage&)>& condition,
                  ScreenImage& after) {
    if (button == 1) {
      ASSERT_NO_FATAL_FAILURE(LeftDown());
    } else {
      ASSERT_NO_FATAL_FAILURE(ButtonDown(button));
    }
    const bool shown = condition(ScreenWhen(condition));
    if (button == 1) {
      ASSERT_NO_FATAL_FAILURE(LeftUp());
    } else {
      ASSERT_NO_FATAL_FAILURE(ButtonUp(button));
    }
    ASSERT_TRUE(shown) << "the press showed no effect";
    after = Screen();
  }
  void LeftClick(Point p) {
    ASSERT_NO_FATAL_FAILURE(MoveTo(p));
    ASSERT_NO_FATAL_FAILURE(LeftDown());
    ASSERT_NO_FATAL_FAILURE(LeftUp());
  }

  // Waits until Sol 1, drawn at zoom 1 around Sol at sol, has gone on by at
  // least the number of frames (a quarter degree each); false when it does
  // not within the time. Sol 1's place is the one frame counter the screen
  // shows.
  bool WaitFrames(int frames, Point sol = {512, 384}) {
    const auto angle = [&](double& degrees) {
      std::optional<ScreenImage> grab = GrabScreen(0, 0, kScreenW, kScreenH);
      if (!grab) return false;
      const Spot sol1 = FindSol1(*grab, sol);
      if (sol1.count == 0) return false;
      degrees = PlaceOnOrbit({sol1.x, sol1.y}, sol).degrees;
      return true;
    };
    double start = 0;
    if (!WaitFor([&] { return angle(start); })) return false;
    // Half a degree more than the frames need: the disc's middle, as drawn in
    // whole pixels, wobbles by a fraction of a pixel.
    return WaitFor([&] {
      double now = 0;
      return angle(now) && AngleStep(now, start) >= 0.25 * frames + 0.5;
    });
  }

  // Sol 1 moves on while the screen is read and the pointer sent, which on a
  // slow run (the sanitizers, a busy machine) leaves a pointer aimed at it
  // behind it. So the pointer waits lead degrees ahead on Sol 1's orbit
  // (zoom 1, around Sol at sol) until Sol 1 comes under it, which the label
  // naming "Sol 1" (wider than "Sol") shows. Returns the screen that shows
  // it, or an empty screen when Sol 1 never came.
  ScreenImage WaitForSol1UnderPointer(Point sol, int min_label_width, double lead = 6) {
    for (int attempt = 0; attempt < 3; ++attempt) {
      const Spot sol1 = FindSol1(Screen(), sol);
      if (sol1.count == 0) continue;
      const double degrees = PlaceOnOrbit({sol1.x, sol1.y}, sol).degrees;
      EXPECT_NO_FATAL_FAILURE(MoveTo(OrbitPoint(degrees + lead, sol)));
      const auto hovered = [&](const ScreenImage& s) {
        return LabelText(s, kFirstPane).width() > min_label_width;
      };
      const ScreenImage screen = ScreenWhen(hovered, 4000);
      if (hovered(screen)) return screen;
    }
    return ScreenImage{};
  }

  std::optional<ViewerProcess> viewer;
  std::string window;
  Point pointer{kScreenW / 2.0, kScreenH / 2.0};
  std::set<std::string> held_keys;
  std::set<int> held_buttons;
};

TEST_F(ViewerE2ETest, StartsWithOnePaneOfFrameButtonsAndTheSystem) {
  ASSERT_NO_FATAL_FAILURE(Start());
  const int64_t started_ms = viewer->ElapsedMs();
  const auto since = std::chrono::steady_clock::now();
  const ScreenImage screen = Screen();

  // The frame: grey inside a 1-pixel black inset, black content, buttons.
  const std::pair<int, int> frame[] = {{60, 9},    {60, 19},    {500, 21},   {9, 300},
                                       {10, 300},  {1013, 300}, {1014, 300}, {500, 748},
                                       {500, 758}, {60, 746},   {989, 12},   {31, 752}};
  for (const auto& [x, y] : frame) {
    EXPECT_EQ(screen.At(x, y), kFrameGrey) << "frame at (" << x << ", " << y << ")";
  }
  const std::pair<int, int> around[] = {{8, 300},   {1015, 300}, {500, 8},
                                        {500, 759}, {3, 3},      {1020, 764}};
  const std::pair<int, int> content[] = {{11, 22}, {1012, 22}, {11, 745}, {1012, 745}, {200, 600}};
  for (const auto& [x, y] : around) EXPECT_EQ(screen.At(x, y), kBlack) << x << ", " << y;
  for (const auto& [x, y] : content) EXPECT_EQ(screen.At(x, y), kBlack) << x << ", " << y;
  EXPECT_EQ(IconAt(screen, kFirstPane.follow(), kFollowIcon), "") << "follow";
  EXPECT_EQ(IconAt(screen, kFirstPane.merge_u(), kMergeUIcon), "") << "merge up";
  EXPECT_EQ(IconAt(screen, kFirstPane.merge_r(), kMergeRIcon), "") << "merge right";
  EXPECT_EQ(IconAt(screen, kFirstPane.merge_l(), kMergeLIcon), "") << "merge left";
  EXPECT_EQ(IconAt(screen, kFirstPane.merge_d(), kMergeDIcon), "") << "merge down";
  EXPECT_EQ(IconAt(screen, kFirstPane.split_h(), kSplitHIcon), "") << "split side by side";
  EXPECT_EQ(IconAt(screen, kFirstPane.split_v(), kSplitVIcon), "") << "split one above other";

  // Sol in the middle of the content at zoom 1.
  const Disc sol = FindDisc(screen, {512, 384});
  EXPECT_NEAR(sol.middle.x, 512, 0.5);
  EXPECT_NEAR(sol.middle.y, 384, 0.5);
  EXPECT_NEAR(sol.radius, kSolRadius, 1.0);

  // Sol 1 on its orbit, started at 40 degrees, no further on than a quarter
  // degree for every 20 ms that the viewer has run.
  const Spot sol1 = FindSol1(screen, sol.middle);
  ASSERT_GT(sol1.count, 0) << "Sol 1 is not drawn";
  EXPECT_NEAR(sol1.count, M_PI * kSol1Radius * kSol1Radius, 30);
  const OrbitPlace place = PlaceOnOrbit({sol1.x, sol1.y}, {512, 384});
  EXPECT_NEAR(place.scale, 1.0, 0.03) << "(" << sol1.x << ", " << sol1.y << ")";
  EXPECT_GE(AngleStep(place.degrees, 40), -0.5);
  EXPECT_LE(AngleStep(place.degrees, 40), 0.25 * started_ms / 20.0 + 1);

  // The orbit line runs through the far side of the ellipse too.
  for (double degrees : {place.degrees + 90, place.degrees + 180, place.degrees + 270}) {
    const Point p = OrbitPoint(degrees, {512, 384});
    const Spot line =
        FindSpot(screen, kFrameGrey, static_cast<int>(p.x) - 3, static_cast<int>(p.y) - 3, 7, 7);
    EXPECT_GT(line.count, 0) << "no orbit line near (" << p.x << ", " << p.y << ")";
  }

  // It moves on clockwise (its angle grows), by no more than a quarter
  // degree for every 20 ms.
  const ScreenImage later = ScreenWhen([&](const ScreenImage& s) {
    const Spot moved = FindSol1(s, {512, 384});
    return AngleStep(PlaceOnOrbit({moved.x, moved.y}, {512, 384}).degrees, place.degrees) > 2;
  });
  const Spot moved = FindSol1(later, {512, 384});
  EXPECT_NEAR(PlaceOnOrbit({moved.x, moved.y}, {512, 384}).scale, 1.0, 0.03);
  const double step =
      AngleStep(PlaceOnOrbit({moved.x, moved.y}, {512, 384}).degrees, place.degrees);
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
  EXPECT_GT(step, 2);
  EXPECT_LE(step, 0.25 * ms / 20 + 1) << "in " << ms << " ms";
}

TEST_F(ViewerE2ETest, PointerOverABodyHighlightsAndNamesIt) {
  ASSERT_NO_FATAL_FAILURE(Start());
  const Point sol{512, 384};
  ASSERT_NO_FATAL_FAILURE(MoveTo({200, 600}));
  const ScreenImage away = ScreenWhen([&](const ScreenImage& s) {
    return CountOnCircle(s, kHoverHalo, sol.x, sol.y, kSolRadius + 1.5) == 0;
  });
  EXPECT_EQ(CountOnCircle(away, kBlack, sol.x, sol.y, kSolRadius + 1.5), 36) << "no halo";
  EXPECT_EQ(LabelText(away, kFirstPane).width(), 0) << "no label without a body";

  // Anywhere on the disc: a dark green ring 3 pixels wide and the name.
  ASSERT_NO_FATAL_FAILURE(MoveTo({sol.x + 9, sol.y - 8}));
  const ScreenImage over = ScreenWhen([&](const ScreenImage& s) {
    return CountOnCircle(s, kHoverHalo, sol.x, sol.y, kSolRadius + 1.5) == 36;
  });
  EXPECT_EQ(CountOnCircle(over, kHoverHalo, sol.x, sol.y, kSolRadius + 1.5), 36);
  EXPECT_NEAR(HaloPixels(over, kHoverHalo, sol, kSolRadius), RingArea(kSolRadius, 3), 40);
  EXPECT_EQ(CountOnCircle(over, kBlack, sol.x, sol.y, kSolRadius + 4.5), 36) << "ring too wide";
  EXPECT_EQ(CountOnCircle(over, kDisc, sol.x, sol.y, kSolRadius - 1.5), 36) << "disc on top";
  const TextBox sol_label = LabelText(over, kFirstPane);
  ASSERT_GT(sol_label.width(), 0) << "no label";
  // The text stands at (4, 4) in the content: (15, 26) on screen.
  EXPECT_GE(sol_label.left, 15);
  EXPECT_LE(sol_label.left, 17);
  EXPECT_GE(sol_label.top, 26);
  EXPECT_LE(sol_label.top, 30);
  EXPECT_LT(sol_label.bottom, 26 + 16);

  // Over Sol 1 its own, longer name shows instead, and Sol loses its ring.
  const ScreenImage over1 = WaitForSol1UnderPointer(sol, sol_label.width());
  const TextBox sol1_label = LabelText(over1, kFirstPane);
  EXPECT_GT(sol1_label.width(), sol_label.width() + 4) << "\"Sol 1\" is wider than \"Sol\"";
  EXPECT_EQ(sol1_label.left, sol_label.left);
  EXPECT_EQ(CountOnCircle(over1, kHoverHalo, sol.x, sol.y, kSolRadius + 1.5), 0);
  const Spot sol1 = FindSol1(over1, sol);
  const Spot ring = FindSpot(over1, kHoverHalo, static_cast<int>(sol1.x) - 15,
                             static_cast<int>(sol1.y) - 15, 31, 31);
  EXPECT_GT(ring.count, 20) << "Sol 1's hover ring";
}

TEST_F(ViewerE2ETest, LeftClickSelectsABody) {
  ASSERT_NO_FATAL_FAILURE(Start());
  const Point sol{512, 384};

  // The follow button does nothing while no body is selected.
  ASSERT_NO_FATAL_FAILURE(LeftClick(Middle(kFirstPane.follow())));
  ASSERT_TRUE(WaitFrames(3));
  EXPECT_EQ(IconAt(Screen(), kFirstPane.follow(), kFollowIcon), "");

  // Pressed on Sol: selected while hovered, a teal ring 3 pixels wide. (The
  // press waits for the hover, so that the drag rectangle from the last
  // pointer place does not cross the ring.)
  // More than the double-click time after the press on the follow button,
  // which would otherwise make this press a double click (measured from
  // press to press wherever they land) and follow Sol.
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  ASSERT_NO_FATAL_FAILURE(MoveTo({sol.x - 6, sol.y + 10}));
  ScreenWhen([&](const ScreenImage& s) {
    return CountOnCircle(s, kHoverHalo, sol.x, sol.y, kSolRadius + 1.5) == 36;
  });
  ASSERT_NO_FATAL_FAILURE(LeftDown());
  const ScreenImage pressed = ScreenWhen([&](const ScreenImage& s) {
    return CountOnCircle(s, kFocusHalo, sol.x, sol.y, kSolRadius + 1.5) == 36;
  });
  EXPECT_EQ(CountOnCircle(pressed, kFocusHalo, sol.x, sol.y, kSolRadius + 1.5), 36);
  EXPECT_NEAR(HaloPixels(pressed, kFocusHalo, sol, kSolRadius), RingArea(kSolRadius, 3), 40);
  EXPECT_EQ(CountOnCircle(pressed, kBlack, sol.x, sol.y, kSolRadius + 4.5), 36);
  ASSERT_NO_FATAL_FAILURE(LeftUp());

  // The pointer elsewhere: the selection stays, the ring 4 pixels wide, the
  // label still names it, and a click does not follow.
  ASSERT_NO_FATAL_FAILURE(MoveTo({200, 600}));
  const ScreenImage away = ScreenWhen([&](const ScreenImage& s) {
    return HaloPixels(s, kFocusHalo, sol, kSolRadius) > RingArea(kSolRadius, 4) - 40;
  });
  EXPECT_EQ(CountOnCircle(away, kFocusHalo, sol.x, sol.y, kSolRadius + 1.5), 36);
  EXPECT_EQ(CountOnCircle(away, kFocusHalo, sol.x, sol.y, kSolRadius + 3), 36);
  EXPECT_NEAR(HaloPixels(away, kFocusHalo, sol, kSolRadius), RingArea(kSolRadius, 4), 40);
  EXPECT_EQ(CountOnCircle(away, kBlack, sol.x, sol.y, kSolRadius + 5.5), 36);
  EXPECT_EQ(CountOnCircle(away, kDisc, sol.x, sol.y, kSolRadius - 1.5), 36);
  EXPECT_GT(LabelText(away, kFirstPane).width(), 0) << "the selected body's name";
  EXPECT_EQ(IconAt(away, kFirstPane.follow(), kFollowIcon), "");
  EXPECT_TRUE(DiscNear(away, sol, kSolRadius));
}

// The two ways to follow a body: select it and press the follow button, or
// double-click it.
enum class FollowBy { kFollowButton, kDoubleClick };

void PrintTo(FollowBy way, std::ostream* out) {
  *out << (way == FollowBy::kFollowButton ? "follow button" : "double click");
}

class ViewerFollowTest : public ViewerE2ETest, public testing::WithParamInterface<FollowBy> {};

// The embedded system with Sol 1 five times slower, so that a click aimed at
// it lands on it also on a slow run (a double click that misses would
// re-centre the view instead).
constexpr char kSlowSystem[] =
    "#root[ #body[ name: Sol; radius: 17; x: 0; y: 0;"
    " #body[ name: \"Sol 1\"; radius: 7; orbitdist: 110; orbitangle: 40;"
    " orbitscalex: 1.5; orbitscaley: 0.5; orbitmovex: 40; orbitmovey: 20;"
    " orbitrot: 45; revspeed: 0.05; ]; ]; ];";

TEST_P(ViewerFollowTest, FollowingKeepsTheBodyInTheMiddle) {
  ASSERT_NO_FATAL_FAILURE(Start({"slow.txt"}, [](const std::string& folder) {
    std::ofstream(folder + "/slow.txt") << kSlowSystem;
  }));
  const Point middle{512, 384};
  // Pressed while Sol 1 is under the pointer (its name, wider than "Sol",
  // in the label). On a slow run Sol 1 can have moved off the pointer by the
  // time the presses arrive; then the presses select nothing and follow
  // nothing, and Sol 1 is waited for again.
  const int sol_label_width = 20;
  const auto following = [&] {
    const auto cross = [&](const ScreenImage& s) {
      return IconAt(s, kFirstPane.follow(), kFollowOnIcon).empty();
    };
    return cross(ScreenWhen(cross, 1500));
  };
  for (int attempt = 0; attempt < 5; ++attempt) {
    ASSERT_GT(LabelText(WaitForSol1UnderPointer(middle, sol_label_width, 1.5), kFirstPane).width(),
              sol_label_width);
    if (GetParam() == FollowBy::kFollowButton) {
      ASSERT_NO_FATAL_FAILURE(LeftClick(pointer));
      ASSERT_NO_FATAL_FAILURE(LeftClick(Middle(kFirstPane.follow())));
    } else {
      // Both presses in one go, each held long enough for a frame to see it
      // and the second well within the double-click time.
      ASSERT_EQ(RunX(Xdotool("mousedown 1 sleep 0.08 mouseup 1 sleep 0.04"
                             " mousedown 1 sleep 0.08 mouseup 1")),
                0);
      ASSERT_TRUE(WaitFor([&] { return !PointerMarked(); }));
    }
    if (following()) break;
  }
  ASSERT_NO_FATAL_FAILURE(MoveTo({200, 600}));

  // The cross, and Sol 1 held in the middle while Sol swings around it.
  const ScreenImage first = ScreenWhen([&](const ScreenImage& s) {
    return IconAt(s, kFirstPane.follow(), kFollowOnIcon).empty() &&
           DiscNear(s, middle, kSol1Radius);
  });
  EXPECT_EQ(IconAt(first, kFirstPane.follow(), kFollowOnIcon), "");
  EXPECT_TRUE(DiscNear(first, middle, kSol1Radius)) << "Sol 1 in the middle";
  EXPECT_EQ(CountOnCircle(first, kFocusHalo, middle.x, middle.y, kSol1Radius + 2), 36);
  const Spot sol_first = FindSpot(first, kDisc, 11, 22, 1002, 724);  // Sol 1 counts too
  const ScreenImage later = ScreenWhen([&](const ScreenImage& s) {
    const Spot sol_now = FindSpot(s, kDisc, 11, 22, 1002, 724);
    return std::hypot(sol_now.x - sol_first.x, sol_now.y - sol_first.y) > 1.5;
  });
  EXPECT_TRUE(DiscNear(later, middle, kSol1Radius)) << "Sol 1 still in the middle";
  const Spot sol_later = FindSpot(later, kDisc, 11, 22, 1002, 724);
  EXPECT_GT(std::hypot(sol_later.x - sol_first.x, sol_later.y - sol_first.y), 1.5)
      << "Sol moves on screen";

  if (GetParam() == FollowBy::kFollowButton) {
    // Pressed again, the button lets go: the icon turns back, Sol 1 drifts.
    ASSERT_NO_FATAL_FAILURE(LeftClick(Middle(kFirstPane.follow())));
    ASSERT_NO_FATAL_FAILURE(MoveTo({200, 600}));
    const ScreenImage off = ScreenWhen([&](const ScreenImage& s) {
      return IconAt(s, kFirstPane.follow(), kFollowIcon).empty() &&
             !DiscNear(s, middle, kSol1Radius, 1.5);
    });
    EXPECT_EQ(IconAt(off, kFirstPane.follow(), kFollowIcon), "");
    EXPECT_FALSE(DiscNear(off, middle, kSol1Radius, 1.5)) << "Sol 1 left the middle";
  }
}

INSTANTIATE_TEST_SUITE_P(Ways, ViewerFollowTest,
                         testing::Values(FollowBy::kFollowButton, FollowBy::kDoubleClick),
                         [](const testing::TestParamInfo<FollowBy>& info) {
                           return info.param == FollowBy::kFollowButton ? "FollowButton"
                                                                        : "DoubleClick";
                         });

// Sol without its planet, for the tests that measure Sol's disc: Sol 1's
// orbit passes within a few pixels of Sol, and on a slow run the test reaches
// that part of the orbit, where Sol 1 would be measured as part of the disc.
void WriteSolAlone(const std::string& folder) {
  std::ofstream(folder + "/sol.txt") << "#root[ #body[ name: Sol; radius: 17; x: 0; y: 0; ]; ];";
}

TEST_F(ViewerE2ETest, WheelAndKeysZoomByAQuarterPerStep) {
  ASSERT_NO_FATAL_FAILURE(Start({"sol.txt"}, WriteSolAlone));
  // Sol's radius on screen is 17 x zoom. With the pointer on Sol the view
  // zooms about Sol; with it 200 pixels to the right it zooms about that point
  // (in by a fifth of the way, 0.21, out by exactly a quarter).
  struct Step {
    Point pointer;
    const char* input;  // xdotool words
    double zoom;
    double sol_x;  // where Sol's middle is afterwards
  };
  const Step steps[] = {
      {{512, 384}, "click 4", 1.25, 512},       {{512, 384}, "click 4", 1.5625, 512},
      {{512, 384}, "key equal", 1.953125, 512}, {{512, 384}, "key minus", 1.5625, 512},
      {{512, 384}, "click 5", 1.25, 512},       {{512, 384}, "key minus", 1.0, 512},
      {{712, 384}, "click 4", 1.25, 459.5},     {{712, 384}, "click 5", 1.0, 510},
      {{712, 384}, "key minus", 0.8, 550.4},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(std::string(step.input) + " to zoom " + std::to_string(step.zoom));
    ASSERT_NO_FATAL_FAILURE(MoveTo(step.pointer));
    ASSERT_EQ(RunX(Xdotool(step.input)), 0);
    const double radius = kSolRadius * step.zoom;
    const ScreenImage screen = ScreenWhen([&](const ScreenImage& s) {
      return std::fabs(FindDisc(s, {step.sol_x, 384}, 50).radius - radius) <= 1.0;
    });
    const Disc sol = FindDisc(screen, {step.sol_x, 384}, 50);
    EXPECT_NEAR(sol.radius, radius, 1.0);
    EXPECT_NEAR(sol.middle.x, step.sol_x, 1.0);
    EXPECT_NEAR(sol.middle.y, 384, 1.0);
  }
}

TEST_F(ViewerE2ETest, SplitAndMergeButtonsRetileTheScreen) {
  ASSERT_NO_FATAL_FAILURE(Start({"sol.txt"}, WriteSolAlone));
  const Pane left{8, 8, 504, 752}, right{512, 8, 504, 752};
  // A column or row of the screen, at places that no body or orbit of the
  // panes here reaches: the frame's grey, or black between and inside panes.
  const auto column_is = [](const ScreenImage& s, int x, uint32_t colour) {
    return s.At(x, 60) == colour && s.At(x, 200) == colour && s.At(x, 650) == colour;
  };
  const auto row_is = [](const ScreenImage& s, int y, uint32_t colour) {
    return s.At(60, y) == colour && s.At(150, y) == colour && s.At(470, y) == colour;
  };
  ScreenImage screen;

  // Left click on "split side by side": two halves, each showing Sol.
  ASSERT_NO_FATAL_FAILURE(MoveTo(Middle(kFirstPane.split_h())));
  ASSERT_NO_FATAL_FAILURE(PressUntil(
      1, [&](const ScreenImage& s) { return column_is(s, 513, kFrameGrey); }, screen));
  for (int x : {509, 510, 513, 514}) EXPECT_TRUE(column_is(screen, x, kFrameGrey)) << x;
  for (int x : {508, 511, 512, 515}) EXPECT_TRUE(column_is(screen, x, kBlack)) << x;
  EXPECT_TRUE(DiscNear(screen, left.centre(), kSolRadius)) << "Sol in the left pane";
  EXPECT_TRUE(DiscNear(screen, right.centre(), kSolRadius)) << "Sol in the right pane";
  EXPECT_EQ(screen.At(512, 384), kBlack);
  for (const Pane& pane : {left, right}) {
    EXPECT_EQ(IconAt(screen, pane.follow(), kFollowIcon), "") << pane.x;
    EXPECT_EQ(IconAt(screen, pane.merge_r(), kMergeRIcon), "") << pane.x;
    EXPECT_EQ(IconAt(screen, pane.merge_u(), kMergeUIcon), "") << pane.x;
    EXPECT_EQ(IconAt(screen, pane.merge_l(), kMergeLIcon), "") << pane.x;
    EXPECT_EQ(IconAt(screen, pane.merge_d(), kMergeDIcon), "") << pane.x;
    EXPECT_EQ(IconAt(screen, pane.split_h(), kSplitHIcon), "") << pane.x;
    EXPECT_EQ(IconAt(screen, pane.split_v(), kSplitVIcon), "") << pane.x;
  }

  // Right click on the left half's "split one above the other": three rows
  // of 250, 250 and 252 pixels there, the right half untouched.
  const Pane top{8, 8, 504, 250}, middle{8, 258, 504, 250}, bottom{8, 508, 504, 252};
  ASSERT_NO_FATAL_FAILURE(MoveTo(Middle(left.split_v())));
  ASSERT_NO_FATAL_FAILURE(PressUntil(
      3,
      [&](const ScreenImage& s) {
        return row_is(s, 256, kFrameGrey) && row_is(s, 506, kFrameGrey);
      },
      screen));
  for (int y : {256, 259, 506, 509}) EXPECT_TRUE(row_is(screen, y, kFrameGrey)) << y;
  for (int y : {257, 258, 507, 508}) EXPECT_TRUE(row_is(screen, y, kBlack)) << y;
  for (const Pane& pane : {top, middle, bottom}) {
    EXPECT_TRUE(DiscNear(screen, pane.centre(), kSolRadius)) << "Sol in the pane at " << pane.y;
    EXPECT_EQ(IconAt(screen, pane.follow(), kFollowIcon), "") << pane.y;
    EXPECT_EQ(IconAt(screen, pane.merge_d(), kMergeDIcon), "") << pane.y;
    EXPECT_EQ(IconAt(screen, pane.split_v(), kSplitVIcon), "") << pane.y;
  }
  EXPECT_TRUE(DiscNear(screen, right.centre(), kSolRadius)) << "Sol in the right pane";
  EXPECT_TRUE(column_is(screen, 513, kFrameGrey));
  EXPECT_EQ(screen.At(764, 257), kBlack);

  // The top pane merges down twice, taking the middle and then the bottom one.
  ASSERT_NO_FATAL_FAILURE(MoveTo(Middle(top.merge_d())));
  ASSERT_NO_FATAL_FAILURE(PressUntil(
      1, [&](const ScreenImage& s) { return row_is(s, 256, kBlack) && row_is(s, 259, kBlack); },
      screen));
  for (int y : {256, 257, 258, 259}) EXPECT_TRUE(row_is(screen, y, kBlack)) << y;
  EXPECT_TRUE(row_is(screen, 506, kFrameGrey));
  EXPECT_TRUE(row_is(screen, 509, kFrameGrey));
  const Pane tall{8, 8, 504, 500};
  EXPECT_TRUE(DiscNear(screen, tall.centre(), kSolRadius));
  EXPECT_TRUE(DiscNear(screen, bottom.centre(), kSolRadius));

  ASSERT_NO_FATAL_FAILURE(MoveTo(Middle(tall.merge_d())));
  ASSERT_NO_FATAL_FAILURE(PressUntil(
      1, [&](const ScreenImage& s) { return row_is(s, 506, kBlack) && row_is(s, 509, kBlack); },
      screen));
  for (int y : {256, 259, 506, 507, 508, 509}) EXPECT_TRUE(row_is(screen, y, kBlack)) << y;
  EXPECT_TRUE(DiscNear(screen, left.centre(), kSolRadius));
  EXPECT_EQ(IconAt(screen, left.merge_d(), kMergeDIcon), "");

  // The left half merges right: the one pane of the start again.
  ASSERT_NO_FATAL_FAILURE(MoveTo(Middle(left.merge_r())));
  ASSERT_NO_FATAL_FAILURE(PressUntil(
      1,
      [&](const ScreenImage& s) { return column_is(s, 509, kBlack) && column_is(s, 514, kBlack); },
      screen));
  for (int x = 508; x <= 515; ++x) EXPECT_TRUE(column_is(screen, x, kBlack)) << x;
  EXPECT_TRUE(DiscNear(screen, kFirstPane.centre(), kSolRadius));
  EXPECT_EQ(screen.At(260, 384), kBlack);
  EXPECT_EQ(screen.At(764, 384), kBlack);
  EXPECT_EQ(IconAt(screen, kFirstPane.follow(), kFollowIcon), "");
  EXPECT_EQ(IconAt(screen, kFirstPane.merge_r(), kMergeRIcon), "");
  EXPECT_EQ(IconAt(screen, kFirstPane.merge_u(), kMergeUIcon), "");
  EXPECT_EQ(IconAt(screen, kFirstPane.split_h(), kSplitHIcon), "");
  EXPECT_EQ(IconAt(screen, kFirstPane.split_v(), kSplitVIcon), "");
}

TEST_F(ViewerE2ETest, MiddleDragPansAndStopsFollowing) {
  ASSERT_NO_FATAL_FAILURE(Start());
  const Point sol{512, 384};
  ASSERT_NO_FATAL_FAILURE(LeftClick({sol.x + 3, sol.y + 3}));
  ASSERT_NO_FATAL_FAILURE(LeftClick(Middle(kFirstPane.follow())));
  const ScreenImage following = ScreenWhen(
      [&](const ScreenImage& s) { return IconAt(s, kFirstPane.follow(), kFollowOnIcon).empty(); });
  ASSERT_EQ(IconAt(following, kFirstPane.follow(), kFollowOnIcon), "");

  // Pressed at (600, 300) and dragged by (+70, +45), through a few places.
  ASSERT_NO_FATAL_FAILURE(MoveTo({600, 300}));
  ASSERT_NO_FATAL_FAILURE(ButtonDown(2));
  ASSERT_TRUE(WaitFrames(3)) << "the viewer stopped drawing";
  for (const Point p : {Point{620, 310}, Point{650, 330}, Point{670, 345}}) {
    ASSERT_NO_FATAL_FAILURE(MoveTo(p));
  }
  const Point moved{sol.x + 70, sol.y + 45};
  const ScreenImage dragged =
      ScreenWhen([&](const ScreenImage& s) { return DiscNear(s, moved, kSolRadius); });
  EXPECT_TRUE(DiscNear(dragged, moved, kSolRadius)) << "Sol moved with the pointer";
  EXPECT_EQ(IconAt(dragged, kFirstPane.follow(), kFollowIcon), "") << "following stopped";
  ASSERT_NO_FATAL_FAILURE(ButtonUp(2));

  // Released, the view stays where it was dragged to (a view that still
  // followed Sol would put it back in the middle); moving the pointer no
  // longer pans.
  ASSERT_NO_FATAL_FAILURE(MoveTo({300, 200}));
  ASSERT_TRUE(WaitFrames(4, moved));
  const ScreenImage after = Screen();
  EXPECT_TRUE(DiscNear(after, moved, kSolRadius));
  EXPECT_EQ(IconAt(after, kFirstPane.follow(), kFollowIcon), "");
  EXPECT_EQ(CountOnCircle(after, kFocusHalo, moved.x, moved.y, kSolRadius + 2), 36)
      << "still selected";
}

TEST_F(ViewerE2ETest, HeldF11WritesOneScreenshotPerSecond) {
  ASSERT_NO_FATAL_FAILURE(Start());
  const std::string shots = viewer->folder() + "/screenshots";
  ASSERT_TRUE(fs::create_directory(shots));
  const int before = LocalSecondsNow();
  ASSERT_NO_FATAL_FAILURE(KeyDown("F11"));
  // Held until the files of two seconds are there.
  const auto pngs = [&] {
    std::vector<std::string> names = Entries(shots);
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& n) { return !n.ends_with(".png"); }),
                names.end());
    return names;
  };
  EXPECT_TRUE(WaitFor([&] { return pngs().size() >= 2; }, 5000)) << Joined(Entries(shots));
  ASSERT_NO_FATAL_FAILURE(KeyUp("F11"));
  ASSERT_TRUE(WaitFrames(4));  // past the last frame that saw F11 held
  const int after = LocalSecondsNow();

  const std::vector<std::string> names = Entries(shots);
  ASSERT_GE(names.size(), 2u) << Joined(names);
  const std::regex pattern(R"(\d\d\.\d\d\.\d\d\.png)");
  int previous = -1;
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(std::regex_match(name, pattern)) << Joined(names);
    const int seconds = SecondsOf(name);
    // Within the time F11 was held (the day may turn over meanwhile).
    EXPECT_LE((seconds - before + 86400) % 86400, (after - before + 86400) % 86400);
    if (previous >= 0) {
      EXPECT_EQ(seconds, (previous + 1) % 86400) << "one file a second";
    }
    previous = seconds;

    // The whole screen as 8-bit RGBA.
    const StreamRef in = OpenInput(FromBytes(shots + "/" + name));
    ASSERT_TRUE(in);
    const PixmapRef png = ReadPNG(in);
    in->Close();
    ASSERT_TRUE(png);
    EXPECT_EQ(png->width, kScreenW);
    EXPECT_EQ(png->height, kScreenH);
    EXPECT_EQ(png->format, PIXEL_RGBA8888);
    const auto rgb = [&](int x, int y) { return png->ReadPixel(x, y) & 0xFFFFFFu; };
    EXPECT_EQ(png->ReadPixel(60, 12) >> 24, 0xFFu) << "opaque";
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{
             {60, 12}, {9, 300}, {1014, 300}, {500, 752}, {1006, 14}, {11, 11}}) {
      EXPECT_EQ(rgb(x, y), kFrameGrey) << "(" << x << ", " << y << ")";
    }
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{
             {4, 4}, {8, 300}, {1015, 300}, {200, 600}, {1012, 745}, {13, 13}}) {
      EXPECT_EQ(rgb(x, y), kBlack) << "(" << x << ", " << y << ")";
    }
    for (const auto& [x, y] :
         std::vector<std::pair<int, int>>{{512, 384}, {500, 384}, {512, 398}}) {
      EXPECT_EQ(rgb(x, y), kDisc) << "Sol at (" << x << ", " << y << ")";
    }
  }
}

TEST_F(ViewerE2ETest, F11WritesNothingWithoutAScreenshotsFolder) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(KeyDown("F11"));
  ASSERT_TRUE(WaitFrames(6));
  EXPECT_EQ(Entries(viewer->folder()), std::vector<std::string>{}) << "no file and no folder";
  ASSERT_NO_FATAL_FAILURE(KeyUp("F11"));
  ASSERT_TRUE(WaitFrames(3));

  // The same key once the folder is there: a file (so the key did arrive).
  const std::string shots = viewer->folder() + "/screenshots";
  ASSERT_TRUE(fs::create_directory(shots));
  ASSERT_NO_FATAL_FAILURE(KeyDown("F11"));
  EXPECT_TRUE(WaitFor([&] {
    const std::vector<std::string> names = Entries(shots);
    return names.size() == 1 && names[0].ends_with(".png");
  })) << Joined(Entries(shots));
  ASSERT_NO_FATAL_FAILURE(KeyUp("F11"));
  EXPECT_EQ(Entries(viewer->folder()), std::vector<std::string>{"screenshots"});
}

TEST_F(ViewerE2ETest, ShowsTheDefinitionNamedOnTheCommandLine) {
  // A bare file name is read from the working folder.
  ASSERT_NO_FATAL_FAILURE(Start({"big.txt"}, [](const std::string& folder) {
    std::ofstream(folder + "/big.txt") << "#root[ #body[ name: \"Big\"; radius: 40; x: 150; "
                                          "y: -100; ]; ];";
  }));
  const ScreenImage screen = Screen();
  EXPECT_TRUE(DiscNear(screen, {662, 284}, 40)) << "Big at world (150, -100)";
  EXPECT_EQ(FindSpot(screen, kDisc, 11, 22, 1002, 724).count, FindDisc(screen, {662, 284}).count)
      << "nothing else is drawn";
  EXPECT_EQ(IconAt(screen, kFirstPane.follow(), kFollowIcon), "");
}

TEST_F(ViewerE2ETest, FrameLimitEndsTheProgramWithStatusZero) {
  EXPECT_FALSE(StartWithWindow(viewer, {"--frames", "30"}).empty()) << viewer->Stderr();
  EXPECT_EQ(viewer->WaitForExit(15000), 0) << viewer->Stderr();
  // 30 frames with a 20 ms sleep between two of them.
  EXPECT_GE(viewer->ElapsedMs(), 29 * 20);
}

// Command lines the viewer refuses or answers without a display. They run
// against a display number that no server has, so a viewer that went on to
// open the display would report that instead.
TEST(ViewerCommandLineTest, AnswersOrRefusesBeforeOpeningTheDisplay) {
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string stdout_start;  // what standard output begins with
    std::string stderr_start;  // what standard error begins with
    int stderr_lines;          // -1: any number
    std::string stderr_names;  // a text that the error names
  };
  const std::string usage =
      "usage: skyloom [--frames N] [--no-watch] [--paused] [--window [WxH]] [DEFINITION]\n";
  const Case cases[] = {
      {{"--help"}, 0, usage, "", 0, ""},
      {{"--frames", "0"}, 2, "", "skyloom: --frames", -1, usage},
      {{"--paused", "--paused=no"}, 2, "", "skyloom: unknown option --paused=no", -1, usage},
      {{"--window", "300x200"}, 2, "", "skyloom: --window", -1, usage},
      {{"--window=800"}, 2, "", "skyloom: --window", -1, usage},
      {{"missing.txt"}, 1, "", "skyloom: ", 1, "missing.txt"},
      {{"broken.txt"},
       1,
       "",
       "skyloom: ",
       1,
       "broken.txt:1:28: \"[\" without a \"#\" of its own (byte 27)\n"},
      {{"--frames", "30", "unclosed.txt"},
       1,
       "",
       "skyloom: ",
       1,
       "unclosed.txt:1:27: the text ends before its nodes are complete (byte 26)\n"},
      // A fault in an included file is named in that file.
      {{"outer.txt"},
       1,
       "",
       "skyloom: ",
       1,
       "parts/inner.txt:2:11: \"[\" without a \"#\" of its own (byte 17)\n"},
  };
  for (const Case& c : cases) {
    std::string line;
    for (const std::string& arg : c.args) line += " " + arg;
    SCOPED_TRACE("skyloom" + line);
    ViewerProcess viewer(c.args, ":4093", [](const std::string& folder) {
      std::ofstream(folder + "/broken.txt") << "#root[ #body[ name: \"Sol\"; [ ]; ]; ];";
      std::ofstream(folder + "/unclosed.txt") << "#root[ #body[ name: \"Sol\";";
      std::ofstream(folder + "/outer.txt") << "#root[\n  #include[ file: parts/inner.txt; ];\n];";
      std::filesystem::create_directory(folder + "/parts");
      std::ofstream(folder + "/parts/inner.txt") << "#body[\n  name: x [ ];\n]";
    });
    EXPECT_EQ(viewer.WaitForExit(), c.status);
    const std::string out = viewer.Stdout(), err = viewer.Stderr();
    EXPECT_EQ(out.substr(0, c.stdout_start.size()), c.stdout_start) << out;
    if (c.stdout_start.empty()) {
      EXPECT_EQ(out, "");
    }
    EXPECT_EQ(err.substr(0, c.stderr_start.size()), c.stderr_start) << err;
    if (c.stderr_lines >= 0) {
      EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), c.stderr_lines) << err;
    }
    EXPECT_NE(err.find(c.stderr_names), std::string::npos) << err;
    EXPECT_EQ(err.find("display"), std::string::npos) << err;
  }
}

// Likely mistakes in the definition do not stop the viewer: each is printed
// on standard error at start-up, where it stands, in reading order, and the
// system is shown.
TEST(ViewerWarningsTest, StartUpPrintsEveryWarning) {
  if (!HaveXServer()) GTEST_SKIP() << "no X server: DISPLAY is not set";
  ViewerProcess viewer({"--frames", "3", "warned.txt"}, nullptr, [](const std::string& folder) {
    std::ofstream(folder + "/warned.txt") << "#root[\n  #body[ name: Sol; radius: big; x: 0; "
                                             "y: 0; orbitdst: 5; ];\n];\nleft over";
  });
  EXPECT_EQ(viewer.WaitForExit(20000), 0) << viewer.Stderr();
  EXPECT_EQ(viewer.Stderr(),
            "warned.txt:2:21: warning: radius: 'big' is not a number (read as 0)\n"
            "warned.txt:2:46: warning: unknown key 'orbitdst' (did you mean 'orbitdist'?)\n"
            "warned.txt:4:1: warning: text after the root node is ignored\n");
}

}  // namespace
}  // namespace skyloom::xtest

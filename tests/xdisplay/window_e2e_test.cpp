// The viewer in a window of its own on the X server: the size --window asks
// for and screenshots of that size, the layout kept in proportion when the
// window is resized, Alt+Enter to full screen and back, and a prompt exit
// with status 1 when the X server goes away under it.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "tests/xdisplay/screen_grab.h"
#include "tests/xdisplay/viewer_process.h"

namespace skyloom::xtest {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kFrameGrey = 0x808080;
constexpr uint32_t kDisc = 0x00FF00;

struct Geometry {
  int x = -1, y = -1, w = -1, h = -1;
  bool operator==(const Geometry&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Geometry& g) {
  return out << g.w << "x" << g.h << " at " << g.x << ", " << g.y;
}

// Where a window stands on the screen and its size, as xdotool reports them.
Geometry GeometryOf(const std::string& window) {
  const std::string text = Capture("xdotool getwindowgeometry --shell " + window + " 2>/dev/null");
  Geometry g;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq);
    const int value = std::atoi(line.c_str() + eq + 1);
    if (key == "X") g.x = value;
    if (key == "Y") g.y = value;
    if (key == "WIDTH") g.w = value;
    if (key == "HEIGHT") g.h = value;
  }
  return g;
}

// Width and height from a PNG file's header; 0, 0 when it is not one.
std::pair<int, int> PngSize(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned char header[24] = {};
  in.read(reinterpret_cast<char*>(header), sizeof header);
  if (!in || std::memcmp(header + 12, "IHDR", 4) != 0) return {0, 0};
  const auto be32 = [&](int at) {
    return int(header[at]) << 24 | int(header[at + 1]) << 16 | int(header[at + 2]) << 8 |
           int(header[at + 3]);
  };
  return {be32(16), be32(20)};
}

class WindowE2ETest : public testing::Test {
 protected:
  void SetUp() override {
    if (!HaveXServer()) GTEST_SKIP() << "no X server: DISPLAY is not set";
  }
  void TearDown() override {
    RunX(Xdotool("keyup Return keyup alt keyup F11"));
    viewer.reset();
  }

  // Starts the viewer in a window of that size and waits for its first pane.
  void Start(const std::string& size) {
    window = StartWithWindow(viewer, {"--window", size}, [](const std::string& folder) {
      fs::create_directory(folder + "/screenshots");
    });
    ASSERT_FALSE(window.empty()) << "no window; " << viewer->Stderr();
    WaitForGeometry([](const Geometry& g) { return g.w > 0; });
    FocusAndSettle();
  }

  void FocusAndSettle() {
    window = viewer->Window();
    ASSERT_FALSE(window.empty());
    ASSERT_EQ(RunX(std::string(XWINDOW_HELPER) + " focus " + window), 0);
    // Past the platform's delayed focus report, which releases every key.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
  }

  Geometry WaitForGeometry(const std::function<bool(const Geometry&)>& wanted) {
    Geometry g;
    WaitFor(
        [&] {
          const std::string id = viewer->Window(500);
          if (id.empty()) return false;
          window = id;
          g = GeometryOf(window);
          return wanted(g);
        },
        5000);
    return g;
  }

  // What the window shows, in window coordinates, once the condition holds.
  ScreenImage WindowWhen(const std::function<bool(const ScreenImage&)>& condition) {
    const Geometry g = GeometryOf(window);
    ScreenImage image = WaitForScreen(g.x, g.y, g.w, g.h, condition, 5000);
    image.left -= g.x;
    image.top -= g.y;
    return image;
  }

  void Hold(const std::string& keys) {
    RunX(Xdotool("keydown " + keys));
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
  }
  void Release(const std::string& keys) { RunX(Xdotool("keyup " + keys)); }

  void AltEnter() {
    Hold("alt");
    Hold("Return");
    Release("Return");
    Release("alt");
  }

  // Clicks a point of the window with the left button, holding it a few frames.
  void ClickAt(int x, int y) {
    const Geometry g = GeometryOf(window);
    RunX(Xdotool("mousemove " + std::to_string(g.x + x) + " " + std::to_string(g.y + y)));
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    RunX(Xdotool("mousedown 1"));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    RunX(Xdotool("mouseup 1"));
  }

  std::optional<ViewerProcess> viewer;
  std::string window;
};

TEST_F(WindowE2ETest, WindowOfTheAskedSizeWithScreenshotsOfThatSize) {
  Start("800x600");
  EXPECT_EQ(GeometryOf(window).w, 800);
  EXPECT_EQ(GeometryOf(window).h, 600);
  const ScreenImage shown =
      WindowWhen([](const ScreenImage& s) { return s.At(400, 12) == kFrameGrey; });
  EXPECT_EQ(shown.At(400, 12), kFrameGrey) << "the top of the pane's frame";
  EXPECT_EQ(shown.At(400, 600 - 12), kFrameGrey) << "the bottom of the pane's frame";
  EXPECT_EQ(shown.At(400, 600 - 8), kBlack) << "the border below the pane";

  const std::string shots = viewer->folder() + "/screenshots";
  Hold("F11");
  Release("F11");
  ASSERT_TRUE(WaitFor([&] { return !fs::is_empty(shots); }, 3000)) << "no screenshot";
  for (const fs::directory_entry& file : fs::directory_iterator(shots)) {
    if (file.path().extension() != ".png") continue;
    EXPECT_EQ(PngSize(file.path()), std::make_pair(800, 600)) << file.path();
  }
}

TEST_F(WindowE2ETest, ResizingMovesTheSplitInProportionAndKeepsEachViewCentred) {
  Start("800x600");
  // The one pane (8, 8, 784, 584) splits side by side into (8, 8, 392, 584)
  // and (400, 8, 392, 584): its split button is 23 pixels in from the right,
  // 12 up from the bottom.
  ClickAt(8 + 784 - 23 + 5, 8 + 584 - 12 + 5);
  RunX(Xdotool("mousemove 0 0"));  // away from the bodies: nothing hovered
  const auto split = [](const ScreenImage& s) { return s.At(398, 300) == kFrameGrey; };
  ScreenImage shown = WindowWhen(split);
  ASSERT_TRUE(split(shown)) << "the pane did not split";
  // Sol at the middle of each content area: x + 3 + (w - 6) / 2, y + 14 + (h - 28) / 2.
  EXPECT_EQ(shown.At(204, 300), kDisc);
  EXPECT_EQ(shown.At(596, 300), kDisc);

  // Into the corner first, so that the grown window stays on the screen.
  ASSERT_EQ(RunX(Xdotool("windowmove " + window + " 0 0")), 0);
  ASSERT_EQ(RunX(Xdotool("windowsize " + window + " 1000 700")), 0);
  EXPECT_EQ(
      WaitForGeometry([](const Geometry& g) { return g.x == 0 && g.w == 1000 && g.h == 700; }).w,
      1000);
  // Area 984 x 684: the split edge at 392 of 784 moves to 492 of 984, so the
  // panes are (8, 8, 492, 684) and (500, 8, 492, 684).
  const auto resized = [](const ScreenImage& s) {
    return s.width == 1000 && s.At(498, 350) == kFrameGrey && s.At(501, 350) == kFrameGrey;
  };
  shown = WindowWhen(resized);
  ASSERT_TRUE(resized(shown)) << "the split edge is not where the proportion puts it";
  EXPECT_EQ(shown.At(499, 350), kBlack);
  EXPECT_EQ(shown.At(500, 350), kBlack);
  EXPECT_EQ(shown.At(991 - 1, 350), kFrameGrey) << "the right pane reaches the border";
  EXPECT_EQ(shown.At(400, 700 - 12), kFrameGrey) << "the panes reach the bottom border";
  EXPECT_EQ(shown.At(254, 350), kDisc) << "the left view is centred on Sol";
  EXPECT_EQ(shown.At(746, 350), kDisc) << "the right view is centred on Sol";
  EXPECT_EQ(shown.At(254 + 30, 350), kBlack) << "Sol keeps its size: the zoom is kept";
}

TEST_F(WindowE2ETest, AltEnterSwitchesToFullScreenAndBack) {
  Start("800x600");
  const Geometry windowed = GeometryOf(window);
  AltEnter();
  const Geometry full =
      WaitForGeometry([](const Geometry& g) { return g.w == 1024 && g.h == 768; });
  EXPECT_EQ(full, (Geometry{0, 0, 1024, 768}));
  const ScreenImage shown =
      WindowWhen([](const ScreenImage& s) { return s.At(700, 12) == kFrameGrey; });
  EXPECT_EQ(shown.At(700, 12), kFrameGrey) << "the pane covers the whole screen";
  EXPECT_EQ(shown.At(700, 768 - 12), kFrameGrey) << "down to the bottom of the screen";

  FocusAndSettle();
  AltEnter();
  const Geometry back = WaitForGeometry([](const Geometry& g) { return g.w == 800; });
  EXPECT_EQ(back, windowed) << "the window comes back at its size and place";
}

// A private X server, so that ending it takes no other test's display away.
// It takes the first free display number from 60 on and is ready once its
// socket shows up.
class PrivateXServer {
 public:
  PrivateXServer() {
    for (int number = kFirstDisplay; number < kFirstDisplay + kDisplaysTried; ++number) {
      if (fs::exists("/tmp/.X" + std::to_string(number) + "-lock")) continue;
      const std::string display = ":" + std::to_string(number);
      _pid = fork();
      if (_pid == 0) {
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", "640x480x24", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
      }
      const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
      if (WaitFor([&] { return fs::exists(socket) || waitpid(_pid, nullptr, WNOHANG) == _pid; },
                  5000) &&
          fs::exists(socket)) {
        _display = display;
        return;
      }
      Kill();
    }
  }
  ~PrivateXServer() { Kill(); }

  const std::string& display() const { return _display; }
  // Ends the server and waits until it is gone.
  void Kill() {
    if (_pid <= 0) return;
    kill(_pid, SIGTERM);
    waitpid(_pid, nullptr, 0);
    _pid = -1;
  }

 private:
  static constexpr int kFirstDisplay = 60;
  static constexpr int kDisplaysTried = 20;
  pid_t _pid = -1;
  std::string _display;
};

TEST_F(WindowE2ETest, LosingTheXServerEndsTheViewerWithStatusOneAndOneLine) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, std::vector<std::string>{"--window"}}) {
    SCOPED_TRACE(args.empty() ? "full screen" : "window");
    // A server that has only just started now and then refuses the first
    // connection: a viewer that could not open the display starts again.
    std::unique_ptr<PrivateXServer> server;
    std::optional<ViewerProcess> lost;
    for (int attempt = 0; attempt < 3; ++attempt) {
      server.reset();
      server = std::make_unique<PrivateXServer>();
      ASSERT_FALSE(server->display().empty()) << "Xvfb did not start";
      lost.emplace(args, server->display().c_str());
      // Running frames for a while: it reached the server and drew.
      std::this_thread::sleep_for(std::chrono::milliseconds(1500));
      if (lost->Running()) break;
    }
    ASSERT_TRUE(lost->Running()) << lost->Stderr();
    server->Kill();
    const auto gone = std::chrono::steady_clock::now();
    EXPECT_EQ(lost->WaitForExit(1000), 1) << "still running a second after the server went";
    const auto took = std::chrono::steady_clock::now() - gone;
    EXPECT_LE(std::chrono::duration_cast<std::chrono::milliseconds>(took).count(), 1000);
    EXPECT_EQ(lost->Stderr(), "skyloom: lost the display\n");
  }
}

}  // namespace
}  // namespace skyloom::xtest

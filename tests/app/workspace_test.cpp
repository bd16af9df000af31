// The workspace and the viewer's frame on the recording display: the first
// pane, the pane pass during splits and merges, one system step per frame,
// the drag rectangle and screenshots.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/screenshot.h"
#include "app/viewer.h"
#include "app/workspace.h"
#include "imaging/png.h"
#include "input/mouse.h"
#include "runtime/backend_recording.h"
#include "runtime/input.h"
#include "runtime/open.h"
#include "runtime/strings.h"

namespace skyloom {
namespace {

namespace fs = std::filesystem;

// A space pane that counts how often its frame update reaches its hook.
class countingbox : public spacebox {
 public:
  int updates = 0;
  int handle() override {
    ++updates;
    return spacebox::handle();
  }
  viewboxRef CreateSameKind(int x, int y, int w, int h, int, int) const override {
    return Make(x, y, w, h);
  }
  static std::shared_ptr<countingbox> Make(int x, int y, int w, int h) {
    auto pane = std::make_shared<countingbox>();
    pane->x = x;
    pane->y = y;
    pane->w = w;
    pane->h = h;
    pane->minw = pane->minh = PANE_MIN_SIZE;
    return pane;
  }
};

std::shared_ptr<countingbox> CountingPane(int x, int y, int w, int h) {
  return countingbox::Make(x, y, w, h);
}

class WorkspaceTest : public testing::Test {
 protected:
  void SetUp() override {
    InitPanes();
    loadfollowimages();
    recorder_ = OpenRecordingDisplay(1024, 768);
    SetManualClock(100000);
  }
  void TearDown() override {
    ProgramInput().Reset();
    UseRealClock();
    CloseDisplay();
  }

  // One frame of input: the pointer at (x, y) with the given buttons held.
  void Frame(int x, int y, std::initializer_list<int> held = {}) {
    AdvanceManualClock(1000);  // far apart: no double clicks
    for (int b = 1; b <= 3; ++b) ProgramInput().ButtonUp(b);
    for (int b : held) ProgramInput().ButtonDown(b);
    ProgramInput().PointerMoved(x, y);
    updatemouse();
  }

  std::shared_ptr<TRecordingBackend> recorder_;
};

TEST(WorkspaceFirstPane, CoversTheDisplayInsideAnEightPixelBorder) {
  struct Case {
    int width, height;
    int x, y, w, h;
  };
  for (const Case& c : {Case{1280, 1024, 8, 8, 1264, 1008}, Case{1024, 768, 8, 8, 1008, 752}}) {
    InitPanes();
    OpenRecordingDisplay(c.width, c.height);
    const spaceRef system = space::Create();
    const workspaceRef ws = workspace::Create(system);
    ASSERT_EQ(ws->boxes.size(), 1u);
    auto* pane = dynamic_cast<spacebox*>(ws->boxes.front().get());
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(std::tie(pane->x, pane->y, pane->w, pane->h), std::tie(c.x, c.y, c.w, c.h));
    EXPECT_EQ(std::tie(pane->minw, pane->minh), std::make_tuple(128, 128));
    EXPECT_EQ(pane->cam->view, system);
    EXPECT_EQ(ws->view, system);
    CloseDisplay();
  }
}

TEST_F(WorkspaceTest, PanesSplitOffInAPassWaitForTheNextFrame) {
  const workspaceRef ws = workspace::Create(space::Create());
  auto first = CountingPane(8, 8, 1008, 752);
  ws->boxes = {first};
  Frame(first->buttonx(*first->split_h) + 5, first->botrowy() + 5, {MOUSE_LEFT});
  ws->update();
  ASSERT_EQ(ws->boxes.size(), 2u);
  auto* added = dynamic_cast<countingbox*>(ws->boxes.front().get());
  ASSERT_NE(added, nullptr) << "a split makes panes of the splitting pane's own kind";
  EXPECT_EQ(added->updates, 0);
  EXPECT_EQ(first->updates, 1);
  Frame(100, 100);
  ws->update();
  EXPECT_EQ(added->updates, 1);
  EXPECT_EQ(first->updates, 2);
}

TEST_F(WorkspaceTest, PanesMergedAwayBeforeTheirTurnAreSkipped) {
  const workspaceRef ws = workspace::Create(space::Create());
  auto left = CountingPane(8, 8, 504, 752);
  auto right = CountingPane(512, 8, 504, 752);
  ws->boxes = {left, right};
  Frame(left->buttonx(*left->merge_r) + 5, left->toprowy() + 5, {MOUSE_LEFT});
  ws->update();
  ASSERT_EQ(ws->boxes.size(), 1u);
  EXPECT_EQ(ws->boxes.front(), left);
  EXPECT_EQ(left->w, 1008);
  EXPECT_EQ(right->updates, 0);
}

TEST_F(WorkspaceTest, DragRectangleIsFourLinesFromTheAnchorWithLastPixels) {
  const workspaceRef ws = workspace::Create(space::Create());
  Frame(50, 60);
  ws->update();  // the anchor follows the pointer while the button is up
  Frame(200, 150, {MOUSE_LEFT});
  ws->update();
  Frame(300, 250, {MOUSE_LEFT});
  recorder_->Forget();
  ws->draw();
  std::vector<TRecordedPrimitive> tail(recorder_->primitives.end() - 8,
                                       recorder_->primitives.end());
  const float expected[4][4] = {
      {50, 60, 50, 250}, {50, 250, 300, 250}, {300, 250, 300, 60}, {300, 60, 50, 60}};
  for (int i = 0; i < 4; ++i) {
    const TRecordedPrimitive& line = tail[2 * i];
    const TRecordedPrimitive& point = tail[2 * i + 1];
    ASSERT_EQ(line.kind, TRecordedPrimitive::LINE) << i;
    ASSERT_EQ(point.kind, TRecordedPrimitive::POINT) << i;
    EXPECT_EQ(line.vertices[0].x, expected[i][0]);
    EXPECT_EQ(line.vertices[0].y, expected[i][1]);
    EXPECT_EQ(line.vertices[1].x, expected[i][2]);
    EXPECT_EQ(line.vertices[1].y, expected[i][3]);
    EXPECT_EQ(point.vertices[0].x, expected[i][2]);
    EXPECT_EQ(point.vertices[0].y, expected[i][3]);
    EXPECT_EQ(std::tie(line.style.red, line.style.green, line.style.blue),
              std::make_tuple(255, 255, 255));
    EXPECT_EQ(line.style.viewport.w, 1024) << "drawn on the whole screen";
  }
}

TEST_F(WorkspaceTest, ClickWithoutMovingDrawsAOnePixelRectangleAndReleaseEndsIt) {
  const workspaceRef ws = workspace::Create(space::Create());
  Frame(400, 300);
  ws->update();
  Frame(400, 300, {MOUSE_LEFT});
  recorder_->Forget();
  ws->draw();
  int lines = 0;
  for (const TRecordedPrimitive& p : recorder_->primitives) {
    if (p.style.red != 255 || p.style.green != 255 || p.kind != TRecordedPrimitive::POINT) continue;
    EXPECT_EQ(p.vertices[0].x, 400);
    EXPECT_EQ(p.vertices[0].y, 300);
    ++lines;
  }
  EXPECT_EQ(lines, 4);
  ws->update();
  Frame(400, 300);
  recorder_->Forget();
  ws->draw();
  for (const TRecordedPrimitive& p : recorder_->primitives) {
    EXPECT_NE(p.kind, TRecordedPrimitive::POINT) << "no rectangle once the button is up";
  }
}

// The viewer's own frame, as the program runs it: the system advances exactly
// one step per frame, also in frames that split or merge panes.
TEST_F(WorkspaceTest, SystemStepsOncePerFrameAlsoWhileSplittingAndMerging) {
  TViewer viewer;
  ASSERT_EQ(viewer.BeforeDisplay(), 0);
  recorder_ = OpenRecordingDisplay(1024, 768);
  SetManualClock(100000);
  ASSERT_EQ(viewer.AfterDisplay(), 0);
  const bodyRef planet = viewer.system()->allbodies.at(1);
  const double start = planet->orbit->y;
  const viewboxRef first = viewer.desk()->boxes.front();
  int frames = 0;
  // One frame of the viewer with the pointer at (x, y), clicking or not.
  auto frame = [&](int x, int y, bool click) {
    for (int b = 1; b <= 3; ++b) ProgramInput().ButtonUp(b);
    if (click) ProgramInput().ButtonDown(MOUSE_LEFT);
    ProgramInput().PointerMoved(x, y);
    AdvanceManualClock(1000);
    viewer.FrameWork();
    ++frames;
    EXPECT_DOUBLE_EQ(planet->orbit->y, start + frames * planet->revspeed) << "frame " << frames;
    return viewer.desk()->boxes.size();
  };
  EXPECT_EQ(frame(100, 100, false), 1u);
  EXPECT_EQ(frame(first->buttonx(*first->split_h) + 5, first->botrowy() + 5, true), 2u);
  EXPECT_EQ(frame(100, 100, false), 2u);
  EXPECT_EQ(frame(first->buttonx(*first->merge_r) + 5, first->toprowy() + 5, true), 1u);
  EXPECT_EQ(frame(100, 100, false), 1u);
}

// --- Screenshots -------------------------------------------------------------------

class ScreenshotTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("skyloom_shots_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    cwd_ = fs::current_path();
    fs::current_path(dir_);
  }
  void TearDown() override {
    fs::current_path(cwd_);
    fs::remove_all(dir_);
  }

  static PixmapRef Noise(int w, int h) {
    PixmapRef pixmap = TPixmap::Create(w, h, PIXEL_RGBA8888, 4);
    uint32_t state = 12345;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        state = state * 1103515245u + 12345u;
        pixmap->WritePixel(x, y, state | 0xFF000000u);
      }
    }
    return pixmap;
  }

  static std::vector<std::string> Files(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir_, cwd_;
};

TEST_F(ScreenshotTest, NameIsTheTimeWithDotsInTheScreenshotsFolder) {
  EXPECT_EQ(ScreenshotPath(u"09:07:02"), u"screenshots/09.07.02.png");
  EXPECT_EQ(ScreenshotPath(u"23:59:59"), u"screenshots/23.59.59.png");
}

TEST_F(ScreenshotTest, WritesACompletePngAndLeavesNoTemporaryFile) {
  fs::create_directory("screenshots");
  const PixmapRef picture = Noise(64, 32);
  ASSERT_EQ(SaveScreenshot(picture, u"screenshots/09.07.02.png"), 1);
  EXPECT_EQ(Files("screenshots"), std::vector<std::string>{"09.07.02.png"});
  const PixmapRef back = ReadPNG(OpenInput(u"screenshots/09.07.02.png"));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->format, PIXEL_RGBA8888);
  EXPECT_EQ(back->width, 64);
  EXPECT_EQ(back->ReadPixel(17, 9), picture->ReadPixel(17, 9));
}

TEST_F(ScreenshotTest, WithoutTheFolderNothingIsWrittenOrCreated) {
  EXPECT_EQ(SaveScreenshot(Noise(8, 8), u"screenshots/09.07.02.png"), 0);
  EXPECT_TRUE(Files(".").empty());
}

// A write that fails part-way (here the file-size limit stands in for a full
// disk) leaves the earlier screenshot of that second as it was.
TEST_F(ScreenshotTest, FailedWriteLeavesTheEarlierFileIntact) {
  fs::create_directory("screenshots");
  const std::u16string path = u"screenshots/09.07.02.png";
  ASSERT_EQ(SaveScreenshot(Noise(16, 16), path), 1);
  const auto before = fs::file_size("screenshots/09.07.02.png");

  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const int result = SaveScreenshot(Noise(256, 256), path);  // ~256 KiB of noise
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, SIG_DFL);

  EXPECT_EQ(result, 0);
  EXPECT_EQ(Files("screenshots"), std::vector<std::string>{"09.07.02.png"});
  EXPECT_EQ(fs::file_size("screenshots/09.07.02.png"), before);
  const PixmapRef back = ReadPNG(OpenInput(path));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->width, 16);
}

TEST_F(ScreenshotTest, HeldKeySavesTheWholeDisplayEveryFrame) {
  fs::create_directory("screenshots");
  InitPanes();
  OpenRecordingDisplay(320, 240);
  screenshotkey() = singlekey(SCREENSHOT_KEY, Key::none);
  const workspaceRef ws = workspace::Create(space::Create());
  updatemouse();
  ws->update();
  EXPECT_TRUE(Files("screenshots").empty()) << "nothing while F11 is up";
  ProgramInput().KeyDown(SCREENSHOT_KEY);
  ws->update();
  const std::vector<std::string> files = Files("screenshots");
  ASSERT_EQ(files.size(), 1u);
  const PixmapRef shot = ReadPNG(OpenInput(u"screenshots/" + FromBytes(files[0])));
  ASSERT_TRUE(shot);
  EXPECT_EQ(std::tie(shot->width, shot->height), std::make_tuple(320, 240));
  fs::remove("screenshots/" + files[0]);
  ws->update();
  EXPECT_EQ(Files("screenshots").size(), 1u) << "delay 0: again in the next frame";
  ProgramInput().Reset();
  screenshotkey() = nullptr;
  CloseDisplay();
}

}  // namespace
}  // namespace skyloom

// The viewer's keys in its own frame on the recording display: time keys,
// the pane keys acting on the pane under the pointer, the go-to prompt taking
// every key (Escape included) while open, --paused, and the default frames
// drawn exactly as the panes alone draw them.
#include "app/viewer_controls.h"

#include <gtest/gtest.h>

#include "app/frame_loop.h"
#include "app/viewer.h"
#include "input/mouse.h"
#include "runtime/backend_recording.h"
#include "runtime/input.h"

namespace skyloom {
namespace {

constexpr int SPACE = 32, LETTER_A = 65, LETTER_H = 72, LETTER_J = 74, LETTER_K = 75;
constexpr int LETTER_L = 76, LETTER_N = 78, LETTER_O = 79, PERIOD = 190, ENTER = 13;
constexpr int ESCAPE = 27, F1 = 112, EQUALS = 187, MINUS = 189, LETTER_F = 70, LETTER_R = 82;

class ViewerControlsTest : public testing::Test {
 protected:
  void SetUp() override { Start(false); }
  void TearDown() override {
    ProgramInput().Reset();
    UseRealClock();
    CloseDisplay();
  }

  void Start(bool paused) {
    viewer = std::make_unique<TViewer>(TShownDefinition{}, paused);
    ASSERT_EQ(viewer->BeforeDisplay(), 0);
    recorder = OpenRecordingDisplay(1024, 768);
    SetManualClock(100000);
    InitMouse();
    ASSERT_EQ(viewer->AfterDisplay(), 0);
    Frame();
  }

  void Frame(int x = 500, int y = 400) {
    ProgramInput().PointerMoved(x, y);
    AdvanceManualClock(40);
    viewer->FrameWork();
  }
  // Each key pressed and let go in a frame of its own.
  void Keys(std::initializer_list<int> codes, int x = 500, int y = 400) {
    for (int code : codes) {
      ProgramInput().KeyDown(code);
      ProgramInput().KeyUp(code);
      Frame(x, y);
    }
  }
  camera& Camera(size_t pane = 0) const {
    return *std::dynamic_pointer_cast<spacebox>(viewer->desk()->boxes.at(pane))->cam;
  }
  const space& System() const { return *viewer->system(); }
  double PlanetAngle() const { return System().allbodies.at(1)->orbit->y; }
  bool Quits() const { return ExitWanted(viewer->Steps()); }

  std::unique_ptr<TViewer> viewer;
  std::shared_ptr<TRecordingBackend> recorder;
};

TEST_F(ViewerControlsTest, TimeKeysSetTheRateAndPauseHoldsThePlanet) {
  Keys({LETTER_L, LETTER_L, LETTER_K, LETTER_J});
  EXPECT_EQ(System().rate, -2);
  Keys({SPACE});
  const double held = PlanetAngle();
  for (int i = 0; i < 5; ++i) Frame();
  EXPECT_EQ(PlanetAngle(), held);
  Keys({PERIOD});
  EXPECT_DOUBLE_EQ(PlanetAngle(), held - 2 * 0.25);
  Keys({SPACE});
  EXPECT_FALSE(System().paused);
  EXPECT_EQ(System().rate, -2) << "resuming restores the rate";
}

TEST_F(ViewerControlsTest, TimeKeysActOnTheSystemTheWorkspaceShowsNow) {
  const spaceRef first = viewer->desk()->view;
  const spaceRef replacement = space::Create();
  viewer->desk()->view = replacement;
  Keys({LETTER_L, SPACE});
  EXPECT_EQ(replacement->rate, 2);
  EXPECT_TRUE(replacement->paused);
  EXPECT_EQ(first->rate, 1);
  EXPECT_FALSE(first->paused);
}

TEST_F(ViewerControlsTest, PaneKeysActOnThePaneUnderThePointerOnly) {
  // Split side by side: the new right pane comes first in the list.
  const viewboxRef first = viewer->desk()->boxes.front();
  ProgramInput().ButtonDown(MOUSE_LEFT);
  Frame(first->buttonx(*first->split_h) + 5, first->botrowy() + 5);
  ProgramInput().ButtonUp(MOUSE_LEFT);
  Frame();
  ASSERT_EQ(viewer->desk()->boxes.size(), 2u);
  camera& right = Camera(0);
  camera& left = Camera(1);
  for (camera* cam : {&left, &right}) {
    cam->zoom = 3;
    cam->pos = vect2d::Create(40, 40);
  }
  Keys({LETTER_H, LETTER_O, LETTER_N}, 200, 400);
  EXPECT_EQ(left.zoom, 1);
  EXPECT_EQ(left.pos->x, 0);
  EXPECT_EQ(left.showorbits, 0);
  EXPECT_EQ(left.showlabels, 0);
  EXPECT_EQ(right.zoom, 3);
  EXPECT_EQ(right.showorbits, 1);
  EXPECT_EQ(right.showlabels, 1);
  Keys({LETTER_A}, 800, 400);
  EXPECT_NE(right.zoom, 3);
  EXPECT_EQ(left.zoom, 1);
  Keys({LETTER_O, LETTER_O}, 200, 400);
  EXPECT_EQ(left.showorbits, 0) << "twice is back off again";
}

TEST_F(ViewerControlsTest, WhileThePromptIsOpenEveryKeyGoesToIt) {
  camera& cam = Camera();
  cam.zoom = 2;
  cam.pos = vect2d::Create(30, 30);
  Keys({ENTER});
  ASSERT_TRUE(viewer->controls()->prompt().open);
  Keys({LETTER_H, LETTER_A, LETTER_L, SPACE, EQUALS, MINUS, LETTER_J, LETTER_K, PERIOD, LETTER_O,
        LETTER_N, LETTER_A, F1});
  EXPECT_EQ(viewer->controls()->prompt().text, u"hal =-jk.ona");
  EXPECT_EQ(cam.zoom, 2);
  EXPECT_EQ(cam.pos->x, 30);
  EXPECT_EQ(cam.showorbits, 1);
  EXPECT_EQ(cam.showlabels, 1);
  EXPECT_FALSE(System().paused);
  EXPECT_EQ(System().rate, 1);
  EXPECT_FALSE(viewer->controls()->help().shown);
  EXPECT_FALSE(viewer->desk()->keyboard) << "the screenshot key is not read";
}

TEST_F(ViewerControlsTest, EnterInThePromptFollowsTheBodyTyped) {
  Keys({ENTER, 83, 79, 76, SPACE, 49, ENTER});  // "sol 1"
  EXPECT_FALSE(viewer->controls()->prompt().open);
  ASSERT_TRUE(Camera().focus);
  EXPECT_EQ(Camera().focus->name, u"Sol 1");
  EXPECT_EQ(Camera().follow, 1);
  EXPECT_TRUE(viewer->desk()->keyboard);
  Keys({LETTER_H});
  EXPECT_EQ(Camera().follow, 0) << "keys act again once the prompt is closed";
}

TEST_F(ViewerControlsTest, EscapeClosesThePromptWithoutQuitting) {
  Keys({ENTER, LETTER_F});
  ProgramInput().KeyDown(ESCAPE);
  EXPECT_FALSE(Quits()) << "pressed while the prompt is open";
  Frame();
  EXPECT_FALSE(viewer->controls()->prompt().open);
  for (int i = 0; i < 5; ++i) {
    EXPECT_FALSE(Quits()) << "still held after closing, frame " << i;
    Frame();
  }
  ProgramInput().KeyUp(ESCAPE);
  Frame();
  EXPECT_FALSE(Quits());
  ProgramInput().KeyDown(ESCAPE);
  EXPECT_TRUE(Quits()) << "a new press quits";
}

TEST_F(ViewerControlsTest, EnterOpensThePromptOnlyWithoutModifiers) {
  Keys({ENTER}, 1020, 400);  // on the frame, in no pane's content
  EXPECT_FALSE(viewer->controls()->prompt().open);
  // Alt+Enter switches the display to a window instead (of a size that
  // depends on the screen, so the pointer below stays near the top left).
  ASSERT_TRUE(DisplayFullscreen());
  ProgramInput().KeyDown(164);  // left Alt
  Keys({ENTER}, 100, 100);
  ProgramInput().KeyUp(164);
  EXPECT_FALSE(viewer->controls()->prompt().open);
  EXPECT_FALSE(DisplayFullscreen());
  ProgramInput().KeyDown(162);  // left Control
  Keys({ENTER}, 100, 100);
  ProgramInput().KeyUp(162);
  EXPECT_FALSE(viewer->controls()->prompt().open);
  Keys({ENTER}, 100, 100);
  EXPECT_TRUE(viewer->controls()->prompt().open);
}

TEST_F(ViewerControlsTest, MergingThePromptsPaneAwayClosesIt) {
  const viewboxRef first = viewer->desk()->boxes.front();
  ProgramInput().ButtonDown(MOUSE_LEFT);
  Frame(first->buttonx(*first->split_h) + 5, first->botrowy() + 5);
  ProgramInput().ButtonUp(MOUSE_LEFT);
  Frame();
  Keys({ENTER, LETTER_R}, 800, 400);  // over the right pane
  ASSERT_TRUE(viewer->controls()->prompt().open);
  ProgramInput().ButtonDown(MOUSE_LEFT);
  Frame(first->buttonx(*first->merge_r) + 5, first->toprowy() + 5);
  ProgramInput().ButtonUp(MOUSE_LEFT);
  Frame();
  ASSERT_EQ(viewer->desk()->boxes.size(), 1u);
  EXPECT_FALSE(viewer->controls()->prompt().open);
  EXPECT_TRUE(viewer->desk()->keyboard);
}

TEST_F(ViewerControlsTest, PausedStartHoldsTheStartingAnglesUntilResumed) {
  TearDown();
  Start(true);
  const double start = PlanetAngle();
  EXPECT_EQ(start, 40);
  for (int i = 0; i < 5; ++i) Frame();
  EXPECT_EQ(PlanetAngle(), start);
  Keys({SPACE});
  EXPECT_EQ(PlanetAngle(), start + 0.25);
}

TEST_F(ViewerControlsTest, HelpPanelShowsWithF1AndHidesAgain) {
  recorder->Forget();
  Frame();
  const size_t plain = recorder->primitives.size();
  Keys({F1});
  recorder->Forget();
  Frame();
  EXPECT_GT(recorder->primitives.size(), plain + 100) << "a panel of text";
  Keys({F1});
  recorder->Forget();
  Frame();
  EXPECT_EQ(recorder->primitives.size(), plain);
}

// With no new key pressed the viewer's frames are the panes' frames: the
// same primitives, in the same order, as the workspace and the system alone
// draw, over clicks, a double click (follow), a split and zoom keys.
TEST(ViewerDefaultFrames, AreExactlyThePanesFrames) {
  using Frames = std::vector<std::vector<TRecordedPrimitive>>;
  struct Step {
    int x, y;
    bool left;
    int key;
  };
  const std::vector<Step> script = {
      {500, 400, false, 0}, {512, 384, true, 0},  {512, 384, false, 0},
      {512, 384, true, 0},  {512, 384, false, 0}, {600, 300, false, EQUALS},
      {600, 300, false, 0}, {997, 752, true, 0},  {300, 300, false, MINUS},
      {700, 500, false, 0},
  };
  const auto run = [&](bool whole_viewer) {
    TViewer viewer;
    EXPECT_EQ(viewer.BeforeDisplay(), 0);
    auto recorder = OpenRecordingDisplay(1024, 768);
    SetManualClock(100000);
    InitMouse();
    EXPECT_EQ(viewer.AfterDisplay(), 0);
    Frames frames;
    for (int round = 0; round < 3; ++round) {
      for (const Step& step : script) {
        ProgramInput().PointerMoved(step.x, step.y);
        if (step.left) ProgramInput().ButtonDown(MOUSE_LEFT);
        if (step.key) ProgramInput().KeyDown(step.key);
        AdvanceManualClock(100);
        recorder->Forget();
        if (whole_viewer) {
          viewer.FrameWork();
        } else {
          updatemouse();
          viewer.desk()->draw();
          viewer.desk()->update();
          viewer.system()->update();
        }
        frames.push_back(recorder->primitives);
        ProgramInput().ButtonUp(MOUSE_LEFT);
        if (step.key) ProgramInput().KeyUp(step.key);
      }
    }
    EXPECT_GE(viewer.desk()->boxes.size(), 2u) << "the script splits the pane";
    ProgramInput().Reset();
    CloseDisplay();
    return frames;
  };
  const Frames viewer = run(true);
  const Frames panes = run(false);
  UseRealClock();
  ASSERT_EQ(viewer.size(), panes.size());
  for (size_t f = 0; f < viewer.size(); ++f) {
    ASSERT_EQ(viewer[f].size(), panes[f].size()) << "frame " << f;
    for (size_t i = 0; i < viewer[f].size(); ++i) {
      const TRecordedPrimitive &a = viewer[f][i], &b = panes[f][i];
      ASSERT_EQ(a.kind, b.kind) << "frame " << f << ", primitive " << i;
      ASSERT_EQ(a.frame, b.frame);
      ASSERT_EQ(a.vertices.size(), b.vertices.size());
      for (size_t v = 0; v < a.vertices.size(); ++v) {
        ASSERT_EQ(a.vertices[v].x, b.vertices[v].x) << "frame " << f << ", primitive " << i;
        ASSERT_EQ(a.vertices[v].y, b.vertices[v].y) << "frame " << f << ", primitive " << i;
      }
      ASSERT_EQ(a.style.red, b.style.red);
      ASSERT_EQ(a.style.green, b.style.green);
      ASSERT_EQ(a.style.blue, b.style.blue);
      ASSERT_EQ(a.style.blend, b.style.blend);
    }
  }
}

}  // namespace
}  // namespace skyloom

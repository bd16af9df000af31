// The space pane: its camera's place inside the frame, giving the screen back
// after drawing, and the follow button with its icon.
#include "panes_fixture.h"

namespace skyloom::testing_panes {
namespace {

class SpaceboxTest : public PanesTest {
 protected:
  void SetUp() override {
    PanesTest::SetUp();
    sun = MakeBody(u"Sun", 17, 0, 0);
    pane = spacebox::Create(8, 8, 1008, 752, 128, 128);
    pane->cam->view = MakeSpace({sun});
    panes = {pane};
  }

  // The work of one frame after the mouse is sampled: draw, then update.
  void Work() {
    recorder->Forget();
    DrawPanes(panes);
    UpdatePanes(panes);
  }
  auto Worker() {
    return [this] { Work(); };
  }
  void ClickFollow(int mouse_button) {
    Click(mouse_button, pane->buttonx(*pane->follow) + 5, pane->toprowy() + 5, Worker());
  }
  // The sun is at the centre of the content area (11, 22, 1002, 724).
  void ClickSun() { Click(MOUSE_LEFT, 512 + 3, 384 - 2, Worker()); }

  bodyRef sun;
  spaceboxRef pane;
  viewboxList panes;
};

TEST_F(SpaceboxTest, TheCameraFillsTheFrameInsideTheButtonRowsAndTheScreenIsGivenBack) {
  const struct {
    Rect pane, content;
  } cases[] = {
      {{8, 8, 1008, 752}, {11, 22, 1002, 724}},
      {{100, 200, 300, 250}, {103, 214, 294, 222}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pane);
    spaceboxRef p = spacebox::Create(c.pane.x, c.pane.y, c.pane.w, c.pane.h, 128, 128);
    SetDrawOrigin(5, 5);
    recorder->Forget();
    p->draw();
    EXPECT_EQ((Rect{p->cam->x, p->cam->y, p->cam->w, p->cam->h}), c.content);
    const std::vector<TRecordedPrimitive> clears = OfKind(*recorder, TRecordedPrimitive::CLEAR);
    ASSERT_EQ(clears.size(), 1u);
    const TViewport& cleared = clears[0].style.viewport;
    EXPECT_EQ((Rect{cleared.x, cleared.y, cleared.w, cleared.h}), c.content);
    const TViewport v = GetViewport();
    EXPECT_EQ((Rect{v.x, v.y, v.w, v.h}), (Rect{0, 0, SCREEN_W, SCREEN_H}));
    float ox = -1, oy = -1;
    GetDrawOrigin(ox, oy);
    EXPECT_EQ(ox, 0);
    EXPECT_EQ(oy, 0);
  }
}

TEST_F(SpaceboxTest, TheFollowButtonIsTheLeftmostOfTheTopRow) {
  ASSERT_TRUE(pane->follow);
  EXPECT_EQ(pane->top.back(), pane->follow);
  EXPECT_EQ(pane->follow->loc, 0);
  EXPECT_EQ(pane->follow->align, align_left);
  EXPECT_EQ(pane->buttonx(*pane->follow), 9);
  EXPECT_EQ(pane->follow->image, followimage());
  EXPECT_EQ(pane->cam->zoom, 1);
  EXPECT_EQ(pane->cam->pos->x, 0);
  EXPECT_EQ(pane->cam->pos->y, 0);
}

TEST_F(SpaceboxTest, FollowWithNothingSelectedChangesNothing) {
  // Checked right after the pressing frame's update, whose icon the next
  // frame draws.
  MoveTo(pane->buttonx(*pane->follow) + 5, pane->toprowy() + 5);
  Input().ButtonDown(MOUSE_LEFT);
  Frame(LONG_AFTER_MS);
  Work();
  ASSERT_EQ(pane->follow->state, MOUSE_LEFT);
  EXPECT_EQ(pane->cam->focus, nullptr);
  EXPECT_EQ(pane->cam->follow, 0);
  EXPECT_EQ(pane->follow->image, followimage());
  Input().ButtonUp(MOUSE_LEFT);
  Frame();
  Work();
  EXPECT_EQ(pane->cam->follow, 0);
  EXPECT_EQ(pane->follow->image, followimage());
}

TEST_F(SpaceboxTest, SelectThenFollowKeepsTheBodyCentredAndShowsTheCross) {
  ClickSun();
  ASSERT_EQ(pane->cam->focus, sun);
  EXPECT_EQ(pane->cam->follow, 0);

  MoveTo(pane->buttonx(*pane->follow) + 5, pane->toprowy() + 5);
  Input().ButtonDown(MOUSE_LEFT);
  Frame(LONG_AFTER_MS);
  Work();
  EXPECT_EQ(pane->cam->follow, 1);
  EXPECT_EQ(pane->follow->image, followonimage()) << "the icon changes in the same frame";
  Input().ButtonUp(MOUSE_LEFT);

  sun->setpos(vect2d::Create(70, -30));
  Frame();
  Work();
  EXPECT_EQ(pane->cam->pos->x, 70);
  EXPECT_EQ(pane->cam->pos->y, -30);
  EXPECT_EQ(pane->follow->image, followonimage());

  ClickFollow(MOUSE_LEFT);
  EXPECT_EQ(pane->cam->follow, 0) << "a second click stops following";
  EXPECT_EQ(pane->follow->image, followimage());
}

TEST_F(SpaceboxTest, PanningWhileFollowingStopsItAndTheIconSwitchesBackAtOnce) {
  ClickSun();
  ClickFollow(MOUSE_LEFT);
  ASSERT_EQ(pane->cam->follow, 1);
  MoveTo(300, 300);
  Input().ButtonDown(MOUSE_MIDDLE);
  Frame();
  Work();
  EXPECT_EQ(pane->cam->follow, 0);
  EXPECT_EQ(pane->follow->image, followimage());
  Input().ButtonUp(MOUSE_MIDDLE);
  Frame();
  Work();
}

TEST_F(SpaceboxTest, RightAndMiddleClicksOnTheFollowButtonDoNothing) {
  ClickSun();
  for (int button : {MOUSE_RIGHT, MOUSE_MIDDLE}) {
    SCOPED_TRACE(button);
    ClickFollow(button);
    EXPECT_EQ(pane->cam->follow, 0);
    EXPECT_EQ(pane->follow->image, followimage());
  }
  ClickFollow(MOUSE_LEFT);
  ASSERT_EQ(pane->cam->follow, 1);
  for (int button : {MOUSE_RIGHT, MOUSE_MIDDLE}) {
    SCOPED_TRACE(button);
    ClickFollow(button);
    EXPECT_EQ(pane->cam->follow, 1);
    EXPECT_EQ(pane->follow->image, followonimage());
  }
}

TEST_F(SpaceboxTest, ASplitWhileFollowingGivesTwoPanesFollowingTheSameBody) {
  ClickSun();
  ClickFollow(MOUSE_LEFT);
  ASSERT_EQ(pane->cam->follow, 1);
  ClickButton(panes, *pane, pane->split_h, MOUSE_LEFT);
  ASSERT_EQ(panes.size(), 2u);
  auto made = std::dynamic_pointer_cast<spacebox>(panes[0]);
  ASSERT_TRUE(made);
  ASSERT_NE(made->cam, pane->cam);
  sun->setpos(vect2d::Create(-45, 25));
  Frame();
  Work();
  for (const spaceboxRef& p : {made, pane}) {
    EXPECT_EQ(p->cam->focus, sun);
    EXPECT_EQ(p->cam->follow, 1);
    EXPECT_EQ(p->cam->pos->x, -45);
    EXPECT_EQ(p->cam->pos->y, 25);
    EXPECT_EQ(p->follow->image, followonimage());
  }
}

}  // namespace
}  // namespace skyloom::testing_panes

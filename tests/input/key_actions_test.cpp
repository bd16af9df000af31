// Key actions: one action per press however long the key is held, the
// modifiers choosing among bindings of one key, and presses with modifiers
// nobody bound being dropped.
#include "input/key_actions.h"

#include <map>

#include "input/hotkey.h"
#include "input_fixture.h"

namespace skyloom {
namespace {

constexpr int ENTER = 13, LETTER_L = 76;
constexpr int LEFT_SHIFT = 160, LEFT_CTRL = 162, RIGHT_ALT = 165;

class KeyActionsTest : public InputTest {
 protected:
  void SetUp() override {
    InputTest::SetUp();
    actions.bind({ENTER, Key::none}, [this] { ++runs["enter"]; });
    actions.bind({ENTER, Key::alt}, [this] { ++runs["alt+enter"]; });
    actions.bind({LETTER_L, Key::none}, [this] { ++runs["l"]; });
  }
  void Tap(int code) {
    Input().KeyDown(code);
    Input().KeyUp(code);
  }

  TKeyActions actions;
  std::map<std::string, int> runs;
};

TEST_F(KeyActionsTest, EachPressActsOnceHoweverLongTheKeyIsHeld) {
  Input().KeyDown(LETTER_L);
  for (int frame = 0; frame < 10; ++frame) {
    Input().KeyDown(LETTER_L);  // the platform's auto-repeat
    actions.poll();
  }
  EXPECT_EQ(runs["l"], 1);
  Input().KeyUp(LETTER_L);
  Tap(LETTER_L);
  Tap(LETTER_L);
  actions.poll();
  EXPECT_EQ(runs["l"], 3) << "two presses between two polls act twice";
}

TEST_F(KeyActionsTest, TheHeldModifiersPickTheBinding) {
  struct Case {
    std::vector<int> modifiers;
    int code;
    std::map<std::string, int> runs;
  };
  const std::vector<Case> cases = {
      {{}, ENTER, {{"enter", 1}}},  {{RIGHT_ALT}, ENTER, {{"alt+enter", 1}}},
      {{LEFT_CTRL}, ENTER, {}},     {{LEFT_SHIFT, RIGHT_ALT}, ENTER, {}},
      {{LEFT_SHIFT}, LETTER_L, {}},
  };
  for (const Case& c : cases) {
    runs.clear();
    for (int m : c.modifiers) Input().KeyDown(m);
    Tap(c.code);
    actions.poll();
    for (int m : c.modifiers) Input().KeyUp(m);
    std::erase_if(runs, [](const auto& run) { return run.second == 0; });
    EXPECT_EQ(runs, c.runs) << "code " << c.code << " with " << c.modifiers.size() << " modifiers";
    actions.poll();
    EXPECT_EQ(Input().TakeKeyHits(c.code), 0) << "the press is used up either way";
  }
}

TEST_F(KeyActionsTest, AnyKindActsWhateverIsHeldUnlessAnExactKindIsBound) {
  TKeyActions anyway;
  int any = 0, ctrl = 0;
  anyway.bind({LETTER_L, Key::any}, [&] { ++any; });
  Tap(LETTER_L);
  anyway.poll();
  Input().KeyDown(LEFT_SHIFT);
  Tap(LETTER_L);
  anyway.poll();
  EXPECT_EQ(any, 2);
  anyway.bind({LETTER_L, Key::ctrl}, [&] { ++ctrl; });
  Input().KeyUp(LEFT_SHIFT);
  Input().KeyDown(LEFT_CTRL);
  Tap(LETTER_L);
  anyway.poll();
  EXPECT_EQ(ctrl, 1);
  EXPECT_EQ(any, 2);
}

TEST_F(KeyActionsTest, HandlesTellsWhichKeysAreBound) {
  EXPECT_TRUE(actions.handles({ENTER, Key::none}));
  EXPECT_TRUE(actions.handles({ENTER, Key::alt}));
  EXPECT_FALSE(actions.handles({ENTER, Key::ctrl}));
  EXPECT_FALSE(actions.handles({LETTER_L + 1, Key::none}));
  actions.bind({LETTER_L, Key::none}, [this] { runs["l again"] += 1; });
  Tap(LETTER_L);
  actions.poll();
  EXPECT_EQ(runs["l again"], 1) << "binding again replaces";
  EXPECT_EQ(runs["l"], 0);
}

}  // namespace
}  // namespace skyloom

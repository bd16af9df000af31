// Hotkeys: building and editing the list of control keys, the firing timeline
// (first firing, repeat delay, once per poll), modifier kinds and the
// modifier state, and how long keys have been held, on a hand-set clock.
#include <climits>
#include <utility>
#include <vector>

#include "tests/input/input_fixture.h"

namespace skyloom {
namespace {

using HotkeyTest = InputTest;

constexpr int KEY_A = 65, KEY_B = 66, KEY_C = 67, F11 = 122;
constexpr int LEFT_SHIFT = 160, RIGHT_SHIFT = 161, LEFT_CONTROL = 162, RIGHT_CONTROL = 163,
              LEFT_ALT = 164, RIGHT_ALT = 165;

using KeyList = std::vector<std::pair<int, int>>;

// (num, modkind) of every control key, in list order.
KeyList Keys(const Key& hotkey) {
  KeyList out;
  for (const control_keyRef& k : hotkey.keys) out.emplace_back(k->num, k->modkind);
  return out;
}

TEST_F(HotkeyTest, CreateAddsOneControlKeyPerNonNegativeCode) {
  const struct {
    int codes[4];
    int mods[4];
    KeyList keys;
  } cases[] = {
      {{KEY_A, -1, -1, -1}, {Key::ctrl, Key::shift, Key::alt, Key::any}, {{KEY_A, Key::ctrl}}},
      {{-1, KEY_B, -5, KEY_C}, {1, 2, 3, 4}, {{KEY_B, 2}, {KEY_C, 4}}},
      {{0, 256 + KEY_A, 255, -1}, {0, 8, 7, 0}, {{0, 0}, {KEY_A, 8}, {255, 7}}},
      {{-1, -1, -1, -1}, {0, 0, 0, 0}, {}},
  };
  for (const auto& c : cases) {
    const KeyRef hotkey = Key::Create(c.codes[0], c.mods[0], c.codes[1], c.mods[1], c.codes[2],
                                      c.mods[2], c.codes[3], c.mods[3]);
    EXPECT_EQ(Keys(*hotkey), c.keys) << c.codes[0] << " " << c.codes[1];
    EXPECT_EQ(hotkey->keydelay, 210);
    for (const control_keyRef& k : hotkey->keys) {
      EXPECT_EQ(k->init, 1);
      EXPECT_EQ(k->lastms, 0);
    }
  }
  EXPECT_EQ(Key().keydelay, 210);
  EXPECT_TRUE(Key().keys.empty());
  const control_key fresh;
  EXPECT_EQ(fresh.num, 0);
  EXPECT_EQ(fresh.lastms, 0);
  EXPECT_EQ(fresh.init, 1);
  EXPECT_EQ(fresh.modkind, 0);
}

TEST_F(HotkeyTest, AddKeyAppendsTheCodeModulo256) {
  Key hotkey;
  hotkey.AddKey(KEY_B, Key::none);
  const control_keyRef added = hotkey.AddKey(256 + KEY_A, Key::shift);
  EXPECT_EQ(added, hotkey.keys.back());
  hotkey.AddKey(512, Key::alt);
  EXPECT_EQ(Keys(hotkey), (KeyList{{KEY_B, 0}, {KEY_A, Key::shift}, {0, Key::alt}}));

  // The key added as 321 is the A key.
  Key a;
  a.AddKey(256 + KEY_A, Key::none);
  Input().KeyDown(KEY_A);
  EXPECT_EQ(a.down(), 1);
  EXPECT_EQ(a.get(), 1);
}

TEST_F(HotkeyTest, RemoveKeyMatchesCodeAndKind) {
  const struct {
    int code, modkind;
    int removed;
    KeyList left;
  } cases[] = {
      {KEY_A, -1, 1, {{KEY_B, 0}}},
      {KEY_A, Key::ctrl, 1, {{KEY_B, 0}, {KEY_A, 0}}},
      {KEY_A, Key::shift, 0, {{KEY_A, 4}, {KEY_B, 0}, {KEY_A, 0}}},
      {256 + KEY_A, Key::none, 1, {{KEY_A, 4}, {KEY_B, 0}}},
      {KEY_C, -1, 0, {{KEY_A, 4}, {KEY_B, 0}, {KEY_A, 0}}},
  };
  for (const auto& c : cases) {
    const KeyRef hotkey = Key::Create(KEY_A, Key::ctrl, KEY_B, Key::none, KEY_A, Key::none);
    EXPECT_EQ(hotkey->RemoveKey(c.code, c.modkind), c.removed) << c.code << " " << c.modkind;
    EXPECT_EQ(Keys(*hotkey), c.left) << c.code << " " << c.modkind;
  }
}

TEST_F(HotkeyTest, SetmodChangesEveryKind) {
  const KeyRef hotkey = Key::Create(KEY_A, Key::ctrl, KEY_B, Key::shift);
  EXPECT_EQ(hotkey->setmod(Key::any), 0);
  EXPECT_EQ(Keys(*hotkey), (KeyList{{KEY_A, 8}, {KEY_B, 8}}));
}

TEST_F(HotkeyTest, SinglekeyFiresAtEveryPoll) {
  const KeyRef shot = singlekey(F11 + 256, Key::none);
  EXPECT_EQ(Keys(*shot), (KeyList{{F11, 0}}));
  EXPECT_EQ(shot->keydelay, 0);
  Input().KeyDown(F11);
  for (int poll = 0; poll < 5; ++poll) {
    EXPECT_EQ(shot->get(), 1) << poll;
    AdvanceManualClock(16);
  }
  EXPECT_EQ(shot->get(), 1) << "even twice at the same clock reading";
  Input().KeyUp(F11);
  EXPECT_EQ(shot->get(), 0);
}

// A key that is up at one poll and pressed before the next, then held with
// polls every interval ms. The expected firings are in ms after the last
// poll that saw the key up.
TEST_F(HotkeyTest, FiringTimelineWhileHeld) {
  const struct {
    const char* what;
    int start;  // clock at the poll that sees the key up
    int interval;
    int delay;
    int duration;
    std::vector<int> fires;
  } cases[] = {
      // The first firing comes at the first poll that sees the key; the first
      // repeat at the first poll 210 ms after the key was last seen up (200 ms
      // after the first firing), the later ones at the first poll 210 ms after
      // the previous repeat, which with 20 ms polls is 220 ms.
      {"20 ms polls", START_MS, 20, 210, 900, {20, 220, 440, 660, 880}},
      {"10 ms polls", START_MS, 10, 210, 900, {10, 210, 420, 630, 840}},
      {"delay 0", START_MS, 20, 0, 100, {20, 40, 60, 80, 100}},
      {"delay -1", START_MS, 20, -1, 900, {20}},
      {"delay -1, 1 ms polls", START_MS, 1, -1, 1000, {1}},
      {"wrap at 2^32", -100, 20, 210, 700, {20, 220, 440, 660}},
      {"wrap at 2^31", INT_MAX - 100, 20, 210, 700, {20, 220, 440, 660}},
      {"wrap in the first repeat", INT_MAX - 150, 20, 210, 700, {20, 220, 440, 660}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Input().Reset();
    SetManualClock(c.start);
    const KeyRef hotkey = Key::Create(KEY_A, Key::none);
    hotkey->keydelay = c.delay;
    ASSERT_EQ(hotkey->get(), 0);

    Input().KeyDown(KEY_A);
    std::vector<int> fires;
    for (int t = c.interval; t <= c.duration; t += c.interval) {
      AdvanceManualClock(c.interval);
      if (hotkey->get()) fires.push_back(t);
    }
    EXPECT_EQ(fires, c.fires);

    // Let go: nothing fires; pressed again: it fires at once.
    Input().KeyUp(KEY_A);
    AdvanceManualClock(c.interval);
    EXPECT_EQ(hotkey->get(), 0);
    Input().KeyDown(KEY_A);
    AdvanceManualClock(c.interval);
    EXPECT_EQ(hotkey->get(), 1);
  }
}

// lastms starts at 0: a key held at its very first poll fires there as a
// repeat when more than the delay has passed since clock reading 0, and then
// once more at the next poll as its first firing.
TEST_F(HotkeyTest, KeyHeldAtTheFirstPoll) {
  const struct {
    int start;
    std::vector<int> fires;  // at the polls start, start + 20, ...
    std::vector<int> init;   // init after each poll
  } cases[] = {
      {START_MS, {1, 1, 0, 0}, {1, 0, 0, 0}},
      // Less than the delay after 0: only the first firing.
      {100, {1, 0, 0, 0}, {0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.start);
    SetManualClock(c.start);
    const control_keyRef key = control_key::Create(KEY_A, Key::none);
    Input().KeyDown(KEY_A);
    for (size_t i = 0; i < c.fires.size(); ++i) {
      EXPECT_EQ(key->get(210), c.fires[i]) << "poll " << i;
      EXPECT_EQ(key->init, c.init[i]) << "poll " << i;
      AdvanceManualClock(20);
    }
    EXPECT_EQ(key->lastms, c.start == START_MS ? START_MS : 0);
  }
}

TEST_F(HotkeyTest, ControlKeyStepsChangeOnlyTheirFields) {
  const control_keyRef key = control_key::Create(KEY_A, Key::none);
  // Not active: init back to 1, lastms to now.
  key->init = 0;
  key->lastms = 5;
  EXPECT_EQ(key->get(210), 0);
  EXPECT_EQ(key->init, 1);
  EXPECT_EQ(key->lastms, START_MS);
  // First firing leaves lastms.
  Input().KeyDown(KEY_A);
  AdvanceManualClock(50);
  EXPECT_EQ(key->get(210), 1);
  EXPECT_EQ(key->init, 0);
  EXPECT_EQ(key->lastms, START_MS);
  // Held, neither repeat nor first: nothing changes.
  AdvanceManualClock(100);
  EXPECT_EQ(key->get(210), 0);
  EXPECT_EQ(key->init, 0);
  EXPECT_EQ(key->lastms, START_MS);
  // Repeat: lastms moves to now, init stays.
  AdvanceManualClock(60);
  EXPECT_EQ(key->get(210), 1);
  EXPECT_EQ(key->init, 0);
  EXPECT_EQ(key->lastms, START_MS + 210);
  // down() reads the key and changes nothing.
  EXPECT_EQ(key->down(), 1);
  Input().KeyUp(KEY_A);
  EXPECT_EQ(key->down(), 0);
  EXPECT_EQ(key->init, 0);
  EXPECT_EQ(key->lastms, START_MS + 210);
}

TEST_F(HotkeyTest, FiresAtMostOncePerPoll) {
  const KeyRef hotkey = Key::Create(KEY_A, Key::none, KEY_B, Key::none);
  ASSERT_EQ(hotkey->get(), 0);
  Input().KeyDown(KEY_A);
  Input().KeyDown(KEY_B);
  AdvanceManualClock(20);
  EXPECT_EQ(hotkey->get(), 1);
  // The second key was not asked: it would have fired and cleared init.
  EXPECT_EQ(hotkey->keys[1]->init, 1);
  EXPECT_EQ(hotkey->keys[1]->lastms, START_MS);
  EXPECT_EQ(hotkey->keys[0]->init, 0);

  // With the first key quiet, the second is asked and fires.
  AdvanceManualClock(20);
  EXPECT_EQ(hotkey->get(), 1);
  EXPECT_EQ(hotkey->keys[1]->init, 0);
  AdvanceManualClock(20);
  EXPECT_EQ(hotkey->get(), 0);
}

TEST_F(HotkeyTest, LaterKeysAreAskedWhenEarlierOnesAreUp) {
  const KeyRef hotkey = Key::Create(KEY_A, Key::none, KEY_B, Key::none);
  ASSERT_EQ(hotkey->get(), 0);
  Input().KeyDown(KEY_B);
  AdvanceManualClock(20);
  EXPECT_EQ(hotkey->get(), 1);
  EXPECT_EQ(hotkey->keys[0]->lastms, START_MS + 20);  // asked and found up
  EXPECT_EQ(hotkey->down(), 1);
  Input().KeyUp(KEY_B);
  EXPECT_EQ(hotkey->down(), 0);
}

// Holds exactly the given modifier keys (codes 160..165) and updates the
// modifier state.
void HoldModifiers(const std::vector<int>& codes) {
  for (int code = LEFT_SHIFT; code <= RIGHT_ALT; ++code) Input().KeyUp(code);
  for (int code : codes) Input().KeyDown(code);
  EXPECT_EQ(updatemod(), 0);
}

TEST_F(HotkeyTest, ModifierStateFromTheLeftAndRightKeys) {
  const struct {
    std::vector<int> held;
    int ctrl, shift, alt;
    int state;
  } cases[] = {
      {{}, 0, 0, 0, 0},
      {{LEFT_CONTROL}, 1, 0, 0, Key::ctrl},
      {{RIGHT_CONTROL}, 1, 0, 0, Key::ctrl},
      {{LEFT_SHIFT}, 0, 1, 0, Key::shift},
      {{RIGHT_SHIFT}, 0, 1, 0, Key::shift},
      {{LEFT_ALT}, 0, 0, 1, Key::alt},
      {{RIGHT_ALT}, 0, 0, 1, Key::alt},
      {{LEFT_CONTROL, RIGHT_SHIFT}, 1, 1, 0, Key::ctrlshift},
      {{RIGHT_ALT, LEFT_SHIFT}, 0, 1, 1, Key::shiftalt},
      {{LEFT_CONTROL, RIGHT_CONTROL, LEFT_ALT}, 1, 0, 1, Key::ctrlalt},
      {{RIGHT_CONTROL, LEFT_SHIFT, RIGHT_ALT}, 1, 1, 1, Key::ctrlaltshift},
      {{KEY_A, 17, 16, 18}, 0, 0, 0, 0},  // combined modifier codes are not the keys
  };
  for (const auto& c : cases) {
    HoldModifiers(c.held);
    EXPECT_EQ(ctrldown(), c.ctrl) << c.state;
    EXPECT_EQ(shiftdown(), c.shift) << c.state;
    EXPECT_EQ(altdown(), c.alt) << c.state;
    EXPECT_EQ(modstate, c.state);
    for (int code : c.held) Input().KeyUp(code);
  }
}

TEST_F(HotkeyTest, ModifierStateChangesOnlyThroughUpdatemod) {
  const KeyRef plain = Key::Create(KEY_A, Key::none);
  ASSERT_EQ(plain->get(), 0);
  Input().KeyDown(LEFT_CONTROL);
  Input().KeyDown(KEY_A);
  EXPECT_EQ(modstate, 0);
  AdvanceManualClock(20);
  EXPECT_EQ(plain->get(), 1) << "Control is held but the state still says none";
}

TEST_F(HotkeyTest, KindMustMatchTheModifierState) {
  const KeyRef with_ctrl = Key::Create(KEY_A, Key::ctrl);
  const KeyRef plain = Key::Create(KEY_A, Key::none);
  Input().KeyDown(KEY_A);

  HoldModifiers({LEFT_CONTROL});
  AdvanceManualClock(20);
  EXPECT_EQ(with_ctrl->get(), 1);
  EXPECT_EQ(plain->get(), 0);
  EXPECT_EQ(plain->down(), 1) << "down ignores the modifiers";

  HoldModifiers({});
  AdvanceManualClock(20);
  EXPECT_EQ(with_ctrl->get(), 0);
  EXPECT_EQ(plain->get(), 1);

  // Exact combinations only: Control + Shift is not Control.
  HoldModifiers({LEFT_CONTROL, LEFT_SHIFT});
  AdvanceManualClock(20);
  EXPECT_EQ(with_ctrl->get(), 0);
  EXPECT_EQ(plain->get(), 0);
}

TEST_F(HotkeyTest, KindAnyFiresWithEveryModifierState) {
  const std::vector<int> states[] = {
      {},
      {LEFT_ALT},
      {RIGHT_SHIFT},
      {LEFT_SHIFT, LEFT_ALT},
      {RIGHT_CONTROL},
      {LEFT_CONTROL, RIGHT_ALT},
      {LEFT_CONTROL, LEFT_SHIFT},
      {RIGHT_CONTROL, RIGHT_SHIFT, RIGHT_ALT},
  };
  for (const auto& held : states) {
    HoldModifiers(held);
    const KeyRef hotkey = Key::Create(KEY_A, Key::any);
    hotkey->keydelay = -1;
    Input().KeyDown(KEY_A);
    EXPECT_EQ(hotkey->get(), 1) << modstate;
    Input().KeyUp(KEY_A);
  }
}

// Turning the key inactive through the modifier state is a release: the
// timing starts over and the key fires at once when the state matches again.
TEST_F(HotkeyTest, ModifierChangeCountsAsARelease) {
  const KeyRef hotkey = Key::Create(KEY_A, Key::none);
  ASSERT_EQ(hotkey->get(), 0);
  Input().KeyDown(KEY_A);
  AdvanceManualClock(20);
  ASSERT_EQ(hotkey->get(), 1);
  AdvanceManualClock(20);
  ASSERT_EQ(hotkey->get(), 0);

  HoldModifiers({RIGHT_ALT});
  AdvanceManualClock(20);
  EXPECT_EQ(hotkey->get(), 0);
  EXPECT_EQ(hotkey->keys[0]->init, 1);
  EXPECT_EQ(hotkey->keys[0]->lastms, START_MS + 60);

  HoldModifiers({});
  AdvanceManualClock(20);
  EXPECT_EQ(hotkey->get(), 1);
  AdvanceManualClock(20);
  EXPECT_EQ(hotkey->get(), 0);
  // The repeat counts from the poll at which the state did not match.
  AdvanceManualClock(150);
  EXPECT_EQ(hotkey->get(), 0);
  AdvanceManualClock(20);
  EXPECT_EQ(hotkey->get(), 1);
}

TEST_F(HotkeyTest, DowntimeIsTheLongestHoldOfTheHeldKeys) {
  const KeyRef hotkey = Key::Create(KEY_A, Key::none, KEY_B, Key::none);
  EXPECT_EQ(hotkey->downtime(), 0) << "nothing held";
  ASSERT_EQ(hotkey->get(), 0);  // both up: lastms START_MS

  Input().KeyDown(KEY_B);
  AdvanceManualClock(100);
  ASSERT_EQ(hotkey->get(), 1);  // A is asked first and found up: its lastms moves on
  AdvanceManualClock(50);
  EXPECT_EQ(hotkey->downtime(), 150);  // B, since its last poll up

  Input().KeyDown(KEY_A);  // the shorter hold comes first in the list
  EXPECT_EQ(hotkey->downtime(), 150);
  Input().KeyUp(KEY_B);
  EXPECT_EQ(hotkey->downtime(), 50);
  Input().KeyUp(KEY_A);
  EXPECT_EQ(hotkey->downtime(), 0);
}

TEST_F(HotkeyTest, DowntimeAcrossAClockWrap) {
  for (int start : {-30, INT_MAX - 30}) {
    SetManualClock(start);
    const KeyRef hotkey = Key::Create(KEY_A, Key::none);
    Input().KeyUp(KEY_A);
    ASSERT_EQ(hotkey->get(), 0);
    Input().KeyDown(KEY_A);
    AdvanceManualClock(80);
    EXPECT_EQ(hotkey->downtime(), 80) << start;
  }
}

}  // namespace
}  // namespace skyloom

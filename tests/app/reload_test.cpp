// Reloading the shown definition on the recording display: the new system
// runs on from the old one's time, every camera keeps its view and finds its
// bodies again by path, a broken file keeps the old system and shows its
// message in the band (once on standard error), warnings show for a while,
// and Ctrl+R or a settled edit start a reload from the frame.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>

#include "app/definition.h"
#include "app/definition_reload.h"
#include "app/system_swap.h"
#include "assets/embedded.h"
#include "input/hotkey.h"
#include "input/key_actions.h"
#include "input/mouse.h"
#include "panes/label.h"
#include "runtime/backend_recording.h"
#include "runtime/input.h"
#include "runtime/strings.h"

namespace skyloom {
namespace {

namespace fs = std::filesystem;

constexpr int kLeftControl = 162;
constexpr int kStartMs = 100000;

// Two moons of one name (their order among the Sun's kids tells them apart),
// a planet with a rock of its own, and a comet beside the Sun.
constexpr const char* kSystem = R"(#root[
  #body[ name: Sun; x: 0; y: 0; radius: 20;
    #body[ name: Moon; radius: 3; orbitdist: 50; revspeed: 1; ];
    #body[ name: Moon; radius: 4; orbitdist: 80; orbitangle: 90; revspeed: 2; ];
    #body[ name: Planet; radius: 6; orbitdist: 120; revspeed: 0.5;
      #body[ name: Rock; radius: 1; orbitdist: 10; revspeed: 3; ];
    ];
  ];
  #body[ name: Comet; x: 300; y: 0; radius: 2; ];
];)";

// text with the first occurrence of from replaced.
std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// kSystem with one piece of text replaced.
std::string Edited(const std::string& from, const std::string& to) {
  return Replaced(kSystem, from, to);
}

// A Sun that takes its planets from inc.txt, later.txt (missing at first) and
// every file of the folder parts.
constexpr const char* kIncluding = R"(#root[
  #include[ id: more; file: inc.txt; file: later.txt; file: parts; ];
  #body copyof: more[ name: Sun; x: 0; y: 0; radius: 20; ];
];)";

constexpr const char* kRock = "#body[ name: Rock; radius: 1; orbitdist: 10; revspeed: 3; ];";

struct TRgb {
  int red, green, blue;
};

class ReloadTest : public testing::Test {
 protected:
  void SetUp() override {
    RegisterEmbeddedResources();
    recorder_ = OpenRecordingDisplay(1024, 768);
    SetManualClock(kStartMs);
    ASSERT_EQ(InitPanes(), 1);
    ASSERT_EQ(loadfollowimages(), 1);
    std::string error;
    ASSERT_EQ(loadlabelfont(error), 1) << error;
    dir_ = fs::temp_directory_path() / ("skyloom_reload_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    ProgramInput().Reset();
    UseRealClock();
    CloseDisplay();
    fs::remove_all(dir_);
  }

  std::u16string Url(const std::string& name = "sys.txt") const {
    return FromBytes((dir_ / name).string());
  }
  void Write(const std::string& text, const std::string& name = "sys.txt") const {
    std::ofstream(dir_ / name, std::ios::binary | std::ios::trunc) << text;
  }

  // Shows the definition in sys.txt as the viewer does at start-up.
  void Start(const std::string& text, bool watch = false, std::vector<std::string> warnings = {}) {
    Write(text);
    TShownDefinition shown;
    shown.url = Url();
    std::string error;
    shown.root = LoadDefinition(shown.url, error, &shown.warnings, &shown.sources);
    ASSERT_TRUE(shown.root) << error;
    shown.warnings = std::move(warnings);
    shown.watch = watch;
    system_ = space::read(*shown.root);
    desk_ = workspace::Create(system_);
    reload_ = std::make_unique<TDefinitionReload>(shown, MillisecondClock());
    keys_ = TKeyActions();
    keys_.bind({RELOAD_KEY, Key::ctrl}, [this] { reload_->Request(); });
  }
  void Steps(int frames) {
    for (int i = 0; i < frames; ++i) system_->update();
  }
  // Saves text and reloads at once.
  void Reload(const std::string& text) {
    Write(text);
    system_ = reload_->Reload(*desk_, system_);
  }
  camera& Cam() { return *std::static_pointer_cast<spacebox>(desk_->boxes.front())->cam; }

  bodyRef Find(const std::u16string& name, double radius) const {
    for (const bodyRef& b : system_->allbodies) {
      if (b->name == name && b->radius == radius) return b;
    }
    return nullptr;
  }

  // One frame of the viewer's own order: input, reload, draw, band, update.
  void Frame(int ms) {
    AdvanceManualClock(ms);
    updatemouse();
    system_ = reload_->Frame(*desk_, system_);
    desk_->draw();
    reload_->drawbands();
    keys_.poll();
    desk_->update();
    system_->update();
  }

  std::shared_ptr<TRecordingBackend> recorder_;
  fs::path dir_;
  spaceRef system_;
  workspaceRef desk_;
  std::unique_ptr<TDefinitionReload> reload_;
  TKeyActions keys_;  // Ctrl+R, bound as the viewer binds it
};

// --- Time carried over -------------------------------------------------------------

// After the swap every body stands where the new definition would have put
// it had it run from the start for as many frames.
TEST_F(ReloadTest, EveryBodyStandsWhereTheNewDefinitionWouldHavePutItByNow) {
  struct Case {
    const char* name;
    std::string text;
  };
  const Case cases[] = {
      {"the same text", kSystem},
      {"a faster moon", Edited("revspeed: 2;", "revspeed: 5;")},
      {"another starting angle", Edited("orbitangle: 90;", "orbitangle: 10;")},
      {"a larger orbit", Edited("orbitdist: 120;", "orbitdist: 200;")},
      {"a body added",
       Edited("#body[ name: Comet;", "#body[ name: X; x: 5; y: 5; ]; #body[ name: Comet;")},
      {"a body removed", Edited(kRock, "")},
  };
  constexpr int kFrames = 137;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Start(kSystem);
    Steps(kFrames);
    const spaceRef old = system_;
    Reload(c.text);
    ASSERT_NE(system_, old);
    EXPECT_EQ(system_->elapsed, kFrames);
    // The new definition run from the start.
    std::string error;
    const dictnodeRef root = LoadDefinition(Url(), error);
    ASSERT_TRUE(root);
    const spaceRef expected = space::read(*root);
    for (int i = 0; i < kFrames; ++i) expected->update();
    ASSERT_EQ(system_->allbodies.size(), expected->allbodies.size());
    for (size_t i = 0; i < expected->allbodies.size(); ++i) {
      const body& got = *system_->allbodies[i];
      const body& want = *expected->allbodies[i];
      ASSERT_TRUE(got.pos && want.pos);
      EXPECT_NEAR(got.pos->x, want.pos->x, 1e-6) << ToUtf8(want.name);
      EXPECT_NEAR(got.pos->y, want.pos->y, 1e-6) << ToUtf8(want.name);
    }
    // And it runs on from there at its own speed.
    system_->update();
    EXPECT_EQ(system_->elapsed, kFrames + 1);
  }
}

// The time controls in force go on after a reload: a paused, reversed,
// slowed system stays so, and resuming runs the new one at that rate.
TEST_F(ReloadTest, RateAndPauseCarryOver) {
  Start(kSystem);
  Steps(10);
  system_->reverse();
  system_->slower();
  system_->togglepause();
  Reload(Edited("revspeed: 2;", "revspeed: 5;"));
  EXPECT_TRUE(system_->paused);
  EXPECT_EQ(system_->rate, -0.5);
  const double elapsed = system_->elapsed;
  system_->update();
  EXPECT_EQ(system_->elapsed, elapsed);
  system_->togglepause();
  system_->update();
  EXPECT_EQ(system_->elapsed, elapsed - 0.5);
}

// --- Cameras ------------------------------------------------------------------------

// Selection, hover and following move to the body of the same path; a body
// that is gone is neither selected nor followed, and the view stays.
TEST_F(ReloadTest, CamerasKeepTheirViewAndFindTheirBodiesByPath) {
  struct Case {
    const char* name;
    std::u16string selected;  // name and radius of the selected body before
    double radius;
    std::string text;
    std::optional<double> radius_after;  // of the body selected after; none: nothing
  };
  const Case cases[] = {
      {"radius edited", u"Rock", 1, Edited("radius: 1;", "radius: 2;"), 2},
      {"second of two namesakes", u"Moon", 4,
       Edited("radius: 4; orbitdist: 80;", "radius: 9; orbitdist: 80;"), 9},
      {"first of two namesakes", u"Moon", 3, Edited("radius: 4;", "radius: 9;"), 3},
      {"a sibling added", u"Rock", 1,
       Edited("#body[ name: Rock;",
              "#body[ name: Pebble; radius: 7; orbitdist: 20; ]; #body[ name: Rock;"),
       1},
      {"renamed", u"Rock", 1, Edited("name: Rock;", "name: Pebble;"), std::nullopt},
      {"removed", u"Comet", 2, Edited("#body[ name: Comet; x: 300; y: 0; radius: 2; ];", ""),
       std::nullopt},
      {"re-parented", u"Rock", 1,
       Replaced(Edited(kRock, ""), "radius: 2;", std::string("radius: 2; ") + kRock), std::nullopt},
      {"the file emptied", u"Sun", 20, "#root[ ];", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Start(kSystem);
    Steps(40);
    camera& cam = Cam();
    cam.focus = cam.over = Find(c.selected, c.radius);
    ASSERT_TRUE(cam.focus);
    cam.follow = 1;
    cam.zoom = 2.5;
    cam.pos = vect2d::Create(12, -34);
    const vect2dRef view = cam.pos;
    Reload(c.text);
    EXPECT_EQ(cam.view, system_);
    EXPECT_EQ(desk_->view, system_);
    EXPECT_EQ(cam.zoom, 2.5);
    EXPECT_EQ(cam.pos->x, view->x);
    EXPECT_EQ(cam.pos->y, view->y);
    if (!c.radius_after) {
      EXPECT_FALSE(cam.focus);
      EXPECT_FALSE(cam.over);
      EXPECT_EQ(cam.follow, 0);
      continue;
    }
    ASSERT_TRUE(cam.focus);
    EXPECT_EQ(cam.focus->name, c.selected);
    EXPECT_EQ(cam.focus->radius, *c.radius_after);
    EXPECT_EQ(cam.over, cam.focus);
    EXPECT_EQ(cam.follow, 1);
    const auto& all = system_->allbodies;
    EXPECT_NE(std::find(all.begin(), all.end(), cam.focus), all.end())
        << "a body of the new system";
  }
}

// Every pane is moved over, each with its own selection.
TEST_F(ReloadTest, EveryPaneMovesToTheNewSystem) {
  Start(kSystem);
  auto second = spacebox::Create(600, 8, 400, 400, PANE_MIN_SIZE, PANE_MIN_SIZE);
  second->cam->view = system_;
  second->cam->focus = Find(u"Planet", 6);
  desk_->boxes.push_back(second);
  Cam().focus = Find(u"Comet", 2);
  Reload(Edited("radius: 6;", "radius: 16;"));
  EXPECT_EQ(second->cam->view, system_);
  ASSERT_TRUE(second->cam->focus);
  EXPECT_EQ(second->cam->focus->radius, 16);
  ASSERT_TRUE(Cam().focus);
  EXPECT_EQ(Cam().focus->name, u"Comet");
}

TEST_F(ReloadTest, ABodyCountPastTheCapIsCutAsAtStartUp) {
  std::string text;
  for (int level = 0; level < 17; ++level) {
    text = "#body[ id: a; name: n; x: 0; y: 0; " + text + " ]; #body copyof: a[ ]; ";
  }
  Start(kSystem);
  Reload("#root[ " + text + " ]");
  EXPECT_EQ(system_->allbodies.size(), size_t(body::MAX_BODIES));
  EXPECT_FALSE(reload_->bands().ShowsError());
}

// --- Broken files -------------------------------------------------------------------

// A file that cannot be read never replaces the running system; the band
// shows what LoadDefinition says (naming the file) and standard error gets
// it once; the next good save clears the band.
TEST_F(ReloadTest, ABrokenFileKeepsTheRunningSystemAndShowsWhy) {
  struct Case {
    const char* name;
    std::string text;  // written to sys.txt; "" with delete set: no file
    bool remove = false;
    std::string included = "";  // written to inc.txt when not empty
  };
  const std::string includes =
      "#root[ #include[ file: inc.txt; ]; #body[ name: Sun; x: 0; y: 0; ]; ];";
  const Case cases[] = {
      {"a node left open", "#root[ #body[ name: Sun; "},
      {"no node at all", "just words"},
      {"a bracket without a hash", "#root[ #body[ name: [x; ]; ];"},
      {"an empty file", ""},
      {"the file deleted", "", true},
      {"a fault in an included file", includes, false, "#body[ name: Broken; "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Start(kSystem);
    Steps(10);
    const spaceRef old = system_;
    const bodyRef selected = Cam().focus = Find(u"Planet", 6);
    if (!c.included.empty()) Write(c.included, "inc.txt");
    testing::internal::CaptureStderr();
    if (c.remove) {
      fs::remove(dir_ / "sys.txt");
      system_ = reload_->Reload(*desk_, system_);
    } else {
      Reload(c.text);
    }
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(system_, old);
    EXPECT_EQ(Cam().view, old);
    EXPECT_EQ(Cam().focus, selected);
    std::string error;
    EXPECT_FALSE(LoadDefinition(Url(), error));
    EXPECT_TRUE(reload_->bands().ShowsError());
    EXPECT_EQ(reload_->bands().Text(MillisecondClock()), error);
    // The file where the fault is: the included one for a fault there.
    EXPECT_NE(error.find(c.included.empty() ? "sys.txt" : "inc.txt:1:"), std::string::npos)
        << error;
    EXPECT_EQ(printed, "skyloom: " + error + "\n");

    // The band stays frame after frame until a save succeeds.
    AdvanceManualClock(60000);
    EXPECT_EQ(reload_->bands().Text(MillisecondClock()), error);
    Reload(Edited("radius: 6;", "radius: 8;"));
    EXPECT_NE(system_, old);
    EXPECT_FALSE(reload_->bands().ShowsError());
    EXPECT_EQ(reload_->bands().Text(MillisecondClock()), "");
  }
}

// The band lies across the bottom of the display: dark red under white text
// for an error, amber under dark text for warnings, which go after ten
// seconds; without either nothing is drawn over the panes.
TEST_F(ReloadTest, BandsAcrossTheBottom) {
  struct Case {
    const char* name;
    std::vector<std::string> warnings;
    bool broken;
    int after_ms;      // since the load
    std::string text;  // "" for no band
    TRgb back = {0, 0, 0};
  };
  const std::vector<std::string> two = {"sys.txt:3:5: warning: first",
                                        "sys.txt:9:1: warning: second"};
  const Case cases[] = {
      {"nothing to say", {}, false, 0, ""},
      {"one warning",
       {"sys.txt:3:5: warning: odd"},
       false,
       0,
       "1 warning: sys.txt:3:5: warning: odd",
       {255, 176, 0}},
      {"two warnings, the first shown",
       two,
       false,
       9990,
       "2 warnings: sys.txt:3:5: warning: first",
       {255, 176, 0}},
      {"warnings after ten seconds", two, false, 10000, ""},
      {"an error over warnings", two, true, 0, "", {128, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Start(kSystem, false, c.warnings);
    if (c.broken) Reload("#root[");
    AdvanceManualClock(c.after_ms);
    const std::string text = reload_->bands().Text(MillisecondClock());
    if (c.broken) {
      EXPECT_TRUE(reload_->bands().ShowsError());
    } else {
      EXPECT_EQ(text, c.text);
    }
    recorder_->Forget();
    reload_->drawbands();
    if (text.empty()) {
      EXPECT_TRUE(recorder_->primitives.empty());
      continue;
    }
    ASSERT_FALSE(recorder_->primitives.empty());
    const TRecordedPrimitive& band = recorder_->primitives.front();
    ASSERT_EQ(band.kind, TRecordedPrimitive::POLYGON);
    float top = 768, left = 1024, right = 0, bottom = 0;
    for (const TDrawPoint& p : band.vertices) {
      top = std::min(top, p.y), bottom = std::max(bottom, p.y);
      left = std::min(left, p.x), right = std::max(right, p.x);
    }
    EXPECT_EQ(left, 0);
    EXPECT_EQ(right, 1024);
    EXPECT_EQ(bottom, 768);
    EXPECT_EQ(top, 768 - labelfont()->height() - 2 * TMessageBands::PADDING);
    EXPECT_EQ(band.style.red, c.back.red);
    EXPECT_EQ(band.style.green, c.back.green);
    EXPECT_EQ(band.style.blue, c.back.blue);
    // The text follows, drawn as glyph images inside the band.
    bool glyphs = false;
    for (const TRecordedPrimitive& p : recorder_->primitives) {
      if (p.kind != TRecordedPrimitive::IMAGE) continue;
      glyphs = true;
      for (const TDrawPoint& v : p.vertices) EXPECT_GE(v.y, top);
    }
    EXPECT_TRUE(glyphs);
  }
}

// --- From the frame ------------------------------------------------------------------

TEST_F(ReloadTest, CtrlRReloadsOnceAPressAlsoWithoutWatching) {
  Start(kSystem, /*watch=*/false);
  Write(Edited("radius: 6;", "radius: 16;"));
  for (int i = 0; i < 40; ++i) Frame(33);
  EXPECT_TRUE(Find(u"Planet", 6)) << "not watched: no reload without the key";

  struct Step {
    const char* name;
    bool control, r;
    bool reloads;
  };
  const Step steps[] = {
      {"R alone", false, true, false},     {"Control alone", true, false, false},
      {"Control and R", true, true, true}, {"still held", true, true, false},
      {"released", false, false, false},   {"pressed again", true, true, true},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    s.control ? ProgramInput().KeyDown(kLeftControl) : ProgramInput().KeyUp(kLeftControl);
    s.r ? ProgramInput().KeyDown(RELOAD_KEY) : ProgramInput().KeyUp(RELOAD_KEY);
    int reloads = 0;
    for (int i = 0; i < 10; ++i) {
      const spaceRef shown = system_;
      Frame(33);
      if (system_ != shown) ++reloads;
    }
    EXPECT_EQ(reloads, s.reloads ? 1 : 0) << "one reload a press";
  }
  EXPECT_TRUE(Find(u"Planet", 16));
}

// Watching, a save shows within half a second of frames, also a save of an
// included file, one created where an include named it, and one added to an
// included folder; each save gives one reload. The key modifier state that
// other keys see is left as it was.
TEST_F(ReloadTest, AWatchedSaveIsSwappedInWithinHalfASecond) {
  struct Case {
    const char* name;
    std::string file;      // written ...
    std::string text;      // ... with this
    std::u16string shown;  // a body the reload brings
  };
  const Case cases[] = {
      {"the top file", "sys.txt", Replaced(kIncluding, "radius: 20;", "radius: 16;"), u"Sun"},
      {"an included file", "inc.txt", "#body[ name: Edited; x: 1; y: 1; radius: 3; ];", u"Edited"},
      {"a missing included file created", "later.txt", "#body[ name: Later; x: 1; y: 1; ];",
       u"Later"},
      {"a file added to an included folder", "parts/new.txt", "#body[ name: New; x: 1; y: 1; ];",
       u"New"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "parts");
    Write("#body[ name: Included; x: 1; y: 1; radius: 3; ];", "inc.txt");
    Write("#body[ name: Part; x: 2; y: 2; ];", "parts/a.txt");
    Start(kIncluding, /*watch=*/true);
    for (int i = 0; i < 20; ++i) Frame(33);
    const spaceRef old = system_;
    Write(c.text, c.file);
    int waited = 0;
    while (system_ == old && waited < 2000) {
      Frame(33);
      waited += 33;
    }
    EXPECT_LE(waited, 500);
    const auto& all = system_->allbodies;
    EXPECT_TRUE(std::any_of(all.begin(), all.end(), [&](const bodyRef& b) {
      return b->name == c.shown && (c.shown != u"Sun" || b->radius == 16);
    }));
    const spaceRef shown = system_;
    for (int i = 0; i < 60; ++i) Frame(33);
    EXPECT_EQ(system_, shown) << "one save, one reload";
    EXPECT_EQ(modstate, 0);
  }
}

}  // namespace
}  // namespace skyloom

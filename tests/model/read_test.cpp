// Tests of building the system from definition text: the key table, absent
// and empty keys, child order, and the embedded solar system definition.
#include <gtest/gtest.h>

#include <string>

#include "assets/embedded.h"
#include "defs/dictnode.h"
#include "model/space.h"
#include "runtime/resources.h"
#include "runtime/stream.h"
#include "runtime/strings.h"

namespace skyloom {
namespace {

dictnodeRef NodeFrom(const std::string& text) {
  const StreamRef stream = TRamStream::CreateCopy({text.begin(), text.end()}, true, false);
  return dictnode::parse(stream, u"/", u"", u"id");
}

spaceRef SystemFrom(const std::string& text) {
  return space::read(*NodeFrom(text));
}

void ExpectVect(const vect2dRef& v, double x, double y, double tolerance, const std::string& what) {
  ASSERT_NE(v, nullptr) << what;
  EXPECT_NEAR(v->x, x, tolerance) << what;
  EXPECT_NEAR(v->y, y, tolerance) << what;
}

// An optional expected vector: absent means the field must stay null.
struct Expected {
  bool set = false;
  double x = 0, y = 0;
};
constexpr Expected kNull{};
constexpr Expected At(double x, double y) {
  return {true, x, y};
}

void ExpectField(const vect2dRef& v, const Expected& e, const std::string& what) {
  if (!e.set) {
    EXPECT_EQ(v, nullptr) << what;
  } else {
    ExpectVect(v, e.x, e.y, 1e-9, what);
  }
}

// Each case is the body text of a child of a fixed parent at (10, 20).
TEST(ReadTest, KeysOfAChildBody) {
  struct {
    const char* body;
    Expected pos, orbit, scale, move;
  } const cases[] = {
      {"", kNull, kNull, kNull, kNull},
      {"x: 5", At(5, 0), kNull, kNull, kNull},
      {"y: -3.5", At(0, -3.5), kNull, kNull, kNull},
      {"x: 500; y: 500; orbitdist: 10", At(20, 20), At(10, 0), kNull, kNull},
      {"orbitdist: 10", At(20, 20), At(10, 0), kNull, kNull},
      {"orbitangle: 90", At(10, 20), At(0, 90), kNull, kNull},
      {"orbitdist: 4; orbitscalex: 2", At(18, 20), At(4, 0), At(2, 1), kNull},
      {"orbitdist: 4; orbitangle: 90; orbitscaley: 0.5", At(10, 22), At(4, 90), At(1, 0.5), kNull},
      {"orbitdist: 4; orbitmovey: 5", At(14, 25), At(4, 0), kNull, At(0, 5)},
      {"orbitdist: 4; orbitmovex: -1", At(13, 20), At(4, 0), kNull, At(-1, 0)},
      {"orbitdist: 4; orbitrot: 90", At(10, 24), At(4, 0), kNull, kNull},
      {"x: ; y: \"\"; orbitdist: ; orbitscalex: ", kNull, kNull, kNull, kNull},
      {"x: 3abc; y: junk", At(3, 0), kNull, kNull, kNull},
      {"x:   +7e1", At(70, 0), kNull, kNull, kNull},
  };
  for (const auto& c : cases) {
    const spaceRef system =
        SystemFrom(std::string("#root[ #body[ x: 10; y: 20; #body[ ") + c.body + " ]; ]; ]");
    ASSERT_EQ(system->allbodies.size(), 2u) << c.body;
    const bodyRef& child = system->allbodies[1];
    ExpectField(child->pos, c.pos, std::string(c.body) + ": pos");
    ExpectField(child->orbit, c.orbit, std::string(c.body) + ": orbit");
    ExpectField(child->scaleorbit, c.scale, std::string(c.body) + ": scaleorbit");
    ExpectField(child->moveorbit, c.move, std::string(c.body) + ": moveorbit");
  }
}

// A body read a second time: a position or orbit it has is kept and only its
// present components change, while a present scale or offset key starts a
// new vector from (1, 1) or (0, 0).
TEST(ReadTest, ReadingAgainKeepsPositionAndOrbitButRestartsScaleAndOffset) {
  const char* first =
      "#body[ x: 6; y: 7; orbitdist: 8; orbitangle: 9; orbitscalex: 2; orbitscaley: 3;"
      " orbitmovex: 4; orbitmovey: 5; ]";
  struct {
    const char* second;
    Expected pos, orbit, scale, move;
  } const cases[] = {
      {"#body[ x: 12; orbitdist: 13; orbitscalex: 10; orbitmovey: 11; ]", At(12, 7), At(13, 9),
       At(10, 1), At(0, 11)},
      {"#body[ y: 1; orbitangle: 2; orbitscaley: 3; orbitmovex: 4; ]", At(6, 1), At(8, 2), At(1, 3),
       At(4, 0)},
      {"#body[ name: again; ]", At(6, 7), At(8, 9), At(2, 3), At(4, 5)},
  };
  for (const auto& c : cases) {
    const bodyRef b = body::Create();
    b->readdictnode(*NodeFrom(first));
    const vect2dRef pos = b->pos, orbit = b->orbit;
    b->readdictnode(*NodeFrom(c.second));
    ExpectField(b->pos, c.pos, std::string(c.second) + ": pos");
    ExpectField(b->orbit, c.orbit, std::string(c.second) + ": orbit");
    ExpectField(b->scaleorbit, c.scale, std::string(c.second) + ": scaleorbit");
    ExpectField(b->moveorbit, c.move, std::string(c.second) + ": moveorbit");
    EXPECT_EQ(b->pos, pos) << c.second;
    EXPECT_EQ(b->orbit, orbit) << c.second;
  }
}

TEST(ReadTest, ScalarKeysAndEmptyValues) {
  struct {
    const char* body;
    const char16_t* name;
    double radius, revspeed, rotorbit;
  } const cases[] = {
      {"name: \"Big One\"; radius: 4.5; revspeed: -2; orbitrot: 30", u"Big One", 4.5, -2, 30},
      {"name: ; radius: ; revspeed: \"\"", u"", 0, 0, 0},
      {"radius: huge", u"", 0, 0, 0},
      {"radius: 12km", u"", 12, 0, 0},
  };
  for (const auto& c : cases) {
    const spaceRef system = SystemFrom(std::string("#root[ #body[ ") + c.body + " ]; ]");
    ASSERT_EQ(system->bodies.size(), 1u) << c.body;
    const bodyRef& b = system->bodies[0];
    EXPECT_EQ(b->name, c.name) << c.body;
    EXPECT_EQ(b->radius, c.radius) << c.body;
    EXPECT_EQ(b->diameter, 2 * c.radius) << c.body;
    EXPECT_EQ(b->r2, c.radius * c.radius) << c.body;
    EXPECT_EQ(b->revspeed, c.revspeed) << c.body;
    EXPECT_EQ(b->rotorbit, c.rotorbit) << c.body;
  }
}

TEST(ReadTest, BodiesComeInTheNodeOrderAndOnlyFromBodyNodes) {
  const spaceRef system = SystemFrom(
      "#root[ #body[ name: A; #body[ name: B; #body[ name: C; ]; ]; #moon[ name: X; ]; ];"
      " #body[ name: D; ]; #Body[ name: Y; ]; ]");
  std::u16string names;
  for (const bodyRef& b : system->allbodies) names += b->name + u" ";
  // The node written last comes first, among top-level bodies and children.
  EXPECT_EQ(names, u"D A B C ");
  ASSERT_EQ(system->bodies.size(), 2u);
  const bodyRef& a = system->bodies[1];
  EXPECT_EQ(a->parent.lock(), nullptr);
  ASSERT_EQ(a->kids.size(), 1u);
  EXPECT_EQ(a->kids[0]->parent.lock(), a);
}

// Each level holds a body and a copy of it, so every level doubles the
// bodies below it: depth k gives 2^(k+1) - 2 bodies from a few bytes a level.
std::string DoublingBodies(int depth) {
  std::string text;
  for (int level = 0; level < depth; ++level) {
    text = "#body[ id: a; name: n; " + text + " ]; #body copyof: a[ ]; ";
  }
  return "#root[ " + text + " ]";
}

TEST(ReadTest, CopiedBodiesMultiplyOnlyUpToTheBodyLimit) {
  EXPECT_EQ(SystemFrom(DoublingBodies(3))->allbodies.size(), 14u);

  const dictnodeRef root = NodeFrom(DoublingBodies(17));  // 262142 bodies unbounded
  const spaceRef system = space::read(*root);
  EXPECT_EQ(system->allbodies.size(), size_t(body::MAX_BODIES));
  // What is kept is the start of the pre-order walk: the first body's subtree.
  ASSERT_EQ(system->bodies.size(), 1u);
  const bodyRef& first = system->bodies[0];
  EXPECT_EQ(first->parent.lock(), nullptr);
  EXPECT_EQ(system->allbodies[0], first);

  // A body read on its own counts itself and its descendants.
  const bodyRef alone = body::Create();
  alone->readdictnode(*root);
  space single;
  single.bodies = {alone};
  single.getallbodies();
  EXPECT_EQ(single.allbodies.size(), size_t(body::MAX_BODIES));
}

TEST(ReadTest, EmbeddedSolarSystem) {
  RegisterEmbeddedResources();
  EXPECT_EQ(ResourceSize(u"game_solar_systemdef.txt"), 285);
  const dictnodeRef root = dictnode::parsefile(u"incbin::game_solar_systemdef.txt", u"id");
  ASSERT_NE(root, nullptr);
  const spaceRef system = space::read(*root);

  ASSERT_EQ(system->allbodies.size(), 2u);
  const bodyRef sol = system->allbodies[0];
  const bodyRef sol1 = system->allbodies[1];
  EXPECT_EQ(sol->name, u"Sol");
  EXPECT_EQ(sol->radius, 17);
  EXPECT_EQ(sol->orbit, nullptr);
  EXPECT_EQ(sol1->name, u"Sol 1");
  EXPECT_EQ(sol1->radius, 7);
  EXPECT_EQ(sol1->parent.lock(), sol);
  ExpectVect(sol1->orbit, 110, 40, 0, "orbit");
  ExpectVect(sol1->scaleorbit, 1.5, 0.5, 0, "scaleorbit");
  ExpectVect(sol1->moveorbit, 40, 20, 0, "moveorbit");
  EXPECT_EQ(sol1->rotorbit, 45);
  EXPECT_EQ(sol1->revspeed, 0.25);

  ExpectVect(sol->pos, 0, 0, 0, "Sol");
  ExpectVect(sol1->pos, 104.378, 134.375, 5e-4, "Sol 1 at start");
  const vect2d start = *sol1->pos;

  system->update();
  EXPECT_EQ(sol1->orbit->y, 40.25);
  ExpectVect(sol1->pos, 103.920, 134.177, 5e-4, "Sol 1 after one frame");

  for (int frame = 1; frame < 1440; ++frame) system->update();
  EXPECT_DOUBLE_EQ(sol1->orbit->y, 400);
  ExpectVect(sol1->pos, start.x, start.y, 1e-9, "Sol 1 after a revolution");
  ExpectVect(sol->pos, 0, 0, 0, "Sol after a revolution");
}

}  // namespace
}  // namespace skyloom

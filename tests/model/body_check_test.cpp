// Warnings about body nodes (unknown keys with the nearest known one, values
// that are not numbers, bodies past the limit), the limit keeping the first
// bodies in reading order, and chains of copies built in linear time.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "defs/dictnode.h"
#include "model/body_check.h"
#include "model/space.h"
#include "runtime/strings.h"

namespace skyloom {
namespace {

dictnodeRef ParseText(const std::string& text) {
  auto stream = TRamStream::CreateCopy(std::vector<uint8_t>(text.begin(), text.end()), true, false);
  return dictnode::parse(stream, u"/", u"m.txt", u"id");
}

std::vector<std::string> WarningsOf(const std::string& text) {
  std::vector<DefinitionWarning> warnings;
  CheckBodyDefinitions(*ParseText(text), u"id", warnings);
  return WarningLines(warnings);
}

TEST(BodyCheckTest, KeysAndValuesBodiesDoNotRead) {
  const struct {
    std::string body;  // a body node's entries, on line 2 from column 10
    std::vector<std::string> warnings;
  } cases[] = {
      {"orbitdst: 5;", {"m.txt:2:10: warning: unknown key 'orbitdst' (did you mean 'orbitdist'?)"}},
      {"nmae: Sol;", {"m.txt:2:10: warning: unknown key 'nmae' (did you mean 'name'?)"}},
      {"Radus: 5;", {"m.txt:2:10: warning: unknown key 'radus' (did you mean 'radius'?)"}},
      {"colour: red;", {"m.txt:2:10: warning: unknown key 'colour'"}},
      {"radius: big;", {"m.txt:2:10: warning: radius: 'big' is not a number (read as 0)"}},
      {"x: 1; orbitdist: 12px;",
       {"m.txt:2:16: warning: orbitdist: '12px' is not a number (read as 12)"}},
      {"id: a; name: 7 up; radius: 1e3; x: -.5; y: +2; revspeed: ; orbitrot: 0.25;", {}},
      {"zz: 1;\n         radius: r;",
       {"m.txt:2:10: warning: unknown key 'zz'",
        "m.txt:3:10: warning: radius: 'r' is not a number (read as 0)"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WarningsOf("#root[\n  #body[ " + c.body + " ];\n];"), c.warnings) << c.body;
  }
  // Only body nodes are checked, at every depth and once each, also when
  // copied.
  EXPECT_EQ(WarningsOf("#root[ #star[ colour: red; ]; #body[ id: a; #body[ sise: 1; ]; ];"
                       " #body copyof: a[ ]; ]"),
            std::vector<std::string>{"m.txt:1:52: warning: unknown key 'sise'"});
}

// n bodies at the top level, one a line from line 2: "#body[ name: bK; ];".
std::string FlatBodies(int n) {
  std::string text = "#root[\n";
  for (int i = 0; i < n; ++i) text += "  #body[ name: b" + std::to_string(i) + "; ];\n";
  return text + "];";
}

TEST(BodyCheckTest, TheLimitKeepsTheFirstBodiesAndNamesTheRest) {
  const int extra = 5;
  const dictnodeRef root = ParseText(FlatBodies(body::MAX_BODIES + extra));
  const spaceRef system = space::read(*root);
  ASSERT_EQ(system->allbodies.size(), size_t(body::MAX_BODIES));
  std::vector<bool> kept(body::MAX_BODIES + extra, false);
  for (const bodyRef& b : system->allbodies) kept[std::stoi(ToUtf8(b->name).substr(1))] = true;
  for (int i = 0; i < body::MAX_BODIES + extra; ++i) {
    ASSERT_EQ(kept[i], i < body::MAX_BODIES) << "b" << i;
  }
  std::vector<DefinitionWarning> warnings;
  CheckBodyDefinitions(*root, u"id", warnings);
  EXPECT_EQ(WarningLines(warnings),
            std::vector<std::string>{
                "m.txt:100002:3: warning: 5 bodies from this one on are skipped: one "
                "reading builds at most 100000 bodies"});
  EXPECT_TRUE(WarningsOf(FlatBodies(1000)).empty());
}

TEST(BodyCheckTest, ACopyInheritsItsChildrenBeforeItsOwnInReadingOrder) {
  // a has one child; each of the copies adds one. Counting in reading order
  // (a, a's child, then each copy with the inherited child before its own),
  // the limit falls inside a copy's children.
  std::string text = "#root[ #body[ id: a; name: a; #body[ name: k; ]; ];\n";
  const int copies = body::MAX_BODIES / 3;  // each copy makes three bodies
  for (int i = 0; i < copies; ++i) {
    text += "#body copyof: a[ name: c" + std::to_string(i) + "; #body[ name: own; ]; ];\n";
  }
  const spaceRef system = space::read(*ParseText(text + "]"));
  ASSERT_EQ(system->allbodies.size(), size_t(body::MAX_BODIES));
  // 2 + 3 * 33332 = 99998: the last copy read keeps itself and the
  // inherited child, and loses its own.
  const bodyRef& last = system->bodies.front();
  EXPECT_EQ(last->name, u"c33332");
  ASSERT_EQ(last->kids.size(), 1u);
  EXPECT_EQ(last->kids[0]->name, u"k");
  EXPECT_EQ(system->bodies.back()->name, u"a");
}

// Seconds to parse and build the text.
double BuildSeconds(const std::string& text) {
  const auto start = std::chrono::steady_clock::now();
  const spaceRef system = space::read(*ParseText(text));
  EXPECT_EQ(system->allbodies.size(), size_t(body::MAX_BODIES));
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(BodyCheckTest, AChainOfCopiesBuildsInLinearTime) {
  // Body k copies body k - 1 and inherits every key it lacks from the first.
  std::string chain = "#root[ #body[ id: b0; radius: 4; x: 1; y: 2; ];\n";
  for (int i = 1; i < body::MAX_BODIES; ++i) {
    chain += "#body copyof: b" + std::to_string(i - 1) + "[ id: b" + std::to_string(i) + "; ];\n";
  }
  std::string independent = "#root[\n";
  for (int i = 0; i < body::MAX_BODIES; ++i) {
    independent += "#body[ id: b" + std::to_string(i) + "; radius: 4; x: 1; y: 2; ];\n";
  }
  const double chained = BuildSeconds(chain + "]");
  const double alone = BuildSeconds(independent + "]");
  // Quadratic work would take thousands of times as long; allow for a busy
  // machine.
  EXPECT_LT(chained, 10 * alone + 0.5) << chained << " s against " << alone << " s";
  const spaceRef system = space::read(*ParseText(chain + "]"));
  for (const bodyRef& b : {system->allbodies.front(), system->allbodies.back()}) {
    EXPECT_EQ(b->radius, 4);
    ASSERT_NE(b->pos, nullptr);
    EXPECT_EQ(b->pos->y, 2);
  }
}

}  // namespace
}  // namespace skyloom

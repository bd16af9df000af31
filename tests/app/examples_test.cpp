// The example definitions in examples/: each loads, builds the system we
// meant it to, and keeps every body placed, finite and inside the view that
// the viewer shows at zoom 1 on a 1024x768 screen for a whole slow orbit.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/definition.h"
#include "assets/embedded.h"
#include "model/space.h"
#include "runtime/strings.h"

namespace skyloom {
namespace {

namespace fs = std::filesystem;

const fs::path kExamples = fs::path(SKYLOOM_SOURCE_DIR) / "examples";

struct ExampleCase {
  const char* file;
  size_t bodies;  // every body of the system, included and copied ones too
};

const ExampleCase kCases[] = {
    {"binary.txt", 11},  // the centre, 2 stars, 4 planets, 1 far planet, 3 moons
    {"moons.txt", 21},   // the star, 3 planets with 3 + 3 + 4 moons, Drifter and 6
    {"comet.txt", 6},    // the star, 2 planets, a moon, 2 comets
};

// Frames for one lap of the slowest body (0.1 degrees a frame).
constexpr int kFrames = 3600;
// Half the space pane's content at zoom 1 when the screen is 1024x768.
constexpr double kHalfWidth = 500;
constexpr double kHalfHeight = 360;

TEST(Examples, EveryFileHasACase) {
  std::set<std::string> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(kExamples)) {
    if (entry.is_regular_file()) files.insert(entry.path().filename().string());
  }
  std::set<std::string> listed;
  for (const ExampleCase& c : kCases) listed.insert(c.file);
  EXPECT_EQ(files, listed);
}

TEST(Examples, LoadPlaceAndStayInView) {
  for (const ExampleCase& c : kCases) {
    SCOPED_TRACE(c.file);
    std::string error;
    const dictnodeRef root = LoadDefinition(DefinitionUrl((kExamples / c.file).string()), error);
    ASSERT_NE(root, nullptr) << error;
    const spaceRef system = space::read(*root);
    ASSERT_EQ(system->allbodies.size(), c.bodies);
    for (const bodyRef& b : system->allbodies) {
      EXPECT_FALSE(b->name.empty());
      EXPECT_GT(b->radius, 0) << ToUtf8(b->name);
      ASSERT_NE(b->pos, nullptr) << ToUtf8(b->name);
    }
    for (int frame = 0; frame <= kFrames; ++frame) {
      if (frame > 0) system->update();
      for (const bodyRef& b : system->allbodies) {
        const vect2d& p = *b->pos;
        ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y))
            << ToUtf8(b->name) << " at frame " << frame;
        ASSERT_LE(std::abs(p.x) + b->radius, kHalfWidth) << ToUtf8(b->name) << " frame " << frame;
        ASSERT_LE(std::abs(p.y) + b->radius, kHalfHeight) << ToUtf8(b->name) << " frame " << frame;
      }
    }
  }
}

// The bodies as the lookups of the tree give them (getnodes and getvalue,
// walking every copy: how bodies were read before building kept the results
// of shared copies), one line each in pre-order: depth, name and radius.
void ReferenceBodies(dictnode& node, int depth, std::vector<std::string>& lines) {
  for (const dictnodeRef& child : node.getnodes(u"body")) {
    lines.push_back(std::to_string(depth) + " " + ToUtf8(child->getvalue(u"name")) + " " +
                    std::to_string(ParseDouble(child->getvalue(u"radius"))));
    ReferenceBodies(*child, depth + 1, lines);
  }
}

void BuiltBodies(const bodyList& bodies, int depth, std::vector<std::string>& lines) {
  for (const bodyRef& b : bodies) {
    lines.push_back(std::to_string(depth) + " " + ToUtf8(b->name) + " " +
                    std::to_string(b->radius));
    BuiltBodies(b->kids, depth + 1, lines);
  }
}

TEST(Examples, LoadWithoutWarningsAndBuildWhatTheTreeLookupsGive) {
  RegisterEmbeddedResources();
  std::vector<std::string> urls = {ToUtf8(EMBEDDED_DEFINITION)};
  for (const ExampleCase& c : kCases) urls.push_back((kExamples / c.file).string());
  for (const std::string& url : urls) {
    SCOPED_TRACE(url);
    std::string error;
    std::vector<std::string> warnings;
    const dictnodeRef root = LoadDefinition(DefinitionUrl(url), error, &warnings);
    ASSERT_NE(root, nullptr) << error;
    EXPECT_EQ(warnings, std::vector<std::string>{});
    std::vector<std::string> reference;
    ReferenceBodies(*root, 0, reference);
    const spaceRef system = space::read(*root);
    std::vector<std::string> built;
    BuiltBodies(system->bodies, 0, built);
    EXPECT_EQ(built, reference);
  }
}

}  // namespace
}  // namespace skyloom

// Loading the viewer's definition: the embedded one, a user's file, and the
// one-line error that names the file and the reason when it cannot be read.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/definition.h"
#include "assets/embedded.h"
#include "model/space.h"
#include "runtime/strings.h"

namespace skyloom {
namespace {

namespace fs = std::filesystem;

class LoadDefinitionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterEmbeddedResources();
    dir_ = fs::temp_directory_path() / ("skyloom_definition_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    if (!cwd_.empty()) fs::current_path(cwd_);
    fs::remove_all(dir_);
  }

  // Writes text to name inside the temporary folder; returns the file's path.
  std::string Write(const std::string& name, const std::string& text) const {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }

  // Loads the file at path (bytes as on the command line), expecting failure;
  // returns the error.
  std::string FailureOf(const std::string& path) const {
    std::string error;
    EXPECT_EQ(LoadDefinition(DefinitionUrl(path), error), nullptr) << path;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    return error;
  }

  // Makes the temporary folder the working folder until the test ends.
  void EnterFolder() {
    cwd_ = fs::current_path();
    fs::current_path(dir_);
  }

  fs::path dir_;
  fs::path cwd_;
};

TEST_F(LoadDefinitionTest, FilesThatCannotBeOpenedNameTheFileAndTheReason) {
  const std::string missing = (dir_ / "missing.txt").string();
  EXPECT_EQ(FailureOf(missing), missing + ": cannot open the file: No such file or directory");
  EXPECT_EQ(FailureOf(dir_.string()), dir_.string() + ": cannot open the file: Is a directory");
  EXPECT_EQ(FailureOf("/dev/zero"), "/dev/zero: not a regular file");  // read forever otherwise
  EXPECT_EQ(FailureOf("incbin::no_such_system.txt"),
            "incbin::no_such_system.txt: no embedded file of that name");
}

TEST_F(LoadDefinitionTest, TheFileIsNamedWithTheBytesGivenOnOneLine) {
  // UTF-8 names come back byte for byte, not encoded a second time.
  const std::string accented = (dir_ / "caf\xC3\xA9.txt").string();
  EXPECT_EQ(FailureOf(accented), accented + ": cannot open the file: No such file or directory");
  const std::string broken = (dir_ / "two\nlines.txt").string();
  EXPECT_EQ(FailureOf(broken), (dir_ / "two\\x0Alines.txt").string() +
                                   ": cannot open the file: No such file or directory");
}

TEST_F(LoadDefinitionTest, ParseErrorsNameFileLineColumnAndByte) {
  // The "[" at byte 13 has no "#" of its own.
  const std::string path = Write("stray.txt", "#root[ x: 1; [ ]; ];");
  EXPECT_EQ(FailureOf(path), path + ":1:14: \"[\" without a \"#\" of its own (byte 13)");
}

TEST_F(LoadDefinitionTest, TextsEndingEarlySayWhereTheyEnd) {
  const struct {
    const char* text;
    const char* where;
  } cases[] = {
      {"", ":1:1: (byte 0)"},
      {"no node at all", ":1:15: (byte 14)"},
      {"#root", ":1:6: (byte 5)"},
      {"#root[\n  #body[ name: A; ];", ":2:21: (byte 27)"},
  };
  for (const auto& c : cases) {
    const std::string path = Write("short.txt", c.text);
    std::string where = c.where;
    where.insert(where.find(' ') + 1, "the text ends before its nodes are complete ");
    EXPECT_EQ(FailureOf(path), path + where) << '"' << c.text << '"';
  }
}

TEST_F(LoadDefinitionTest, ADefinitionWithoutBodiesGivesAnEmptySystem) {
  std::string error = "left over";
  const dictnodeRef root =
      LoadDefinition(DefinitionUrl(Write("empty.txt", "#root[ note: nothing here; ];")), error);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(error, "");
  const spaceRef system = space::read(*root);
  EXPECT_TRUE(system->bodies.empty());
  EXPECT_TRUE(system->allbodies.empty());
  EXPECT_EQ(system->update(), 0);
}

TEST_F(LoadDefinitionTest, TheEmbeddedSystem) {
  EXPECT_EQ(DefinitionUrl(""), EMBEDDED_DEFINITION);
  std::string error = "left over";
  const dictnodeRef root = LoadDefinition(DefinitionUrl(""), error);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(error, "");
  const spaceRef system = space::read(*root);
  ASSERT_EQ(system->allbodies.size(), 2u);
  EXPECT_EQ(system->allbodies[0]->name, u"Sol");
  const bodyRef& planet = system->allbodies[1];
  EXPECT_EQ(planet->name, u"Sol 1");
  ASSERT_NE(planet->pos, nullptr);
  EXPECT_NEAR(planet->pos->x, 104.378, 1e-3);
  EXPECT_NEAR(planet->pos->y, 134.375, 1e-3);
}

TEST_F(LoadDefinitionTest, CopiesMatchTheIdKey) {
  const std::string path = Write("copies.txt",
                                 "#root[ #body[ id: a; name: A; radius: 5; x: 1; y: 2; ];"
                                 " #body copyof: a[ name: B; ]; ];");
  std::string error;
  const dictnodeRef root = LoadDefinition(DefinitionUrl(path), error);
  ASSERT_NE(root, nullptr) << error;
  const spaceRef system = space::read(*root);
  ASSERT_EQ(system->allbodies.size(), 2u);
  for (const bodyRef& b : system->allbodies) EXPECT_EQ(b->radius, 5) << ToUtf8(b->name);
}

// The bodies of parts/moon.txt join the planet that copies the include node.
constexpr char kIncluding[] =
    "#root[ #include[ id: more; file: parts/moon.txt; ];"
    " #body copyof: more[ name: Planet; x: 0; y: 0; ]; ];";
constexpr char kIncluded[] = "#body[ name: Moon; orbitdist: 10; ];";

TEST_F(LoadDefinitionTest, IncludesResolveBesideTheFile) {
  fs::create_directories(dir_ / "parts");
  Write("parts/moon.txt", kIncluded);
  const std::string path = Write("main.txt", kIncluding);
  std::string error;
  const dictnodeRef root = LoadDefinition(DefinitionUrl(path), error);
  ASSERT_NE(root, nullptr) << error;
  EXPECT_EQ(space::read(*root)->allbodies.size(), 2u);
}

TEST_F(LoadDefinitionTest, IncludesOfABareFileNameResolveInTheWorkingFolder) {
  fs::create_directories(dir_ / "parts");
  Write("parts/moon.txt", kIncluded);
  Write("main.txt", kIncluding);
  EnterFolder();
  std::string error;
  const dictnodeRef root = LoadDefinition(u"main.txt", error);
  ASSERT_NE(root, nullptr) << error;
  const spaceRef system = space::read(*root);
  ASSERT_EQ(system->allbodies.size(), 2u);
  EXPECT_EQ(system->allbodies[1]->name, u"Moon");
  // Errors still name the file as given.
  EXPECT_EQ(FailureOf("gone.txt"), "gone.txt: cannot open the file: No such file or directory");
}

}  // namespace
}  // namespace skyloom

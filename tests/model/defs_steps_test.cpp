// Tests of "skyloom-defs --steps N": the system built from a definition file,
// advanced N frames and printed one body a line; usage errors exit with 2.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace skyloom {
namespace {

struct ToolRun {
  int status;
  std::string out;
};

class DefsStepsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tool_ = std::filesystem::path(SKYLOOM_BINARY_DIR) / "bin" / "skyloom-defs";
    if (!std::filesystem::exists(tool_)) GTEST_SKIP() << "skyloom-defs is not built: " << tool_;
  }

  // Runs the tool with the arguments; standard error is dropped.
  ToolRun Tool(const std::string& args) const {
    const std::string command = tool_.string() + " " + args + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    ToolRun run{-1, ""};
    if (!pipe) return run;
    char buffer[512];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
  }

  std::string WriteDefinition(const std::string& text) const {
    const auto path = std::filesystem::temp_directory_path() /
                      ("skyloom_steps_" + std::to_string(::getpid()) + ".txt");
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }

  std::filesystem::path tool_;
};

TEST_F(DefsStepsTest, EmbeddedSystemAtStartAndAfterOneFrame) {
  const ToolRun start = Tool("--steps 0 incbin::game_solar_systemdef.txt");
  EXPECT_EQ(start.status, 0);
  EXPECT_EQ(start.out, "Sol\t0.000000\t0.000000\nSol 1\t104.377840\t134.374983\n");

  const ToolRun one = Tool("--id id --steps 1 incbin::game_solar_systemdef.txt");
  EXPECT_EQ(one.status, 0);
  EXPECT_EQ(one.out, "Sol\t0.000000\t0.000000\nSol 1\t103.920005\t134.176657\n");
}

TEST_F(DefsStepsTest, BodiesWithoutPositionPrintDashes) {
  const std::string path = WriteDefinition(
      "#root[ #body[ name: Loose; #body[ name: Moon; orbitdist: 2; revspeed: 60; ]; ]; ]");
  const ToolRun run = Tool("--steps 3 " + path);
  std::filesystem::remove(path);
  EXPECT_EQ(run.status, 0);
  // Half a turn round the origin, which stands in for the unplaced parent.
  EXPECT_EQ(run.out, "Loose\t-\t-\nMoon\t-2.000000\t0.000000\n");
}

TEST_F(DefsStepsTest, BadStepCountsAreUsageErrors) {
  for (const char* steps : {"-1", "abc", "2x", "", "1.5", "99999999999999999999"}) {
    const ToolRun run =
        Tool(std::string("--steps '") + steps + "' incbin::game_solar_systemdef.txt");
    EXPECT_EQ(run.status, 2) << "steps '" << steps << "'";
    EXPECT_EQ(run.out, "") << "steps '" << steps << "'";
  }
  EXPECT_EQ(Tool("incbin::game_solar_systemdef.txt --steps").status, 2);
}

TEST_F(DefsStepsTest, NamesPrintAsUtf8WhateverTheTextsEncoding) {
  const struct {
    std::string name;  // as written in the definition
    std::string printed;
  } cases[] = {
      {"S\xC3\xBC"
       "d \xCE\xA9mega",
       "S\xC3\xBC"
       "d \xCE\xA9mega"},    // UTF-8
      {"\xEF\xBB\xBF", ""},  // only a byte-order mark before the "#"
      {"S\xFC"
       "d",
       "S\xC3\xBC"
       "d"},  // Latin-1
  };
  for (const auto& c : cases) {
    const bool mark = c.printed.empty();
    const std::string path =
        WriteDefinition(mark ? c.name + "#root[ #body[ name: \xC3\xA9; x: 0; y: 0; ]; ]"
                             : "#root[ #body[ name: " + c.name + "; x: 0; y: 0; ]; ]");
    const ToolRun run = Tool("--steps 0 " + path);
    std::filesystem::remove(path);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, (mark ? std::string("\xC3\xA9") : c.printed) + "\t0.000000\t0.000000\n");
  }
}

TEST_F(DefsStepsTest, WarningsGoToStandardErrorAndStrictMakesThemFail) {
  const std::string path = WriteDefinition("#root[\n  #body[ radius: big; x: 0; y: 0; ];\n];");
  const std::string expected = path + ":2:10: warning: radius: 'big' is not a number (read as 0)\n";
  const struct {
    std::string args;
    int status;
  } cases[] = {{"", 0}, {"--strict", 1}, {"--steps 0", 0}, {"--strict --steps 0", 1}};
  for (const auto& c : cases) {
    const std::string command = tool_.string() + " " + c.args + " " + path + " 2>&1 >/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string err;
    char buffer[512];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) err.append(buffer, n);
    const int status = pclose(pipe);
    EXPECT_EQ(err, expected) << c.args;
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.status) << c.args;
  }
  // A file without mistakes passes --strict.
  EXPECT_EQ(Tool("--strict incbin::game_solar_systemdef.txt").status, 0);
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace skyloom

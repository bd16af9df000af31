// Inputs that are not plain files: pipes and FIFOs read whole (so a parser
// can seek back in them), devices and oversized files refused with a reason,
// and skyloom-defs given each such hostile input, with its exit status,
// message and a time bound.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "runtime/open.h"
#include "runtime/strings.h"
#include "tests/support/programs.h"

namespace skyloom {
namespace {

namespace fs = std::filesystem;

using test_support::ReadFile;
using test_support::WriteFile;

class InputKindsTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() / ("skyloom_input_kinds_" + std::to_string(getpid()) + "_" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::u16string Path(const std::string& name) const { return FromBytes((dir_ / name).string()); }

  fs::path dir_;
};

std::string Content(const StreamRef& stream) {
  std::string bytes(static_cast<size_t>(stream->Size()), '\0');
  stream->ReadBytes(bytes.data(), stream->Size());
  return bytes;
}

TEST_F(InputKindsTest, AFifoIsReadWholeAndCanBeReadAgainFromTheStart) {
  const fs::path fifo = dir_ / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string sent;
  for (int i = 0; i < 20000; ++i)
    sent += "line " + std::to_string(i) + "\n";  // beyond a pipe buffer
  std::thread writer([&] { WriteFile(fifo, sent); });
  OpenFailure failure;
  const StreamRef stream = OpenInput(Path("fifo"), failure);
  writer.join();
  ASSERT_TRUE(stream) << failure.reason;
  EXPECT_EQ(Content(stream), sent);
  EXPECT_EQ(stream->Seek(5), 5);  // what the definition parser does when it looks back
  EXPECT_EQ(stream->ReadByte(), '0');
}

TEST_F(InputKindsTest, WhatCannotBeReadIsNamedWithItsReason) {
  WriteFile(dir_ / "plain.txt", "plain");
  // A sparse file one byte over the limit: nothing of it is read.
  {
    const int descriptor = open((dir_ / "huge").c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(descriptor, 0);
    ASSERT_EQ(ftruncate(descriptor, MAX_INPUT_BYTES + 1), 0);
    close(descriptor);
  }
  const struct {
    std::string path;
    bool opens;
    bool refused;
    const char* reason;
  } cases[] = {
      {(dir_ / "plain.txt").string(), true, false, ""},
      {"/dev/zero", false, true, "not a regular file"},
      {"/dev/null", false, true, "not a regular file"},
      {(dir_ / "huge").string(), false, true, "larger than the limit of 1 GiB"},
      {(dir_ / "missing.txt").string(), false, false, "No such file or directory"},
      {dir_.string(), false, false, "Is a directory"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    OpenFailure failure;
    const auto start = std::chrono::steady_clock::now();
    const StreamRef stream = OpenInput(FromBytes(c.path), failure);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(stream != nullptr, c.opens);
    EXPECT_EQ(failure.refused, c.refused);
    EXPECT_EQ(failure.reason, c.reason);
  }
}

TEST(ByteLimitTextTest, StatesALimitInTheLargestUnitThatDividesItExactly) {
  const struct {
    int64_t bytes;
    const char* text;
  } cases[] = {
      {MAX_INPUT_BYTES, "1 GiB"},
      {int64_t{3} << 30, "3 GiB"},
      {int64_t{1536} << 20, "1536 MiB"},
      {96 * 1024, "96 KiB"},
      {1536, "1536 bytes"},
      {100, "100 bytes"},
      {0, "0 bytes"},
  };
  for (const auto& c : cases) EXPECT_EQ(ByteLimitText(c.bytes), c.text) << c.bytes;
}

// skyloom-defs run as a program on hostile inputs.
class DefsHostileInputTest : public InputKindsTest {
 protected:
  using Outcome = test_support::ProgramOutcome;

  // Runs "cd FOLDER && PREFIX skyloom-defs ARGUMENTS" under a time limit.
  Outcome Run(const std::string& prefix, const std::string& arguments) const {
    const std::string command = "cd " + test_support::Quoted(dir_) + " && " + prefix +
                                " timeout 20 " +
                                test_support::Quoted(test_support::ProgramPath("skyloom-defs")) +
                                " " + arguments + (prefix.empty() ? " </dev/null" : "");
    return test_support::RunCommand(command, dir_);
  }
};

TEST_F(DefsHostileInputTest, EachInputEndsPromptlyWithItsOutcome) {
  // Many bodies, so the text is far longer than one read through a pipe.
  std::string many = "#root[\n";
  for (int i = 0; i < 3000; ++i) {
    many += "#body[ name: b" + std::to_string(i) + "; radius: 2; x: " + std::to_string(i) +
            "; y: 0; ];\n";
  }
  many += "];\n";
  WriteFile(dir_ / "many.txt", many);
  fs::create_directories(dir_ / "parts");
  WriteFile(dir_ / "parts" / "moon.txt", "#body[ name: Moon; radius: 1; x: 5; y: 5; ];");
  WriteFile(dir_ / "bare.txt",
            "#root[ #body[ name: Star; x: 0; y: 0; radius: 3; ]; "
            "#include[ id: parts; file: parts/moon.txt; ]; #body copyof: parts[]; ];");
  fs::create_symlink("/dev/zero", dir_ / "zero.txt");
  WriteFile(dir_ / "endless.txt", "#root[ #include[ file: zero.txt; ]; ];");
  const std::string many_printed = Run("", "--steps 0 many.txt").out;
  ASSERT_EQ(std::count(many_printed.begin(), many_printed.end(), '\n'), 3000);

  const struct {
    const char* name;
    std::string prefix;
    std::string arguments;
    int status;
    std::string out_has;  // text the output holds
    std::string err;
  } cases[] = {
      {"a pipe reads as the file", "cat many.txt |", "--steps 0 /dev/stdin", 0, many_printed, ""},
      {"a bare name includes beside itself", "", "--steps 0 bare.txt", 0,
       "Moon\t5.000000\t5.000000\n", ""},
      {"a device as the definition", "", "/dev/zero", 1, "",
       "skyloom-defs: /dev/zero: not a regular file\n"},
      {"a device included through a link", "", "endless.txt", 1, "",
       "skyloom-defs: endless.txt:1:18: include ./zero.txt: not a regular file\n"},
      {"a missing file", "", "gone.txt", 1, "",
       "skyloom-defs: cannot open gone.txt: No such file or directory\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Outcome outcome = Run(c.prefix, c.arguments);
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_NE(outcome.out.find(c.out_has), std::string::npos) << outcome.out.substr(0, 200);
    EXPECT_EQ(outcome.err, c.err);
    EXPECT_LT(outcome.seconds, 10.0);
  }
}

}  // namespace
}  // namespace skyloom

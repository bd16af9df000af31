// Safe file writing: what WriteFileSafely leaves behind for each kind of
// target and each kind of failure (a full device, a full small file system,
// content that cannot be made), and the tools that write files keeping an
// earlier file, even their own input, when the disk is full.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "imaging/png.h"
#include "runtime/file_output.h"
#include "runtime/pixmap.h"
#include "runtime/strings.h"
#include "tests/support/programs.h"

namespace skyloom {
namespace {

namespace fs = std::filesystem;

using test_support::ReadFile;
using test_support::WriteFile;

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A filler that writes the bytes and succeeds.
FileFiller Writes(const std::string& bytes) {
  return [bytes](const StreamRef& stream) {
    stream->WriteBytes(bytes.data(), static_cast<int64_t>(bytes.size()));
    return true;
  };
}

class FileOutputTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() / ("skyloom_file_output_" + std::to_string(getpid()) + "_" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    if (mounted_) umount(dir_.c_str());
    fs::remove_all(dir_);
  }

  // Turns dir_ into a tmpfs of the given size; false where mounting is not
  // allowed (the caller then skips).
  bool MountSmallDisk(const std::string& size) {
    mounted_ = mount("tmpfs", dir_.c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0;
    return mounted_;
  }

  std::u16string Path(const std::string& name) const { return FromBytes((dir_ / name).string()); }

  fs::path dir_;
  bool mounted_ = false;
};

struct Case {
  const char* name;
  const char* earlier;  // content already at the target, or null for none
  std::function<FileFiller()> filler;
  const char* reason;  // "" for success
  const char* after;   // the target's content afterwards, or null for absent
};

TEST_F(FileOutputTest, EachOutcomeLeavesTheTargetWholeAndNoTemporaryFile) {
  const Case cases[] = {
      {"new file", nullptr, [] { return Writes("fresh"); }, "", "fresh"},
      {"replaces an earlier file", "earlier", [] { return Writes("fresh"); }, "", "fresh"},
      {"content that cannot be made", "earlier",
       [] {
         return FileFiller([](const StreamRef& stream) {
           stream->WriteInt(7);
           return false;
         });
       },
       "the content could not be encoded", "earlier"},
      {"writer that gives up part-way", "earlier",
       [] {
         return FileFiller([](const StreamRef& stream) -> bool {
           stream->WriteInt(7);
           throw std::runtime_error("gave up");
         });
       },
       "gave up", "earlier"},
      {"no earlier file and a failure", nullptr,
       [] { return FileFiller([](const StreamRef&) { return false; }); },
       "the content could not be encoded", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    if (c.earlier) WriteFile(dir_ / "out.bin", c.earlier);
    EXPECT_EQ(WriteFileSafely(Path("out.bin"), c.filler()), c.reason);
    if (c.after) {
      EXPECT_EQ(Names(dir_), std::vector<std::string>{"out.bin"});
      EXPECT_EQ(ReadFile(dir_ / "out.bin"), c.after);
    } else {
      EXPECT_TRUE(Names(dir_).empty());
    }
  }
}

TEST_F(FileOutputTest, TargetsThatCannotBeWrittenGiveTheSystemsReason) {
  const struct {
    std::string path;
    const char* reason;
  } cases[] = {
      {(dir_ / "missing" / "out.bin").string(), "No such file or directory"},
      {dir_.string(), "Is a directory"},
      {"/dev/full", "No space left on device"},  // a device: written in place
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(WriteFileSafely(FromBytes(c.path), Writes(std::string(100000, 'x'))), c.reason);
  }
  EXPECT_TRUE(Names(dir_).empty());
  struct stat info;
  ASSERT_EQ(stat("/dev/full", &info), 0);
  EXPECT_TRUE(S_ISCHR(info.st_mode));  // never renamed over
}

TEST_F(FileOutputTest, AFullFileSystemKeepsTheEarlierFile) {
  if (!MountSmallDisk("64k")) GTEST_SKIP() << "cannot mount a small tmpfs here";
  const std::string earlier(20000, 'e');
  WriteFile(dir_ / "out.bin", earlier);
  EXPECT_EQ(WriteFileSafely(Path("out.bin"), Writes(std::string(200000, 'n'))),
            "No space left on device");
  EXPECT_EQ(Names(dir_), std::vector<std::string>{"out.bin"});
  EXPECT_EQ(ReadFile(dir_ / "out.bin"), earlier);
}

TEST_F(FileOutputTest, ALinkKeepsBeingALinkAndAFileKeepsItsPermissions) {
  WriteFile(dir_ / "real.bin", "old");
  fs::permissions(dir_ / "real.bin",
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink(dir_ / "real.bin", dir_ / "link.bin");
  EXPECT_EQ(WriteFileSafely(Path("link.bin"), Writes("new")), "");
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.bin"));
  EXPECT_EQ(ReadFile(dir_ / "real.bin"), "new");
  EXPECT_EQ(fs::status(dir_ / "real.bin").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(FileOutputTest, AFifoIsWrittenInPlace) {
  const fs::path fifo = dir_ / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = ReadFile(fifo); });
  EXPECT_EQ(WriteFileSafely(FromBytes(fifo.string()), Writes("through the fifo")), "");
  reader.join();
  EXPECT_EQ(received, "through the fifo");
  EXPECT_TRUE(fs::is_fifo(fifo));
}

// The tools, run as programs, on a full device and on a nearly full disk.
class ToolOutputTest : public FileOutputTest {
 protected:
  using Outcome = test_support::ProgramOutcome;

  // The scratch files go to the temporary folder: the test's own folder may
  // be the nearly full disk.
  Outcome Run(const std::string& tool, const std::string& arguments) const {
    const std::string command =
        test_support::Quoted(test_support::ProgramPath(tool)) + " " + arguments;
    return test_support::RunCommand(command, fs::temp_directory_path());
  }

  // A noisy picture that compresses badly, so its PNG is about 4 * side^2.
  static void WriteNoise(const fs::path& path, int side, uint32_t seed) {
    PixmapRef pixmap = TPixmap::Create(side, side, PIXEL_RGBA8888, 4);
    uint32_t state = seed;
    for (int y = 0; y < side; ++y) {
      for (int x = 0; x < side; ++x) {
        state = state * 1664525u + 1013904223u;
        pixmap->WritePixel(x, y, state | 0xFF000000u);
      }
    }
    ASSERT_EQ(SavePixmapAsPNG(pixmap, FromBytes(path.string()), 0), 1);
  }
};

TEST_F(ToolOutputTest, WritingToAFullDeviceFailsWithTheReason) {
  WriteNoise(dir_ / "a.png", 16, 1);
  const std::string a = (dir_ / "a.png").string();
  // export writes OUTBASE.png and OUTBASE.dat: the picture goes to the device.
  fs::create_symlink("/dev/full", dir_ / "atlas.png");
  const std::string atlas = (dir_ / "atlas").string();
  const struct {
    const char* tool;
    std::string arguments;
    std::string message;
  } cases[] = {
      {"skyloom-blend", a + " " + a + " /dev/full",
       "skyloom-blend: cannot write /dev/full: No space left on device\n"},
      {"skyloom-font", "gradient /dev/full",
       "skyloom-font: cannot write /dev/full: No space left on device\n"},
      {"skyloom-font", "render incbin::font_data/brisle.ift Hello /dev/full",
       "skyloom-font: cannot write /dev/full: No space left on device\n"},
      {"skyloom-font", "build " SKYLOOM_SOURCE_DIR "/assets/font_data/brisle.glyphs /dev/full",
       "skyloom-font: cannot write /dev/full: No space left on device\n"},
      {"skyloom-font", "export incbin::font_data/brisle.ift " + atlas,
       "skyloom-font: cannot write " + atlas + ".png: No space left on device\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.tool) + " " + c.arguments);
    const Outcome outcome = Run(c.tool, c.arguments);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, c.message);
  }
}

// OUT the same file as TOP on a disk with room for TOP but not for a second
// copy: the tool fails and TOP is as it was.
TEST_F(ToolOutputTest, ANearlyFullDiskKeepsTheInputThatWasAlsoTheOutput) {
  if (!MountSmallDisk("160k")) GTEST_SKIP() << "cannot mount a small tmpfs here";
  WriteNoise(dir_ / "top.png", 128, 1);  // about 64 KiB
  WriteNoise(dir_ / "bottom.png", 128, 2);
  const std::string top_before = ReadFile(dir_ / "top.png");
  const std::string top = (dir_ / "top.png").string();
  const Outcome outcome = Run("skyloom-blend", "--mode Difference " + top + " " +
                                                   (dir_ / "bottom.png").string() + " " + top);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, "skyloom-blend: cannot write " + top + ": No space left on device\n");
  EXPECT_TRUE(ReadFile(dir_ / "top.png") == top_before);  // no dump of 64 KiB on failure
  EXPECT_EQ(Names(dir_), (std::vector<std::string>{"bottom.png", "top.png"}));
}

}  // namespace
}  // namespace skyloom

// Watching a definition's files in a temporary folder: each way an editor
// saves is noticed within half a second and reported once, untouched files
// report nothing, and a file still being written is not reported early.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "app/definition_watch.h"
#include "runtime/strings.h"

namespace skyloom {
namespace {

namespace fs = std::filesystem;

// Longer than the file system's time stamp granularity, so that two writes
// of the same size still differ in their modification time.
constexpr auto kTick = std::chrono::milliseconds(20);
// The watch must report within this long after a write.
constexpr int kNoticeMs = 500;
constexpr int kFrameMs = 5;

class DefinitionWatchTest : public testing::Test {
 public:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("skyloom_watch_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "parts");
    Write("top.txt", "#root[ #include[ file: inc.txt; file: parts; ]; ];");
    Write("inc.txt", "#body[ name: A; ];");
    Write("parts/a.txt", "#body[ name: B; ];");
    Write("other.txt", "not watched");
    std::this_thread::sleep_for(kTick);
    sources_.files = {Path("top.txt"), Path("inc.txt"), Path("parts/a.txt")};
    sources_.directories = {Path("parts")};
    watch_ = TDefinitionWatch();
    watch_.Watch(sources_, 0);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::u16string Path(const std::string& name) const { return FromBytes((dir_ / name).string()); }
  void Write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary | std::ios::trunc) << text;
  }
  void Append(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary | std::ios::app) << text;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // Polls frame by frame from `from` up to `until`; the times it reported.
  std::vector<int> Reports(int from, int until) {
    std::vector<int> reports;
    for (int now = from; now <= until; now += kFrameMs) {
      if (watch_.Poll(now)) reports.push_back(now);
    }
    return reports;
  }

  fs::path dir_;
  DefinitionSources sources_;
  TDefinitionWatch watch_;
};

struct EditCase {
  const char* name;
  std::function<void(DefinitionWatchTest&)> edit;
  bool reported;
};

TEST_F(DefinitionWatchTest, EveryWayOfSavingIsReportedOnceAndOnlyThen) {
  using T = DefinitionWatchTest;
  const auto rename_over = [](T& t, const std::string& name, const std::string& text) {
    t.Write(name + ".new", text);
    fs::rename(t.dir_ / (name + ".new"), t.dir_ / name);
  };
  const EditCase cases[] = {
      {"nothing touched", [](T&) {}, false},
      {"a file beside it that is not watched", [](T& t) { t.Write("other.txt", "changed"); },
       false},
      {"a file made beside it", [](T& t) { t.Write("new.txt", "x"); }, false},
      {"top file written in place", [](T& t) { t.Write("top.txt", "#root[ ];"); }, true},
      {"top file written in place, same size",
       [](T& t) { t.Write("top.txt", "#root[ #include[ file: inc.txt; file: partz; ]; ];"); },
       true},
      {"top file saved by rename",
       [&](T& t) { rename_over(t, "top.txt", "#root[ #body[ name: C; ]; ];"); }, true},
      {"top file deleted and recreated as it was",
       [](T& t) {
         fs::remove(t.dir_ / "top.txt");
         std::this_thread::sleep_for(kTick);
         t.Write("top.txt", "#root[ #include[ file: inc.txt; file: parts; ]; ];");
       },
       true},
      {"top file deleted", [](T& t) { fs::remove(t.dir_ / "top.txt"); }, true},
      {"included file written", [](T& t) { t.Append("inc.txt", " "); }, true},
      {"included file saved by rename",
       [&](T& t) { rename_over(t, "inc.txt", "#body[ name: Z; ];"); }, true},
      {"file of an included folder written", [](T& t) { t.Append("parts/a.txt", " "); }, true},
      {"file added to an included folder", [](T& t) { t.Write("parts/b.txt", "#body[ ];"); }, true},
      {"file removed from an included folder", [](T& t) { fs::remove(t.dir_ / "parts/a.txt"); },
       true},
  };
  for (const EditCase& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    EXPECT_TRUE(Reports(0, 1000).empty()) << "before the edit";
    c.edit(*this);
    const std::vector<int> reports = Reports(1000, 3000);
    if (!c.reported) {
      EXPECT_TRUE(reports.empty());
      continue;
    }
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_LE(reports[0] - 1000, kNoticeMs);
  }
}

// Writes that follow each other closely, and a file written slowly piece by
// piece, are reported once, after the last piece, and never while the file
// is incomplete.
TEST_F(DefinitionWatchTest, AFileBeingWrittenIsReportedOnceWhenItHasSettled) {
  struct Case {
    const char* name;
    int gap_ms;  // time between two pieces
  };
  const Case cases[] = {{"a burst of saves", 10}, {"a slow writer", 80}};
  const std::string whole = "#root[ #body[ name: Slow; radius: 5; ]; ];";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    Write("top.txt", "");
    int now = 1000;
    int reports = 0;
    for (size_t written = 0; written < whole.size(); written += 4) {
      Append("top.txt", whole.substr(written, 4));
      for (int end = now + c.gap_ms; now < end; now += kFrameMs) reports += watch_.Poll(now);
    }
    EXPECT_EQ(reports, 0) << "reported while the file was being written";
    EXPECT_EQ(Reports(now, now + 2000).size(), 1u);
    EXPECT_EQ(Read("top.txt"), whole);
  }
}

// After a reload the caller watches again; an edit made while it was reading
// (after the report, before Watch) must still be reported. A reload the user
// asked for takes everything as seen.
TEST_F(DefinitionWatchTest, EditsDuringAReloadAreKeptAndRebaseForgetsThem) {
  Write("inc.txt", "#body[ name: During; ];");
  watch_.Watch(sources_, 10);
  EXPECT_EQ(Reports(10, 1500).size(), 1u) << "edit before Watch";

  Write("inc.txt", "#body[ name: Asked for; ];");
  int now = 1500;
  for (; !watch_.pending() && now < 2000; now += kFrameMs) EXPECT_FALSE(watch_.Poll(now));
  ASSERT_TRUE(watch_.pending());
  watch_.Rebase(now);
  EXPECT_TRUE(Reports(now, now + 1500).empty()) << "after Rebase";
}

TEST(PathStamp, MissingPathsFilesAndFolders) {
  const fs::path dir = fs::temp_directory_path() / ("skyloom_stamp_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "sub");
  std::ofstream(dir / "sub" / "b.txt") << "b";
  std::ofstream(dir / "sub" / "a.txt") << "a";
  std::ofstream(dir / "f.txt") << "12345";
  EXPECT_FALSE(StampPath((dir / "missing.txt").string()).exists);
  const TPathStamp file = StampPath((dir / "f.txt").string());
  EXPECT_TRUE(file.exists);
  EXPECT_EQ(file.size, 5);
  const TPathStamp folder = StampPath((dir / "sub").string());
  EXPECT_TRUE(folder.exists);
  EXPECT_EQ(folder.names, (std::vector<std::string>{"a.txt", "b.txt"}));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace skyloom

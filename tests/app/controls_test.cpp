// The table of controls against what the viewer and its README do: the
// README lists exactly the table's rows, section by section, and every key
// the table names has a handler in the running viewer.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/frame_loop.h"
#include "app/viewer.h"
#include "input/controls.h"
#include "input/hotkey.h"
#include "input/mouse.h"
#include "runtime/backend_recording.h"
#include "runtime/input.h"

namespace skyloom {
namespace {

struct Row {
  std::string section, input, effect;
  bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& row) {
  return out << row.section << " | " << row.input << " | " << row.effect;
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The rows of the README's controls section: each "#### Section" heading
// followed by a "| input | effect |" table.
std::vector<Row> ReadmeRows() {
  std::ifstream readme(SKYLOOM_SOURCE_DIR "/README.md");
  std::vector<Row> rows;
  std::string line, section;
  bool inside = false;
  while (std::getline(readme, line)) {
    if (line == "### Controls") {
      inside = true;
    } else if (inside && (line.starts_with("## ") || line.starts_with("### "))) {
      break;
    } else if (inside && line.starts_with("#### ")) {
      section = line.substr(5);
    } else if (inside && line.starts_with("| ")) {
      const size_t middle = line.find(" | ");
      if (middle == std::string::npos || !line.ends_with(" |")) {
        rows.push_back({section, line, "(not a two-column row)"});
        continue;
      }
      Row row{section, Trimmed(line.substr(1, middle - 1)),
              Trimmed(line.substr(middle + 3, line.size() - middle - 5))};
      if (row.input != "input" || row.effect != "effect") rows.push_back(row);
    }
  }
  return rows;
}

TEST(ControlsTable, TheReadmeListsEveryRowInOrderUnderItsSection) {
  std::vector<Row> table;
  for (const TControl& control : Controls()) {
    table.push_back(
        {std::string(control.section), std::string(control.input), std::string(control.effect)});
  }
  const std::vector<Row> readme = ReadmeRows();
  for (size_t i = 0; i < std::max(table.size(), readme.size()); ++i) {
    if (i >= readme.size()) {
      ADD_FAILURE() << "missing from the README: " << table[i];
    } else if (i >= table.size()) {
      ADD_FAILURE() << "not in the table: " << readme[i];
    } else {
      EXPECT_EQ(readme[i], table[i]) << "row " << i;
    }
  }
}

class ControlHandlersTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(viewer.BeforeDisplay(), 0);
    recorder = OpenRecordingDisplay(1024, 768);
    SetManualClock(100000);
    ASSERT_EQ(viewer.AfterDisplay(), 0);
    Frame();  // places the cameras in their panes
  }
  void TearDown() override {
    ProgramInput().Reset();
    UseRealClock();
    CloseDisplay();
  }
  void Frame() {
    ProgramInput().PointerMoved(500, 400);
    AdvanceManualClock(1000);
    viewer.FrameWork();
  }
  const camera& Camera() const {
    return *std::dynamic_pointer_cast<spacebox>(viewer.desk()->boxes.front())->cam;
  }

  TViewer viewer;
  std::shared_ptr<TRecordingBackend> recorder;
};

// Keys that their own modules read rather than the key actions: each with a
// check that pressing it in the running viewer does what the table says.
TEST_F(ControlHandlersTest, EveryKeyTheTableNamesHasAHandler) {
  const std::map<int, std::function<bool()>> read_elsewhere = {
      {ESCAPE_KEY,
       [&] {
         ProgramInput().KeyDown(ESCAPE_KEY);
         const bool quits = ExitWanted(viewer.Steps());
         ProgramInput().KeyUp(ESCAPE_KEY);
         return quits;
       }},
      {SCREENSHOT_KEY,
       [&] {
         ProgramInput().KeyDown(SCREENSHOT_KEY);
         const bool fires = screenshotkey() && screenshotkey()->get();
         ProgramInput().KeyUp(SCREENSHOT_KEY);
         return fires;
       }},
      {camera::ZOOM_IN_KEY,
       [&] {
         const double before = Camera().zoom;
         ProgramInput().KeyDown(camera::ZOOM_IN_KEY);
         Frame();
         ProgramInput().KeyUp(camera::ZOOM_IN_KEY);
         return Camera().zoom > before;
       }},
      {camera::ZOOM_OUT_KEY,
       [&] {
         const double before = Camera().zoom;
         ProgramInput().KeyDown(camera::ZOOM_OUT_KEY);
         Frame();
         ProgramInput().KeyUp(camera::ZOOM_OUT_KEY);
         return Camera().zoom < before;
       }},
  };
  int keys = 0;
  for (const TControl& control : Controls()) {
    for (const TControlKey& key : control.keys) {
      if (key.code < 0) continue;
      ++keys;
      if (viewer.controls()->keys().handles(key)) continue;
      const auto elsewhere = read_elsewhere.find(key.code);
      if (elsewhere != read_elsewhere.end() && key.modkind == Key::none) {
        EXPECT_TRUE(elsewhere->second()) << control.input << ": pressing it does nothing";
      } else {
        ADD_FAILURE() << control.input << " (key " << key.code << ", modifiers " << key.modkind
                      << ") has no handler";
      }
    }
  }
  EXPECT_GT(keys, 0) << "the table names keys";
}

}  // namespace
}  // namespace skyloom

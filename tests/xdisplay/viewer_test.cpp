// The skyloom program end to end on the X server: it quits with status 0 on a
// held Escape and on a window-manager close request, and with status 1 and a
// one-line reason when the display cannot be reached.
#include <algorithm>

#include "tests/xdisplay/viewer_process.h"
#include "tests/xdisplay/x_support.h"

namespace skyloom::xtest {
namespace {

class ViewerTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!HaveXServer()) GTEST_SKIP() << "no X server: DISPLAY is not set";
  }
};

TEST_F(ViewerTest, HeldEscapeQuitsWithStatusZero) {
  std::optional<ViewerProcess> started;
  const std::string window = StartWithWindow(started);
  ViewerProcess& viewer = *started;
  ASSERT_FALSE(window.empty()) << viewer.Stderr();
  ASSERT_EQ(RunX(std::string(XWINDOW_HELPER) + " focus " + window), 0);
  // Past the platform's delayed focus report, which would release the key.
  EXPECT_EQ(viewer.WaitForExit(500), -1) << "ended before Escape: " << viewer.Stderr();
  ASSERT_EQ(RunX(Xdotool("keydown Escape")), 0);
  const int status = viewer.WaitForExit();
  RunX(Xdotool("keyup Escape"));
  EXPECT_EQ(status, 0) << viewer.Stderr();
}

TEST_F(ViewerTest, CloseRequestQuitsWithStatusZero) {
  std::optional<ViewerProcess> started;
  const std::string window = StartWithWindow(started);
  ViewerProcess& viewer = *started;
  ASSERT_FALSE(window.empty()) << viewer.Stderr();
  ASSERT_EQ(RunX(std::string(XWINDOW_HELPER) + " close " + window), 0);
  EXPECT_EQ(viewer.WaitForExit(), 0) << viewer.Stderr();
}

TEST_F(ViewerTest, MissingServerGivesStatusOneAndOneLineReason) {
  ViewerProcess viewer({}, ":4093");  // a display number no test run uses
  EXPECT_EQ(viewer.WaitForExit(), 1);
  const std::string message = viewer.Stderr();
  EXPECT_NE(message.find("skyloom: cannot open the display"), std::string::npos) << message;
  EXPECT_NE(message.find(":4093"), std::string::npos) << message;
  EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
}

}  // namespace
}  // namespace skyloom::xtest

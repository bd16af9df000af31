// The skyloom program end to end on the X server: it quits with status 0 on a
// held Escape and on a window-manager close request, and with status 1 and a
// one-line reason when the display cannot be reached.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "tests/xdisplay/x_support.h"

namespace skyloom::xtest {
namespace {

// The viewer as a child process with its standard error in a file.
class ViewerProcess {
 public:
  explicit ViewerProcess(const char* display) {
    char name[] = "/tmp/skyloom-viewer-stderr-XXXXXX";
    const int fd = mkstemp(name);
    _stderr_path = name;
    _pid = fork();
    if (_pid == 0) {
      dup2(fd, STDERR_FILENO);
      if (display) setenv("DISPLAY", display, 1);
      execl(SKYLOOM_VIEWER, SKYLOOM_VIEWER, static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fd);
  }
  ~ViewerProcess() {
    if (_pid > 0 && !_exited) {
      kill(_pid, SIGKILL);
      waitpid(_pid, nullptr, 0);
    }
    unlink(_stderr_path.c_str());
  }

  // The exit status, or -1 when the process has not ended within the time.
  int WaitForExit(int timeout_ms = 5000) {
    int status = 0;
    const bool ended = WaitFor([&] { return waitpid(_pid, &status, WNOHANG) == _pid; }, timeout_ms);
    if (!ended) return -1;
    _exited = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

  std::string Stderr() const {
    std::ifstream in(_stderr_path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

 private:
  pid_t _pid = -1;
  bool _exited = false;
  std::string _stderr_path;
};

class ViewerTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!HaveXServer()) GTEST_SKIP() << "no X server: DISPLAY is not set";
  }
};

TEST_F(ViewerTest, HeldEscapeQuitsWithStatusZero) {
  ViewerProcess viewer(nullptr);
  const std::string window = FindWindow("Skyloom");
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
  ViewerProcess viewer(nullptr);
  const std::string window = FindWindow("Skyloom");
  ASSERT_FALSE(window.empty()) << viewer.Stderr();
  ASSERT_EQ(RunX(std::string(XWINDOW_HELPER) + " close " + window), 0);
  EXPECT_EQ(viewer.WaitForExit(), 0) << viewer.Stderr();
}

TEST_F(ViewerTest, MissingServerGivesStatusOneAndOneLineReason) {
  ViewerProcess viewer(":4093");  // a display number no test run uses
  EXPECT_EQ(viewer.WaitForExit(), 1);
  const std::string message = viewer.Stderr();
  EXPECT_NE(message.find("skyloom: cannot open the display"), std::string::npos) << message;
  EXPECT_NE(message.find(":4093"), std::string::npos) << message;
  EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
}

}  // namespace
}  // namespace skyloom::xtest

// The skyloom program as a child process of a test: its own fresh working
// folder (where screenshots land), its standard output and error in files,
// and a wait for its exit status with a time limit.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/xdisplay/x_support.h"

namespace skyloom::xtest {

class ViewerProcess {
 public:
  // Starts SKYLOOM_VIEWER with the arguments, in a new empty folder that is
  // removed again with this object. display, when given, replaces DISPLAY
  // for the child only; prepare, when given, is called with the folder before
  // the viewer starts, to put files there.
  explicit ViewerProcess(const std::vector<std::string>& args = {}, const char* display = nullptr,
                         const std::function<void(const std::string&)>& prepare = nullptr) {
    char root[] = "/tmp/skyloom-viewer-XXXXXX";
    if (!mkdtemp(root)) return;
    _root = root;
    _folder = _root + "/work";
    std::filesystem::create_directory(_folder);
    if (prepare) prepare(_folder);
    const std::string out_path = _root + "/stdout", err_path = _root + "/stderr";
    const int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int in = open("/dev/null", O_RDONLY);
    // Everything the child needs is made before the fork.
    std::vector<std::string> words{SKYLOOM_VIEWER};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    _started = std::chrono::steady_clock::now();
    _pid = fork();
    if (_pid == 0) {
      dup2(in, STDIN_FILENO);
      dup2(out, STDOUT_FILENO);
      dup2(err, STDERR_FILENO);
      if (display) setenv("DISPLAY", display, 1);
      if (chdir(_folder.c_str()) != 0) _exit(126);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(in);
    close(out);
    close(err);
  }
  ViewerProcess(const ViewerProcess&) = delete;
  ViewerProcess& operator=(const ViewerProcess&) = delete;

  ~ViewerProcess() {
    if (_pid > 0 && !_exited) {
      kill(_pid, SIGKILL);
      waitpid(_pid, nullptr, 0);
    }
    if (!_root.empty()) {
      std::error_code ignored;
      std::filesystem::remove_all(_root, ignored);
    }
  }

  pid_t pid() const { return _pid; }
  // The child's working folder, empty when the viewer started.
  const std::string& folder() const { return _folder; }
  // Milliseconds since the child was started.
  int64_t ElapsedMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 _started)
        .count();
  }

  // The exit status (128 + the signal for a killed process), or -1 when the
  // process has not ended within the time.
  int WaitForExit(int timeout_ms = 5000) {
    if (_exited) return _status;
    int status = 0;
    const bool ended = WaitFor([&] { return waitpid(_pid, &status, WNOHANG) == _pid; }, timeout_ms);
    if (!ended) return -1;
    _exited = true;
    _status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return _status;
  }
  bool Running() { return WaitForExit(0) == -1; }

  std::string Stdout() const { return ReadAll(_root + "/stdout"); }
  std::string Stderr() const { return ReadAll(_root + "/stderr"); }

  // The id of the viewer's "Skyloom" window, or "" when it does not show up
  // within the time. The window is told apart from those of earlier runs and
  // of the test process by the process id the platform puts on it.
  std::string Window(int timeout_ms = 5000) {
    std::string id;
    WaitFor(
        [&] {
          if (!Running()) return true;
          id = Capture("xdotool search --all --pid " + std::to_string(_pid) +
                       " --name '^Skyloom$' 2>/dev/null");
          id = id.substr(0, id.find('\n'));
          return !id.empty();
        },
        timeout_ms);
    return id;
  }

 private:
  static std::string ReadAll(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  pid_t _pid = -1;
  bool _exited = false;
  int _status = -1;
  std::string _root, _folder;
  std::chrono::steady_clock::time_point _started;
};

// Starts the viewer into viewer and returns the id of its window, or "" when
// none comes up. The X server now and then refuses a connection that follows
// closely on another client's end; a viewer that ends at once because it
// could not reach the display is started again, up to three times in all.
inline std::string StartWithWindow(
    std::optional<ViewerProcess>& viewer, const std::vector<std::string>& args = {},
    const std::function<void(const std::string&)>& prepare = nullptr) {
  std::string window;
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(200));
    viewer.emplace(args, nullptr, prepare);
    window = viewer->Window();
    if (!window.empty() || viewer->WaitForExit(0) != 1 ||
        viewer->Stderr().find("cannot open the display") == std::string::npos) {
      break;
    }
  }
  return window;
}

}  // namespace skyloom::xtest

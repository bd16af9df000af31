// Helpers for tests that run the project's programs as a user would: whole
// files read and written, paths quoted for the shell, and a command line run
// with its exit status, standard output, standard error and time caught.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace skyloom::test_support {

namespace fs = std::filesystem;

inline std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The path in single quotes, for a shell command line.
inline std::string Quoted(const fs::path& path) {
  return "'" + path.string() + "'";
}

// A program of this build, in its bin folder.
inline fs::path ProgramPath(const std::string& name) {
  return fs::path(SKYLOOM_BINARY_DIR) / "bin" / name;
}

struct ProgramOutcome {
  int status = -1;  // the exit status; -1 when the command did not exit normally
  std::string out;
  std::string err;
  double seconds = 0;  // wall time of the whole command
};

// Runs a shell command line with its standard output and error caught in two
// files of scratch (a folder that exists), named after this process so that
// test programs running side by side keep apart; they are removed afterwards.
inline ProgramOutcome RunCommand(const std::string& command, const fs::path& scratch) {
  const std::string name = "skyloom_command_" + std::to_string(getpid());
  const fs::path out = scratch / (name + ".stdout");
  const fs::path err = scratch / (name + ".stderr");
  const auto start = std::chrono::steady_clock::now();
  const int raw = std::system((command + " >" + Quoted(out) + " 2>" + Quoted(err)).c_str());
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  ProgramOutcome outcome{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(out), ReadFile(err),
                         took.count()};
  fs::remove(out);
  fs::remove(err);
  return outcome;
}

}  // namespace skyloom::test_support

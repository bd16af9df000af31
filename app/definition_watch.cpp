// Polling the status of a definition's files and folders, and letting a
// change settle before it is reported.
#include "app/definition_watch.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "runtime/display.h"
#include "runtime/strings.h"

namespace skyloom {

namespace {

namespace fs = std::filesystem;

constexpr int64_t kNanosPerSecond = 1000000000;

std::vector<std::string> FolderNames(const std::string& path) {
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
    names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool Due(int now, int when) {
  return ClockDifference(now, when) >= 0;
}

}  // namespace

TPathStamp StampPath(const std::string& path) {
  TPathStamp stamp;
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return stamp;
  stamp.exists = true;
  stamp.identity =
      (static_cast<uint64_t>(status.st_dev) << 32) ^ static_cast<uint64_t>(status.st_ino);
  stamp.size = static_cast<int64_t>(status.st_size);
  stamp.modified = static_cast<int64_t>(status.st_mtim.tv_sec) * kNanosPerSecond +
                   static_cast<int64_t>(status.st_mtim.tv_nsec);
  if (S_ISDIR(status.st_mode)) {
    // A folder's own time changes with every file made in it; only the names
    // it lists matter (the files read from it are watched one by one).
    stamp.modified = 0;
    stamp.size = 0;
    stamp.names = FolderNames(path);
  }
  return stamp;
}

void TDefinitionWatch::Watch(const DefinitionSources& sources, int now) {
  _files.clear();
  _folders.clear();
  for (const std::u16string& file : sources.files) _files.push_back(ToBytes(file));
  for (const std::u16string& folder : sources.directories) _folders.push_back(ToBytes(folder));
  TStamps base;
  for (const auto* paths : {&_files, &_folders}) {
    for (const std::string& path : *paths) {
      const auto known = _base.find(path);
      base[path] = known != _base.end() ? known->second : StampPath(path);
    }
  }
  _base = std::move(base);
  _pending = false;
  _next_poll = now + POLL_MS;
}

void TDefinitionWatch::Rebase(int now) {
  _base = StampAll();
  _pending = false;
  _next_poll = now + POLL_MS;
}

TDefinitionWatch::TStamps TDefinitionWatch::StampAll() const {
  TStamps stamps;
  for (const auto* paths : {&_files, &_folders}) {
    for (const std::string& path : *paths) stamps[path] = StampPath(path);
  }
  return stamps;
}

bool TDefinitionWatch::Poll(int now) {
  if (!Due(now, _next_poll)) return false;
  TStamps stamps = StampAll();
  if (!_pending) {
    _next_poll = now + POLL_MS;
    if (stamps == _base) return false;
    _pending = true;
    _latest = std::move(stamps);
    _changed_at = now;
    _next_poll = now + SETTLING_POLL_MS;
    return false;
  }
  _next_poll = now + SETTLING_POLL_MS;
  if (stamps != _latest) {
    _latest = std::move(stamps);
    _changed_at = now;
    return false;
  }
  if (ClockDifference(now, _changed_at) < SETTLE_MS) return false;
  _pending = false;
  _next_poll = now + POLL_MS;
  const bool changed = stamps != _base;
  _base = std::move(stamps);
  return changed;
}

}  // namespace skyloom

// Watching a definition's files for edits: polls the status of every file it
// read and every folder its includes listed, and reports a change once it has
// settled, so that a file is never read while an editor is still writing it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "defs/dictnode.h"

namespace skyloom {

// What the file system says about one watched path. Comparing two stamps
// tells whether the path changed between them: an edit in place changes the
// time or size, a save by rename or by delete and recreate changes the file's
// identity, a folder's stamp holds the names it lists.
struct TPathStamp {
  bool exists = false;
  uint64_t identity = 0;  // device and inode folded together
  int64_t size = -1;
  int64_t modified = 0;            // last write time in nanoseconds
  std::vector<std::string> names;  // a folder's entries, sorted

  bool operator==(const TPathStamp&) const = default;
};

// The stamp of a path (bytes as the parser uses them) as it is now.
TPathStamp StampPath(const std::string& path);

class TDefinitionWatch {
 public:
  // How often the paths are looked at while nothing is changing, how often
  // while a change settles, and how long a change must stay unchanged before
  // it is reported.
  static constexpr int POLL_MS = 250;
  static constexpr int SETTLING_POLL_MS = 25;
  static constexpr int SETTLE_MS = 100;

  // Watches these paths from now on. Paths watched before keep the state the
  // last report (or Rebase) saw, so an edit made while the caller was reading
  // is still reported; new paths are stamped now.
  void Watch(const DefinitionSources& sources, int now);
  // Forgets any pending change and takes the present state of every path as
  // seen: for a reload the user asked for, just before reading.
  void Rebase(int now);
  // Called once a frame with the millisecond clock. Looks at the paths when
  // a poll is due and returns true once, when a change to any of them has
  // stayed unchanged for SETTLE_MS; the state then seen becomes the base.
  bool Poll(int now);

  bool pending() const { return _pending; }

 private:
  using TStamps = std::map<std::string, TPathStamp>;
  TStamps StampAll() const;

  std::vector<std::string> _files;
  std::vector<std::string> _folders;
  TStamps _base;    // the state the running system was read from
  TStamps _latest;  // the last state seen while a change settles
  bool _pending = false;
  int _changed_at = 0;  // when _latest was first seen
  int _next_poll = 0;
};

}  // namespace skyloom

// Following the definition the viewer shows: on Ctrl+R, or when the watch
// reports a settled edit of its files, the definition is read again off to
// the side and, only when that succeeds, swapped in between two frames. A
// failure keeps the running system and shows its message in a band (and once
// on standard error).
#pragma once

#include <string>
#include <vector>

#include "app/definition_watch.h"
#include "app/message_bands.h"
#include "app/workspace.h"

namespace skyloom {

// Ctrl+R: R, with Control held.
constexpr int RELOAD_KEY = 82;

// The definition the viewer shows and how it follows edits to it.
struct TShownDefinition {
  dictnodeRef root;                   // null: the embedded definition
  std::u16string url;                 // where root was read from; "" for the embedded one
  DefinitionSources sources;          // what reading it read
  std::vector<std::string> warnings;  // what reading it warned about
  bool watch = false;                 // follow edits of its files
};

class TDefinitionReload {
 public:
  // Starts from a definition that has been read at time now (url "" means
  // the embedded one). Its warnings show in the band from now on.
  TDefinitionReload(const TShownDefinition& shown, int now);

  // Asks for a reading at the next Frame, whatever the watch says (Ctrl+R).
  void Request() { _requested = true; }
  // Once a frame, before anything is drawn: reads the definition again when
  // asked to or when the watch reports a change, and on success puts the new
  // system in place of system (see SwapSystem). Returns the system to show.
  spaceRef Frame(workspace& desk, const spaceRef& system);
  // Reads the definition now; returns the new system, or system unchanged
  // when the reading fails (the band and standard error then say why).
  spaceRef Reload(workspace& desk, const spaceRef& system);

  // The band, if one is due, over everything else.
  int drawbands() const;

  const TMessageBands& bands() const { return _bands; }
  bool watching() const { return _watching; }

 private:
  std::u16string _url;
  bool _watching;
  TDefinitionWatch _watch;
  DefinitionSources _sources;  // what the running system was read from
  TMessageBands _bands;
  bool _requested = false;
};

}  // namespace skyloom

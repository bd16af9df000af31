// Reloading the shown definition on request or after an edit, and swapping
// the system only when the new one could be read.
#include "app/definition_reload.h"

#include <algorithm>
#include <cstdio>

#include "app/definition.h"
#include "app/system_swap.h"
#include "runtime/display.h"

namespace skyloom {

namespace {

// Both lists, without repeating a path.
DefinitionSources Union(const DefinitionSources& a, const DefinitionSources& b) {
  DefinitionSources all = a;
  const auto add = [](std::vector<std::u16string>& to, const std::vector<std::u16string>& more) {
    for (const std::u16string& path : more) {
      if (std::find(to.begin(), to.end(), path) == to.end()) to.push_back(path);
    }
  };
  add(all.files, b.files);
  add(all.directories, b.directories);
  return all;
}

}  // namespace

TDefinitionReload::TDefinitionReload(const TShownDefinition& shown, int now)
    : _url(shown.url.empty() ? std::u16string(EMBEDDED_DEFINITION) : shown.url),
      _watching(shown.watch && !shown.url.empty()),
      _sources(shown.sources) {
  _bands.ShowWarnings(shown.warnings, now);
  if (_watching) _watch.Watch(_sources, now);
}

spaceRef TDefinitionReload::Frame(workspace& desk, const spaceRef& system) {
  const int now = MillisecondClock();
  if (_requested) {
    _requested = false;
    if (_watching) _watch.Rebase(now);
    return Reload(desk, system);
  }
  if (_watching && _watch.Poll(now)) return Reload(desk, system);
  return system;
}

spaceRef TDefinitionReload::Reload(workspace& desk, const spaceRef& system) {
  std::string error;
  std::vector<std::string> warnings;
  DefinitionSources sources;
  const dictnodeRef root = LoadDefinition(_url, error, &warnings, &sources);
  const int now = MillisecondClock();
  if (!root) {
    _bands.ShowError(error);
    std::fprintf(stderr, "skyloom: %s\n", error.c_str());
    // Keep watching what the running system came from, and whatever the
    // failed reading reached (an include added by the broken edit).
    if (_watching) _watch.Watch(Union(_sources, sources), now);
    return system;
  }
  spaceRef swapped = SwapSystem(desk, *system, *root);
  _sources = std::move(sources);
  _bands.ClearError();
  _bands.ShowWarnings(warnings, now);
  PrintDefinitionWarnings(warnings);
  if (_watching) _watch.Watch(_sources, now);
  return swapped;
}

int TDefinitionReload::drawbands() const {
  return _bands.draw(MillisecondClock());
}

}  // namespace skyloom

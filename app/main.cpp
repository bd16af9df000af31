// The skyloom viewer: "skyloom [--frames N] [--window [WxH]] [DEFINITION]".
// Without arguments it shows the embedded system full screen until Escape is
// held or the window is closed.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/definition.h"
#include "app/viewer.h"
#include "assets/embedded.h"

int main(int argc, char** argv) {
  skyloom::TViewerOptions options;
  const std::string error =
      skyloom::ParseViewerArguments(std::vector<std::string_view>(argv + 1, argv + argc), options);
  if (!error.empty()) {
    std::fprintf(stderr, "skyloom: %s\n%s", error.c_str(), skyloom::ViewerUsage().c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(skyloom::ViewerUsage().c_str(), stdout);
    return 0;
  }

  // A file of the user's is read before the display opens, so that a broken
  // one is reported without a screen flashing up.
  skyloom::dictnodeRef definition;
  if (!options.definition.empty()) {
    skyloom::RegisterEmbeddedResources();
    std::string reason;
    definition = skyloom::LoadDefinition(skyloom::DefinitionUrl(options.definition), reason);
    if (!definition) {
      std::fprintf(stderr, "skyloom: %s\n", reason.c_str());
      return 1;
    }
  }
  const skyloom::TWindowRequest window{options.window, options.window_width, options.window_height};
  skyloom::TViewer viewer(definition, window);
  return skyloom::RunViewer(viewer.Steps(options.frames));
}

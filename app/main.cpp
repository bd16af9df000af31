// The skyloom viewer (see ViewerUsage() for its options). Without arguments
// it shows the embedded system full screen until Escape is held or the window
// is closed; a DEFINITION file is reloaded as it is edited.
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/command_line.h"
#include "app/definition.h"
#include "app/viewer.h"
#include "assets/embedded.h"
#include "skyloom_version.h"

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
  if (options.version) {
    std::printf("skyloom %s\n", skyloom::SKYLOOM_VERSION);
    return 0;
  }

  // A file of the user's is read before the display opens, so that a broken
  // one is reported without a screen flashing up.
  skyloom::TShownDefinition shown;
  if (!options.definition.empty()) {
    skyloom::RegisterEmbeddedResources();
    std::string reason;
    shown.url = skyloom::DefinitionUrl(options.definition);
    shown.root = skyloom::LoadDefinition(shown.url, reason, &shown.warnings, &shown.sources);
    skyloom::PrintDefinitionWarnings(shown.warnings);
    if (!shown.root) {
      std::fprintf(stderr, "skyloom: %s\n", reason.c_str());
      return 1;
    }
    // Embedded definitions cannot change while the viewer runs.
    shown.watch = options.watch && shown.url.find(u"::") == std::u16string::npos;
  }
  const skyloom::TWindowRequest window{options.window, options.window_width, options.window_height};
  skyloom::TViewer viewer(std::move(shown), options.paused, window);
  return skyloom::RunViewer(viewer.Steps(options.frames));
}

// Build-time helper, not installed: paints the program icon at one size into
// a PNG file, "skyloom_make_icon SIZE OUT.png", for the desktop entry.
#include <cstdio>
#include <cstdlib>

#include "app/icon.h"
#include "imaging/png.h"
#include "runtime/strings.h"

namespace {
constexpr int PNG_LEVEL = 9;
}

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: skyloom_make_icon SIZE OUT.png\n");
    return 2;
  }
  const int size = std::atoi(argv[1]);
  const skyloom::PixmapRef icon = skyloom::PaintSkyloomIcon(size);
  if (!icon) {
    std::fprintf(stderr, "skyloom_make_icon: no icon of size %s\n", argv[1]);
    return 2;
  }
  if (!skyloom::SavePixmapAsPNG(icon, skyloom::FromBytes(argv[2]), PNG_LEVEL)) {
    std::fprintf(stderr, "skyloom_make_icon: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}

// skyloom-blend: composites one PNG image over another through any of the
// blend modes, pixel by pixel, and saves the result as an RGBA PNG; or lists
// the names of the modes.
#include <charconv>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/blend.h"
#include "imaging/png.h"
#include "runtime/file_output.h"
#include "runtime/open.h"
#include "runtime/pixmap.h"
#include "runtime/strings.h"
#include "skyloom_version.h"

namespace {

using namespace skyloom;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kPngLevel = 6;

constexpr char kUsage[] =
    "usage: skyloom-blend [--mode NAME] [--opacity N] [--flags N] TOP.png BOTTOM.png OUT.png\n"
    "       skyloom-blend --list\n"
    "\n"
    "Lays TOP over BOTTOM pixel by pixel through the blend mode NAME and saves\n"
    "the result as an RGBA PNG. Both images must have the same size.\n"
    "\n"
    "  --mode NAME  blend mode (default Normal); --list shows every name\n"
    "  --opacity N  opacity: 255 uses the top image's alpha as it is, less fades\n"
    "               it, more strengthens it; 0 or less leaves BOTTOM (default 255)\n"
    "  --flags N    channels to change: 1 blue, 2 green, 4 red, 8 alpha, added\n"
    "               together (default 15)\n"
    "  --list       print the name of every blend mode, one per line\n"
    "  --help       show this text\n"
    "  --version    print the program's name and version, then exit\n";

struct Options {
  std::string mode = "Normal";
  int opacity = 255;
  int flags = BLEND_FLAG_ALL;
  std::vector<std::string> paths;  // top, bottom, output
  bool list = false;
  bool help = false;
  bool version = false;
};

// A whole number, optionally negative, and nothing else.
bool ParseInt(std::string_view text, int& value) {
  const char* end = text.data() + text.size();
  const auto [stop, fault] = std::from_chars(text.data(), end, value);
  return fault == std::errc() && stop == end;
}

// Fills options from the arguments; returns an error message or "".
std::string ParseArguments(const std::vector<std::string_view>& args, Options& options) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    const auto value = [&]() -> const std::string_view* {
      return i + 1 < args.size() ? &args[++i] : nullptr;
    };
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--list") {
      options.list = true;
    } else if (arg == "--mode") {
      const std::string_view* name = value();
      if (!name) return "--mode needs a name";
      if (!FindBlendMode(*name)) return "unknown blend mode " + std::string(*name);
      options.mode = *name;
    } else if (arg == "--opacity" || arg == "--flags") {
      const std::string_view* number = value();
      int& target = arg == "--opacity" ? options.opacity : options.flags;
      if (!number || !ParseInt(*number, target)) {
        return std::string(arg) + " needs a whole number" +
               (number ? ", not " + std::string(*number) : std::string());
      }
    } else if (arg.size() > 1 && arg.starts_with("-")) {
      return "unknown option " + std::string(arg);
    } else {
      options.paths.emplace_back(arg);
    }
  }
  if (!options.list && !options.help && !options.version && options.paths.size() != 3) {
    return "expected TOP.png BOTTOM.png OUT.png";
  }
  return "";
}

// The image at path as RGBA8888, or null with a message on standard error.
PixmapRef ReadImage(const std::string& path) {
  PixmapRef pixmap;
  try {
    if (StreamRef stream = OpenInput(FromBytes(path))) {
      pixmap = ReadPNG(stream);
      stream->Close();
    }
  } catch (const std::exception&) {
    pixmap = nullptr;
  }
  if (!pixmap) {
    std::fprintf(stderr, "skyloom-blend: cannot read PNG image %s\n", path.c_str());
    return nullptr;
  }
  return pixmap->format == PIXEL_RGBA8888 ? pixmap : pixmap->Convert(PIXEL_RGBA8888);
}

// Every pixel of bottom with the same pixel of top blended over it.
PixmapRef Composite(const TPixmap& top, const TPixmap& bottom, int opacity) {
  PixmapRef result = TPixmap::Create(bottom.width, bottom.height, PIXEL_RGBA8888);
  for (int y = 0; y < bottom.height; ++y) {
    for (int x = 0; x < bottom.width; ++x) {
      result->WritePixel(
          x, y,
          blendpixel(top.ReadPixel(x, y), bottom.ReadPixel(x, y), opacity, BLEND_CURRENT_FLAGS));
    }
  }
  return result;
}

int Run(const Options& options) {
  const PixmapRef top = ReadImage(options.paths[0]);
  if (!top) return kExitFailure;
  const PixmapRef bottom = ReadImage(options.paths[1]);
  if (!bottom) return kExitFailure;
  if (top->width != bottom->width || top->height != bottom->height) {
    std::fprintf(stderr, "skyloom-blend: the images differ in size: %dx%d over %dx%d\n", top->width,
                 top->height, bottom->width, bottom->height);
    return kExitFailure;
  }
  setblendmode(FindBlendMode(options.mode), options.flags);
  const PixmapRef result = Composite(*top, *bottom, options.opacity);
  const std::string failure = SavePNGFile(result, FromBytes(options.paths[2]), kPngLevel);
  if (!failure.empty()) {
    std::fprintf(stderr, "skyloom-blend: %s\n",
                 CannotWriteMessage(options.paths[2], failure).c_str());
    return kExitFailure;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  const std::string error =
      ParseArguments(std::vector<std::string_view>(argv + 1, argv + argc), options);
  if (!error.empty()) {
    std::fprintf(stderr, "skyloom-blend: %s\n\n%s", error.c_str(), kUsage);
    return kExitUsage;
  }
  if (options.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (options.version) {
    std::printf("skyloom-blend %s\n", SKYLOOM_VERSION);
    return 0;
  }
  if (options.list) {
    for (const BlendMode& mode : BlendModes()) {
      std::printf("%.*s\n", static_cast<int>(mode.name.size()), mode.name.data());
    }
    return 0;
  }
  return Run(options);
}

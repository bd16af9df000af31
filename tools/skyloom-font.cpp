// skyloom-font: makes and checks image fonts. Shows a font's metrics and
// widths, exports it, builds it from a glyph source file, measures text and
// renders text into a PNG picture.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "assets/embedded.h"
#include "imaging/png.h"
#include "runtime/file_output.h"
#include "runtime/open.h"
#include "runtime/strings.h"
#include "skyloom_version.h"
#include "text/font.h"
#include "text/glyphsource.h"
#include "text/gradient.h"

namespace skyloom {
namespace {

constexpr int kExitError = 1;
constexpr int kExitUsage = 2;
constexpr int kMaxZoom = 64;
constexpr int kMaxRenderSide = 16384;
constexpr int kPictureLevel = 9;

constexpr char kUsage[] =
    "usage:\n"
    "  skyloom-font info FONT\n"
    "  skyloom-font export FONT OUTBASE\n"
    "  skyloom-font build GLYPHS OUT.ift\n"
    "  skyloom-font measure FONT TEXT [--box W H Z]\n"
    "  skyloom-font render FONT TEXT OUT.png [--box W H Z] [--align left|right|center]\n"
    "                      [--colour AARRGGBB] [--zoom N]\n"
    "  skyloom-font gradient OUT.png\n"
    "  skyloom-font --help | --version\n"
    "FONT is a file path or an incbin:: name such as incbin::font_data/brisle.ift.\n";

// A command line that does not follow the usage.
struct UsageError {
  std::string message;
};

// A failure of the work itself.
struct ToolError {
  std::string message;
};

// Command-line text is UTF-8; characters beyond 16 bits and malformed bytes
// are taken byte by byte as Latin-1.
std::u16string DecodeArgument(const std::string& bytes) {
  std::u16string text;
  for (size_t i = 0; i < bytes.size();) {
    const unsigned char lead = bytes[i];
    int extra = lead >= 0xE0 && lead < 0xF0 ? 2 : lead >= 0xC2 && lead < 0xE0 ? 1 : 0;
    char32_t code = extra == 2 ? lead & 0x0F : lead & 0x1F;
    bool valid = extra > 0 && i + extra < bytes.size();
    for (int k = 1; valid && k <= extra; ++k) {
      const unsigned char next = bytes[i + k];
      valid = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3F);
    }
    if (valid && (extra == 1 || code >= 0x800)) {
      text.push_back(static_cast<char16_t>(code));
      i += extra + 1;
    } else {
      text.push_back(lead);
      ++i;
    }
  }
  return text;
}

int ParseInt(const std::string& word, const char* what) {
  char* end = nullptr;
  const long value = std::strtol(word.c_str(), &end, 10);
  if (word.empty() || *end != '\0' || value < INT32_MIN || value > INT32_MAX) {
    throw UsageError{std::string(what) + " must be an integer, not \"" + word + "\""};
  }
  return static_cast<int>(value);
}

StreamRef OpenInputOrFail(const std::string& url) {
  StreamRef stream = OpenInput(FromBytes(url));
  if (!stream) throw ToolError{"cannot open " + url};
  return stream;
}

FontRef OpenFont(const std::string& url) {
  FontRef font;
  try {
    font = Font::Read(OpenInputOrFail(url));
  } catch (const ToolError&) {
    throw;
  } catch (const std::exception& e) {
    throw ToolError{url + ": " + e.what()};
  }
  return font;
}

// Options after the fixed arguments of measure and render.
struct TextOptions {
  VectorRef box;
  int align = Font::LALIGN;
  std::optional<uint32_t> colour;
  int zoom = 1;
};

TextOptions ParseOptions(const std::vector<std::string>& args, size_t first, bool rendering) {
  TextOptions options;
  for (size_t i = first; i < args.size(); ++i) {
    const std::string& option = args[i];
    auto value = [&](size_t k) -> const std::string& {
      if (i + k >= args.size()) throw UsageError{option + " needs a value"};
      return args[i + k];
    };
    if (option == "--box") {
      options.box =
          Vector::Create(ParseInt(value(1), "W"), ParseInt(value(2), "H"), ParseInt(value(3), "Z"));
      i += 3;
    } else if (rendering && option == "--align") {
      const std::string& name = value(1);
      if (name == "left")
        options.align = Font::LALIGN;
      else if (name == "right")
        options.align = Font::RALIGN;
      else if (name == "center")
        options.align = Font::CENTER;
      else
        throw UsageError{"--align takes left, right or center"};
      ++i;
    } else if (rendering && option == "--colour") {
      const std::string& hex = value(1);
      char* end = nullptr;
      const unsigned long colour = std::strtoul(hex.c_str(), &end, 16);
      if (hex.size() != 8 || *end != '\0') throw UsageError{"--colour takes 8 hex digits"};
      options.colour = static_cast<uint32_t>(colour);
      ++i;
    } else if (rendering && option == "--zoom") {
      options.zoom = ParseInt(value(1), "N");
      if (options.zoom < 1 || options.zoom > kMaxZoom) throw UsageError{"--zoom takes 1 to 64"};
      ++i;
    } else {
      throw UsageError{"unknown option \"" + option + "\""};
    }
  }
  return options;
}

void RequireCount(const std::vector<std::string>& args, size_t count) {
  if (args.size() < count) throw UsageError{"missing arguments for " + args[0]};
}

void RequireExactly(const std::vector<std::string>& args, size_t count) {
  if (args.size() != count) throw UsageError{"wrong number of arguments for " + args[0]};
}

int Info(const std::vector<std::string>& args) {
  RequireExactly(args, 2);
  FontRef font = OpenFont(args[1]);
  const TImage& image = *font->image;
  std::printf("name: %s\nauthor: %s\n", ToUtf8(font->name).c_str(), ToUtf8(font->author).c_str());
  std::printf("cell: %d x %d\ncharh: %d\nmaxw: %d\nhspacing: %d\nvspacing: %d\n", image.width,
              image.height, font->charh, font->maxw, font->hspacing, font->vspacing);
  std::printf("base: %d\ntop: %d\nwidths:\n", font->base, font->top);
  for (int row = 0; row < 16; ++row) {
    std::printf("  %3d:", row * 16);
    for (int col = 0; col < 16; ++col) std::printf(" %d", font->charw[row * 16 + col]);
    std::printf("\n");
  }
  return 0;
}

int Export(const std::vector<std::string>& args) {
  RequireExactly(args, 3);
  FontRef font = OpenFont(args[1]);
  try {
    font->export_(FromBytes(args[2]));
  } catch (const std::exception& e) {
    throw ToolError{e.what()};
  }
  return 0;
}

void WriteFontFile(const Font& font, const std::string& path) {
  const std::string failure = WriteFileSafely(FromBytes(path), [&](const StreamRef& out) {
    font.Write(out);
    return true;
  });
  if (!failure.empty()) throw ToolError{CannotWriteMessage(path, failure)};
}

void WritePicture(const PixmapRef& picture, const std::string& path) {
  const std::string failure = SavePNGFile(picture, FromBytes(path), kPictureLevel);
  if (!failure.empty()) throw ToolError{CannotWriteMessage(path, failure)};
}

int Build(const std::vector<std::string>& args) {
  RequireExactly(args, 3);
  std::ifstream file(args[1], std::ios::binary);
  if (!file) throw ToolError{"cannot open " + args[1]};
  const std::string text((std::istreambuf_iterator<char>(file)), {});
  FontRef font;
  try {
    font = FontFromGlyphSource(GlyphSource::Parse(text));
  } catch (const GlyphSourceError& e) {
    throw ToolError{args[1] + ": " + e.what()};
  }
  WriteFontFile(*font, args[2]);
  return 0;
}

int Measure(const std::vector<std::string>& args) {
  RequireCount(args, 3);
  FontRef font = OpenFont(args[1]);
  const TextOptions options = ParseOptions(args, 3, false);
  VectorRef size =
      font->Draw(DecodeArgument(args[2]), 0, 0, Font::LALIGN, options.box, 0, 1, nullptr);
  std::printf("%d %d %d\n", size->x, size->y, size->z);
  return 0;
}

// Each pixel of the source becomes a zoom x zoom block.
PixmapRef Enlarge(const PixmapRef& source, int zoom) {
  if (zoom == 1) return source;
  PixmapRef big = TPixmap::Create(source->width * zoom, source->height * zoom, PIXEL_RGBA8888, 4);
  for (int y = 0; y < big->height; ++y) {
    for (int x = 0; x < big->width; ++x) {
      big->WritePixel(x, y, source->ReadPixel(x / zoom, y / zoom));
    }
  }
  return big;
}

int Render(const std::vector<std::string>& args) {
  RequireCount(args, 4);
  FontRef font = OpenFont(args[1]);
  const std::u16string text = DecodeArgument(args[2]);
  const TextOptions options = ParseOptions(args, 4, true);
  VectorRef size = font->Size(text, options.box);
  int width = options.box && options.box->x > 0 ? options.box->x : size->x;
  int height = options.box && options.box->y > 0 ? options.box->y : size->y;
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (width > kMaxRenderSide || height > kMaxRenderSide ||
      static_cast<int64_t>(width) * options.zoom > kMaxRenderSide ||
      static_cast<int64_t>(height) * options.zoom > kMaxRenderSide) {
    throw ToolError{"the picture would be larger than 16384 pixels"};
  }
  PixmapRef canvas = TPixmap::Create(width, height, PIXEL_RGBA8888, 4);
  std::fill(canvas->pixels, canvas->pixels + canvas->capacity, 0);
  if (options.colour) font->setpixcolor(static_cast<int32_t>(*options.colour));
  font->Draw(text, 0, 0, options.align, options.box, 1, 1, canvas);
  WritePicture(Enlarge(canvas, options.zoom), args[3]);
  return 0;
}

int Gradient(const std::vector<std::string>& args) {
  RequireExactly(args, 2);
  WritePicture(MakeGradientPixmap(), args[1]);
  return 0;
}

int PrintText(const std::string& text) {
  std::fputs(text.c_str(), stdout);
  return 0;
}

int Run(const std::vector<std::string>& args) {
  if (args.empty()) throw UsageError{"no command given"};
  const std::string& command = args[0];
  if (command == "--help" || command == "-h") return PrintText(kUsage);
  if (command == "--version")
    return PrintText("skyloom-font " + std::string(SKYLOOM_VERSION) + "\n");
  if (command == "info") return Info(args);
  if (command == "export") return Export(args);
  if (command == "build") return Build(args);
  if (command == "measure") return Measure(args);
  if (command == "render") return Render(args);
  if (command == "gradient") return Gradient(args);
  throw UsageError{"unknown command \"" + command + "\""};
}

}  // namespace
}  // namespace skyloom

int main(int argc, char** argv) {
  skyloom::RegisterEmbeddedResources();
  const std::vector<std::string> args(argv + 1, argv + argc);
  try {
    return skyloom::Run(args);
  } catch (const skyloom::UsageError& e) {
    std::fprintf(stderr, "skyloom-font: %s\n%s", e.message.c_str(), skyloom::kUsage);
    return skyloom::kExitUsage;
  } catch (const skyloom::ToolError& e) {
    std::fprintf(stderr, "skyloom-font: %s\n", e.message.c_str());
    return skyloom::kExitError;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "skyloom-font: %s\n", e.what());
    return skyloom::kExitError;
  }
}

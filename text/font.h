// Image fonts: 256 glyph frames cut from one atlas, a table of advance widths
// and a few metrics; the .ift file format (versions "gont" and "font"), export
// to a PNG picture and an "SFNT" data file, font orderings, the current font,
// and text layout and drawing on the screen or into a pixmap.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "geom/vector.h"
#include "runtime/display.h"
#include "runtime/pixmap.h"
#include "runtime/stream.h"

namespace skyloom {

// Raised when a font file cannot be read. An unknown magic gives exactly
// "Failed to read font"; a font whose atlas or width table cannot be used
// gives that text followed by ": " and what was wrong.
class FontReadException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Raised by Font::export_ when an output file cannot be written.
class FontExportException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One laid-out line: its characters (line breaks excluded), its width in
// pixels without the spacing after its last character, and its offset from
// the top of the text.
class lin {
 public:
  std::u16string t;
  int32_t l = 0;
  int32_t y = 0;
};

class Font;
using FontRef = std::shared_ptr<Font>;

class Font {
 public:
  // Alignments for Draw.
  static constexpr int LALIGN = 0;
  static constexpr int RALIGN = 1;
  static constexpr int CENTER = 2;

  // The magic numbers of the two file versions, as ReadInt gives them.
  static constexpr int32_t MAGIC_GONT = 0x746E6F67;  // "gont": with base and top
  static constexpr int32_t MAGIC_FONT = 0x746E6F66;  // "font": without them
  // Compression levels of the atlas written into a font file and exported.
  static constexpr int WRITE_PNG_LEVEL = 9;
  static constexpr int EXPORT_PNG_LEVEL = 5;

  // A new font: no image, zero metrics and widths, "unnamed" by "unknown".
  static FontRef Create();

  // --- Data. Not stored in files: stagger, pixrgb, usepixrgb. ---

  // Position quantum for line drawing; 0 = off.
  int32_t stagger = 0;
  // Frame i shows character code i; null in a new font.
  ImageRef image;
  // Advance width of each character code, in pixels.
  std::array<int32_t, 256> charw{};
  // Glyph height: a line's height without spacing, and the rows copied per
  // glyph into a pixmap.
  int32_t charh = 0;
  // Columns copied per glyph into a pixmap.
  int32_t maxw = 0;
  // Metrics stored and exported but not used for drawing.
  int32_t base = 0;
  int32_t top = 0;
  std::u16string name = u"unnamed";
  std::u16string author = u"unknown";
  // Extra pixels between characters and between lines.
  int32_t hspacing = 0;
  int32_t vspacing = 0;
  // 0xAARRGGBB recolouring for drawing into pixmaps, used when usepixrgb != 0.
  int32_t pixrgb = 0;
  int32_t usepixrgb = 0;

  // --- Files ---

  // Reads one font file ("gont" or "font") from the stream's position and
  // leaves the stream just after the width table, still open. Raises
  // FontReadException, or the stream's read error when the file is cut short.
  static FontRef Read(const StreamRef& stream);

  // Writes the font as a version "gont" file; returns 0. Raises
  // std::invalid_argument, before writing anything, for a font without image
  // or whose name or author holds a character with low byte FF (it would be
  // stored as the string's end).
  int Write(const StreamRef& stream) const;

  // A new PIXEL_RGBA8888 atlas of 16 x 16 cells built from image (which must
  // be present).
  PixmapRef constructpixmap() const;

  // Writes the atlas as PATH-without-extension + ".png" (level 5) and the
  // data file + ".dat" ("SFNT", version 1, name, author, metrics, widths).
  // Returns 0; raises FontExportException when a file cannot be written, and
  // before writing anything in the cases where Write refuses the font.
  int export_(const std::u16string& path) const;

  // Orderings for sorting lists of fonts: 1, 0 or -1. comparesize orders by
  // line height x mean advance; compareauthor never returns 0.
  static int comparesize(const Font& a, const Font& b);
  static int comparename(const Font& a, const Font& b);
  static int compareauthor(const Font& a, const Font& b);

  // --- Layout and drawing ---

  // charh + vspacing: the distance between two line tops at scale 1.
  int height() const;

  // Lays out text and, when draw != 0, draws it with its top left at (x, y).
  // box may be null; otherwise box.x is the wrapping width (0 = none), box.y
  // the height limit (0 = none) and box.z the most characters taken (0 or
  // less = all). unscaled == 0 multiplies widths and heights by the drawing
  // scale. target null draws on the screen, otherwise into that pixmap.
  // Returns (widest line, height of the text, length of text).
  // Lines break at codes 10, 13 and 255; wrapping is per character. When the
  // height limit stops the layout, the result covers the lines kept.
  VectorRef Draw(const std::u16string& text, int x, int y, int align, const VectorRef& box,
                 int draw, int unscaled, const PixmapRef& target);

  // The measurement of text at scale 1, left-aligned, without drawing.
  VectorRef Size(const std::u16string& text, const VectorRef& box);

  // Draws one line from (x, y); returns its width without the spacing after
  // the last character. Into a pixmap, glyph pixels are copied 1:1 and those
  // falling outside the pixmap are left out.
  int line(const std::u16string& text, int x, int y, int unscaled, const PixmapRef& target);

  // Recolour glyphs drawn into pixmaps with 0xAARRGGBB colour / stop doing so.
  int setpixcolor(int32_t colour);
  int clearpixcolor();

  // The colour with alpha min(alpha a, alpha b) and the red, green, blue of b.
  static int32_t getpixel(int32_t a, int32_t b);
};

// The font used when a drawing or measuring call names none; null at start.
FontRef currentfont();

// Replaces the current font (null clears it); returns 0.
int setfont(const FontRef& font);

// Reads a font from a URL; null when it cannot be opened. The first font
// loaded while there is no current font becomes the current one. Errors in
// the file itself raise as Font::Read does.
FontRef loadfont(const std::u16string& url);

// Draws text with its top left at (x, y) truncated, left-aligned at the
// drawing scale, with font or else the current font; with neither the text
// is printed to standard output instead. Returns 0.
int drawtext(const std::u16string& text, float x, float y, const FontRef& font = nullptr);

// Width of text in font (or the current font) at scale 1; 0 with no font.
int textwidth(const std::u16string& text, const FontRef& font = nullptr);

}  // namespace skyloom

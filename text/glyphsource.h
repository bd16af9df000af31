// The readable source form of an image font: metrics, name and author as
// "key value" lines and one block of '#'/'.' rows per character. It is parsed
// into a GlyphSource, which paints the 16 x 16 glyph atlas of a Font.
//
// Format (one item per line; lines starting with ';' are comments):
//
//   name Brisle              font name (rest of the line, Latin-1)
//   author Someone           font author (rest of the line)
//   cell 6 8                 cell width and height of the atlas
//   charh 8                  also maxw, hspacing, vspacing, base, top
//   glyph 65 A               a character block: code (decimal or 0x..),
//   .###.                    then exactly "cell height" rows of '#' (ink)
//   #...#                    and '.' (blank). All rows of a block have the
//   ...                      same length, which is the advance width.
//
// Codes not given a block have width 0 and an empty cell.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/pixmap.h"
#include "text/font.h"

namespace skyloom {

// A syntax or consistency error, its text starting "line N: ".
class GlyphSourceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One character's picture: rows[y][x] is true where the glyph has ink.
struct GlyphPicture {
  bool defined = false;
  int width = 0;
  std::vector<std::vector<bool>> rows;
};

struct GlyphSource {
  // Largest cell the format accepts in either direction.
  static constexpr int MAX_CELL = 64;

  std::u16string name = u"unnamed";
  std::u16string author = u"unknown";
  int cellw = 0;
  int cellh = 0;
  int32_t charh = 0;
  int32_t maxw = 0;
  int32_t hspacing = 0;
  int32_t vspacing = 0;
  int32_t base = 0;
  int32_t top = 0;
  std::array<GlyphPicture, 256> glyphs;

  // Parses the text of a glyph source file; raises GlyphSourceError.
  static GlyphSource Parse(std::string_view text);

  // The advance width of every code (0 for codes without a block).
  std::array<int32_t, 256> Widths() const;

  // A PIXEL_RGBA8888 atlas of 16 x 16 cells, character i in column i mod 16
  // and row i div 16: ink is opaque white, everything else transparent white.
  PixmapRef BuildAtlas() const;
};

// A font with the source's metrics, name, author and widths, whose image is
// the atlas cut into 256 frames.
FontRef FontFromGlyphSource(const GlyphSource& source);

}  // namespace skyloom

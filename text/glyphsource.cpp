// Parsing of the readable glyph source format and painting of the glyph
// atlas from it. The format is described in glyphsource.h.
#include "text/glyphsource.h"

#include <charconv>

#include "runtime/strings.h"

namespace skyloom {
namespace {

constexpr uint32_t kInk = 0xFFFFFFFFu;
constexpr uint32_t kBlank = 0x00FFFFFFu;

// Splits a text into lines without their line ends (LF or CR LF).
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

std::string_view TrimSpaces(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The first word of s; s is left holding the rest, trimmed.
std::string_view TakeWord(std::string_view& s) {
  s = TrimSpaces(s);
  size_t end = s.find_first_of(" \t");
  std::string_view word = s.substr(0, end);
  s = end == std::string_view::npos ? std::string_view() : TrimSpaces(s.substr(end));
  return word;
}

class Parser {
 public:
  explicit Parser(std::string_view text) : _lines(SplitLines(text)) {}

  GlyphSource Run() {
    while (_next < _lines.size()) {
      const std::string_view line = TrimSpaces(_lines[_next++]);
      if (line.empty() || line.front() == ';') continue;
      Statement(line);
    }
    if (_source.cellw == 0) Fail(_lines.size(), "no \"cell\" line");
    return std::move(_source);
  }

 private:
  [[noreturn]] void Fail(size_t line, const std::string& message) const {
    throw GlyphSourceError("line " + std::to_string(line) + ": " + message);
  }

  int Number(std::string_view word, size_t line) const {
    int base = 10;
    if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
      word.remove_prefix(2);
      base = 16;
    }
    int value = 0;
    const char* end = word.data() + word.size();
    auto [ptr, error] = std::from_chars(word.data(), end, value, base);
    if (word.empty() || error != std::errc() || ptr != end) {
      Fail(line, "\"" + std::string(word) + "\" is not a number");
    }
    return value;
  }

  void Statement(std::string_view line) {
    const size_t number = _next;
    std::string_view rest = line;
    const std::string_view key = TakeWord(rest);
    if (key == "name") {
      _source.name = FromBytes(rest);
    } else if (key == "author") {
      _source.author = FromBytes(rest);
    } else if (key == "cell") {
      Cell(rest, number);
    } else if (key == "glyph") {
      Glyph(rest, number);
    } else if (int32_t* field = Metric(key)) {
      *field = Number(TakeWord(rest), number);
      if (!rest.empty()) Fail(number, "unexpected text after the value");
    } else {
      Fail(number, "unknown keyword \"" + std::string(key) + "\"");
    }
  }

  int32_t* Metric(std::string_view key) {
    if (key == "charh") return &_source.charh;
    if (key == "maxw") return &_source.maxw;
    if (key == "hspacing") return &_source.hspacing;
    if (key == "vspacing") return &_source.vspacing;
    if (key == "base") return &_source.base;
    if (key == "top") return &_source.top;
    return nullptr;
  }

  void Cell(std::string_view rest, size_t line) {
    if (_source.cellw != 0) Fail(line, "the cell size is given twice");
    const int w = Number(TakeWord(rest), line);
    const int h = Number(TakeWord(rest), line);
    if (w < 1 || h < 1 || w > GlyphSource::MAX_CELL || h > GlyphSource::MAX_CELL) {
      Fail(line, "cell size out of range 1 to " + std::to_string(GlyphSource::MAX_CELL));
    }
    _source.cellw = w;
    _source.cellh = h;
  }

  void Glyph(std::string_view rest, size_t line) {
    if (_source.cellw == 0) Fail(line, "\"glyph\" before \"cell\"");
    const int code = Number(TakeWord(rest), line);
    if (code < 0 || code > 255) Fail(line, "character code out of range 0 to 255");
    GlyphPicture& glyph = _source.glyphs[code];
    if (glyph.defined) Fail(line, "character " + std::to_string(code) + " is given twice");
    glyph.defined = true;
    for (int y = 0; y < _source.cellh; ++y) {
      if (_next >= _lines.size()) Fail(_next, "the glyph ends before its last row");
      const std::string_view text = TrimSpaces(_lines[_next++]);
      glyph.rows.push_back(Row(text, _next));
    }
    glyph.width = static_cast<int>(glyph.rows.front().size());
    for (const auto& row : glyph.rows) {
      if (static_cast<int>(row.size()) != glyph.width) {
        Fail(line, "the rows of character " + std::to_string(code) + " differ in length");
      }
    }
  }

  std::vector<bool> Row(std::string_view text, size_t line) const {
    if (static_cast<int>(text.size()) > _source.cellw) Fail(line, "row wider than the cell");
    std::vector<bool> row;
    for (char c : text) {
      if (c != '#' && c != '.') Fail(line, "a row holds only '#' and '.'");
      row.push_back(c == '#');
    }
    return row;
  }

  std::vector<std::string_view> _lines;
  size_t _next = 0;
  GlyphSource _source;
};

}  // namespace

GlyphSource GlyphSource::Parse(std::string_view text) {
  return Parser(text).Run();
}

std::array<int32_t, 256> GlyphSource::Widths() const {
  std::array<int32_t, 256> widths{};
  for (int i = 0; i < 256; ++i) widths[i] = glyphs[i].width;
  return widths;
}

PixmapRef GlyphSource::BuildAtlas() const {
  PixmapRef atlas = TPixmap::Create(cellw * 16, cellh * 16, PIXEL_RGBA8888, 4);
  for (int y = 0; y < atlas->height; ++y) {
    for (int x = 0; x < atlas->width; ++x) atlas->WritePixel(x, y, kBlank);
  }
  for (int code = 0; code < 256; ++code) {
    const int left = cellw * (code % 16);
    const int top_row = cellh * (code / 16);
    const GlyphPicture& glyph = glyphs[code];
    for (size_t y = 0; y < glyph.rows.size(); ++y) {
      for (size_t x = 0; x < glyph.rows[y].size(); ++x) {
        if (glyph.rows[y][x]) atlas->WritePixel(left + x, top_row + y, kInk);
      }
    }
  }
  return atlas;
}

FontRef FontFromGlyphSource(const GlyphSource& source) {
  FontRef font = Font::Create();
  font->name = source.name;
  font->author = source.author;
  font->charh = source.charh;
  font->maxw = source.maxw;
  font->hspacing = source.hspacing;
  font->vspacing = source.vspacing;
  font->base = source.base;
  font->top = source.top;
  font->charw = source.Widths();
  font->image = LoadAnimImageFrom(source.BuildAtlas(), source.cellw, source.cellh, 0, 256);
  return font;
}

}  // namespace skyloom

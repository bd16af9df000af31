// The image font file format: reading versions "gont" and "font", writing
// "gont", rebuilding the atlas from the glyph frames, exporting the atlas and
// an "SFNT" data file, the font orderings and the current font.
#include "text/font.h"

#include <string>

#include "imaging/png.h"
#include "runtime/file_output.h"
#include "runtime/open.h"
#include "runtime/paths.h"
#include "runtime/strings.h"
#include "text/numeric.h"

namespace skyloom {
namespace {

constexpr int kCellsPerRow = 16;
constexpr int kGlyphCount = 256;
constexpr char kReadError[] = "Failed to read font";
constexpr char kExportMagic[] = "SFNT";
constexpr int32_t kExportVersion = 1;

FontRef& CurrentFontSlot() {
  static FontRef font;
  return font;
}

[[noreturn]] void FailRead(const std::string& why) {
  throw FontReadException(std::string(kReadError) + ": " + why);
}

// Each character as the complement of its low 8 bits, then a 00 byte.
void WriteScrambled(TStream& stream, const std::u16string& text) {
  for (char16_t c : text) stream.WriteByte(~c & 0xFF);
  stream.WriteByte(0);
}

// A character whose low 8 bits are FF would be written as the terminator,
// and the bytes after it would be read as the following fields.
bool Storable(const std::u16string& text) {
  for (char16_t c : text) {
    if ((c & 0xFF) == 0xFF) return false;
  }
  return true;
}

const char* UnstorableField(const Font& font) {
  if (!Storable(font.name)) return "name";
  if (!Storable(font.author)) return "author";
  return nullptr;
}

std::u16string ReadScrambled(TStream& stream) {
  std::u16string text;
  for (int b = stream.ReadByte(); b != 0; b = stream.ReadByte()) {
    text.push_back(static_cast<char16_t>(~b & 0xFF));
  }
  return text;
}

ImageRef ReadAtlas(const StreamRef& stream) {
  PixmapRef atlas = ReadPNG(stream);
  if (!atlas) FailRead("the glyph atlas is not a readable PNG image");
  if (atlas->width < kCellsPerRow || atlas->height < kCellsPerRow) {
    FailRead("the glyph atlas is " + std::to_string(atlas->width) + " x " +
             std::to_string(atlas->height) + " pixels, less than 16 x 16");
  }
  ImageRef image = LoadAnimImageFrom(atlas, atlas->width / kCellsPerRow,
                                     atlas->height / kCellsPerRow, 0, kGlyphCount);
  if (!image) FailRead("the glyph atlas cannot be cut into 256 cells");
  return image;
}

std::array<int32_t, 256> ReadWidths(const StreamRef& stream) {
  const std::vector<int32_t> values = ReadIntArrayPNG(stream);
  if (values.empty()) FailRead("the width table is not a readable PNG image");
  if (values.size() != kGlyphCount) {
    FailRead("the width table holds " + std::to_string(values.size()) + " entries instead of 256");
  }
  std::array<int32_t, 256> widths{};
  std::copy(values.begin(), values.end(), widths.begin());
  return widths;
}

// Line height times mean advance, in 32-bit floats as the ordering defines it.
int32_t SizeMetric(const Font& font) {
  const float h = static_cast<float>(font.charh) + static_cast<float>(font.vspacing);
  float sum = 0.0f;
  for (int32_t w : font.charw) sum += static_cast<float>(w);
  const float w = static_cast<float>(font.hspacing) + sum / 255.0f;
  const float metric = h * w;
  return TruncateToInt(metric);
}

int Sign(int value) {
  return (value > 0) - (value < 0);
}

}  // namespace

FontRef Font::Create() {
  return std::make_shared<Font>();
}

FontRef Font::Read(const StreamRef& stream) {
  const int32_t magic = stream->ReadInt();
  int base = 0;
  int top = 0;
  if (magic == MAGIC_GONT) {
    base = stream->ReadShort();
    top = stream->ReadShort();
  } else if (magic != MAGIC_FONT) {
    throw FontReadException(kReadError);
  }
  FontRef font = Create();
  font->image = ReadAtlas(stream);
  font->name = ReadScrambled(*stream);
  font->author = ReadScrambled(*stream);
  font->charh = stream->ReadInt();
  if (magic == MAGIC_FONT) {
    base = font->charh;
    top = 0;
  }
  font->base = base;
  font->top = top;
  font->maxw = stream->ReadInt();
  font->hspacing = stream->ReadInt();
  font->vspacing = stream->ReadInt();
  stream->ReadByte();  // reserved
  font->charw = ReadWidths(stream);
  return font;
}

int Font::Write(const StreamRef& stream) const {
  PixmapRef atlas = constructpixmap();
  if (!atlas) throw std::invalid_argument("A font without glyph images cannot be written");
  if (const char* field = UnstorableField(*this)) {
    throw std::invalid_argument(std::string("A font ") + field +
                                " with a character whose low byte is FF cannot be written");
  }
  stream->WriteInt(MAGIC_GONT);
  stream->WriteShort(base);
  stream->WriteShort(top);
  WritePNG(stream, atlas, WRITE_PNG_LEVEL);
  WriteScrambled(*stream, name);
  WriteScrambled(*stream, author);
  stream->WriteInt(charh);
  stream->WriteInt(maxw);
  stream->WriteInt(hspacing);
  stream->WriteInt(vspacing);
  stream->WriteByte(0);
  WriteIntArrayPNG(stream, std::vector<int32_t>(charw.begin(), charw.end()));
  return 0;
}

PixmapRef Font::constructpixmap() const {
  if (!image || image->frames.empty() || !image->frames[0]) return nullptr;
  const int cellw = image->frames[0]->width;
  const int cellh = image->frames[0]->height;
  PixmapRef atlas =
      TPixmap::Create(kCellsPerRow * image->width, kCellsPerRow * image->height, PIXEL_RGBA8888, 4);
  std::fill(atlas->pixels, atlas->pixels + atlas->capacity, 0);
  for (size_t i = 0; i < image->frames.size() && i < kGlyphCount; ++i) {
    const TPixmap& frame = *image->frames[i];
    const int left = cellw * static_cast<int>(i % kCellsPerRow);
    const int top_row = cellh * static_cast<int>(i / kCellsPerRow);
    // Frames of one image share a size; the bounds keep a stray one inside.
    for (int y = 0; y < cellh && y < frame.height && top_row + y < atlas->height; ++y) {
      for (int x = 0; x < cellw && x < frame.width && left + x < atlas->width; ++x) {
        atlas->WritePixel(left + x, top_row + y, frame.ReadPixel(x, y));
      }
    }
  }
  return atlas;
}

int Font::export_(const std::u16string& path) const {
  PixmapRef atlas = constructpixmap();
  if (!atlas) throw FontExportException("A font without glyph images cannot be exported");
  if (const char* field = UnstorableField(*this)) {
    throw FontExportException(std::string("A font ") + field +
                              " with a character whose low byte is FF cannot be exported");
  }
  const std::u16string base_path = WithoutExtension(path);
  const std::string picture_failure = SavePNGFile(atlas, base_path + u".png", EXPORT_PNG_LEVEL);
  if (!picture_failure.empty()) {
    throw FontExportException(CannotWriteMessage(ToUtf8(base_path) + ".png", picture_failure));
  }
  const std::string data_failure = WriteFileSafely(base_path + u".dat", [&](const StreamRef& data) {
    data->WriteString(FromBytes(kExportMagic));
    data->WriteInt(kExportVersion);
    WriteScrambled(*data, name);
    WriteScrambled(*data, author);
    for (int32_t value : {maxw, charh, hspacing, vspacing, top, base, 0}) data->WriteInt(value);
    for (int32_t width : charw) data->WriteInt(width);
    return true;
  });
  if (!data_failure.empty()) {
    throw FontExportException(CannotWriteMessage(ToUtf8(base_path) + ".dat", data_failure));
  }
  return 0;
}

int Font::comparesize(const Font& a, const Font& b) {
  const int32_t ma = SizeMetric(a);
  const int32_t mb = SizeMetric(b);
  return (ma > mb) - (ma < mb);
}

int Font::comparename(const Font& a, const Font& b) {
  return Sign(CompareUnits(a.name, b.name));
}

int Font::compareauthor(const Font& a, const Font& b) {
  return CompareUnits(a.author, b.author) >= 0 ? 1 : -1;
}

FontRef currentfont() {
  return CurrentFontSlot();
}

int setfont(const FontRef& font) {
  CurrentFontSlot() = font;
  return 0;
}

FontRef loadfont(const std::u16string& url) {
  StreamRef stream = OpenInput(url);
  if (!stream) return nullptr;
  FontRef font = Font::Read(stream);
  stream->Close();
  if (!CurrentFontSlot()) CurrentFontSlot() = font;
  return font;
}

}  // namespace skyloom

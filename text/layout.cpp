// Text layout and drawing with an image font: lines broken at line-break
// characters and wrapped per character at a box width, measured at the
// drawing scale, and drawn on the screen or composited into a pixmap.
#include "text/font.h"

#include <algorithm>
#include <vector>

#include "imaging/blend.h"
#include "runtime/console.h"
#include "text/numeric.h"

namespace skyloom {
namespace {

constexpr uint32_t kAlphaMask = 0xFF000000u;
constexpr int kFullOpacity = 255;

bool IsLineBreak(int code) {
  return code == 10 || code == 13 || code == 255;
}

int CodeOf(char16_t c) {
  return c & 0xFF;
}

int32_t Unsigned32(uint32_t value) {
  return static_cast<int32_t>(value);
}

// The horizontal and vertical factors that layout multiplies by.
struct Scale {
  double x = 1.0;
  double y = 1.0;
};

Scale LayoutScale(int unscaled) {
  if (unscaled != 0) return {};
  float sx = 1.0f;
  float sy = 1.0f;
  GetDrawScale(sx, sy);
  return {sx, sy};
}

// The left edge of a line of width l in a block of width w.
int AlignedLeft(int align, int x, int w, int l) {
  const int64_t left = static_cast<int64_t>(x);
  if (align == Font::RALIGN) return TruncateToInt(static_cast<double>(left + w - l));
  if (align == Font::CENTER) return TruncateToInt(static_cast<double>(left + (w / 2 - l / 2)));
  return x;
}

}  // namespace

int Font::height() const {
  return TruncateToInt(static_cast<double>(charh) + vspacing);
}

VectorRef Font::Draw(const std::u16string& text, int x, int y, int align, const VectorRef& box,
                     int draw, int unscaled, const PixmapRef& target) {
  const Scale scale = LayoutScale(unscaled);
  if (!image) return Vector::Create(0, 0, 0);

  VectorRef result = Vector::Create(0, 0, static_cast<int32_t>(text.size()));
  // Measuring keeps only the open line and not its characters.
  const bool keep_lines = draw != 0;
  std::vector<lin> lines(1);
  int32_t e = 0;         // top of the open line
  bool trimmed = false;  // the open line's trailing spacing is already removed
  size_t n = text.size();
  if (box && box->z > 0) n = std::min(n, static_cast<size_t>(box->z));

  for (size_t i = 0; i < n; ++i) {
    const int c = CodeOf(text[i]);
    const bool is_break = IsLineBreak(c);
    lin& open = lines.back();
    const bool wraps = !is_break && box && box->x != 0 &&
                       open.l + static_cast<double>(charw[c]) * scale.x > box->x;
    if (is_break || wraps) {
      const int32_t next_top = TruncateToInt(e + (static_cast<double>(vspacing) + charh) * scale.y);
      if (open.l > 0) open.l = TruncateToInt(open.l - hspacing * scale.x);
      if (box && box->y != 0 && next_top + charh * scale.y > box->y) {
        // The next line does not fit: the text ends with the open line.
        trimmed = true;
        break;
      }
      e = next_top;
      result->x = std::max(result->x, open.l);
      if (keep_lines) {
        lines.emplace_back();
      } else {
        open = lin();
      }
      lines.back().y = e;
    }
    if (!is_break) {
      lin& line_now = lines.back();
      if (keep_lines) line_now.t.push_back(text[i]);
      line_now.l = TruncateToInt(line_now.l + (static_cast<double>(hspacing) + charw[c]) * scale.x);
    }
  }

  lin& last = lines.back();
  result->y = TruncateToInt(e + charh * scale.y);
  if (!trimmed && last.l > 0) last.l = TruncateToInt(last.l - hspacing * scale.x);
  result->x = std::max(result->x, last.l);

  if (draw != 0) {
    const int w = box ? box->x : result->x;
    for (const lin& each : lines) {
      const int top = TruncateToInt(static_cast<double>(y) + each.y);
      line(each.t, AlignedLeft(align, x, w, each.l), top, unscaled, target);
    }
  }
  return result;
}

VectorRef Font::Size(const std::u16string& text, const VectorRef& box) {
  return Draw(text, 0, 0, LALIGN, box, 0, 1, nullptr);
}

int Font::line(const std::u16string& text, int x, int y, int unscaled, const PixmapRef& target) {
  if (stagger != 0) {
    // In 64 bits: the most negative int divided by -1 does not fit in 32.
    x = static_cast<int>(int64_t{x} / stagger * stagger);
    y = static_cast<int>(int64_t{y} / stagger * stagger);
  }
  const double sx = LayoutScale(unscaled).x;
  int32_t d = 0;
  for (char16_t ch : text) {
    const int c = CodeOf(ch);
    if (!target) {
      DrawImageAt(image, static_cast<float>(static_cast<double>(x) + d), static_cast<float>(y), c);
    } else if (image && c < static_cast<int>(image->frames.size())) {
      const TPixmap& glyph = *image->frames[c];
      // Only the glyph area that exists in the frame and lands in the target.
      const int columns = std::min<int>(maxw, glyph.width);
      const int rows = std::min<int>(charh, glyph.height);
      for (int px = 0; px < columns; ++px) {
        const int64_t tx = static_cast<int64_t>(x) + d + px;
        if (tx < 0 || tx >= target->width) continue;
        for (int py = 0; py < rows; ++py) {
          const int64_t ty = static_cast<int64_t>(y) + py;
          if (ty < 0 || ty >= target->height) continue;
          int32_t p = Unsigned32(glyph.ReadPixel(px, py));
          if (usepixrgb != 0) p = getpixel(p, pixrgb);
          blendpixmappixel(target, static_cast<int>(tx), static_cast<int>(ty),
                           static_cast<uint32_t>(p), kFullOpacity);
        }
      }
    }
    d = TruncateToInt(d + (static_cast<double>(hspacing) + charw[c]) * sx);
  }
  return TruncateToInt(d - hspacing * sx);
}

int Font::setpixcolor(int32_t colour) {
  pixrgb = colour;
  usepixrgb = 1;
  return 0;
}

int Font::clearpixcolor() {
  usepixrgb = 0;
  return 0;
}

int32_t Font::getpixel(int32_t a, int32_t b) {
  const uint32_t alpha_a = static_cast<uint32_t>(a) & kAlphaMask;
  const uint32_t alpha_b = static_cast<uint32_t>(b) & kAlphaMask;
  return Unsigned32(std::min(alpha_a, alpha_b) | (static_cast<uint32_t>(b) & ~kAlphaMask));
}

int drawtext(const std::u16string& text, float x, float y, const FontRef& font) {
  const FontRef use = font ? font : currentfont();
  if (!use) {
    PrintLine(text);
    return 0;
  }
  use->Draw(text, TruncateToInt(x), TruncateToInt(y), Font::LALIGN, nullptr, 1, 0, nullptr);
  return 0;
}

int textwidth(const std::u16string& text, const FontRef& font) {
  const FontRef use = font ? font : currentfont();
  if (!use) return 0;
  return use->Size(text, nullptr)->x;
}

}  // namespace skyloom

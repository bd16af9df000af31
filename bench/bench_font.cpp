// Image font speed, each against a baseline in the same run: reading the
// label font against decoding its atlas PNG alone, measuring a label against
// summing its advance widths, and drawing a label into a pixmap against
// copying the same glyph pixels without compositing.
#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>

#include "assets/embedded.h"
#include "imaging/png.h"
#include "runtime/open.h"
#include "text/font.h"

namespace skyloom {
namespace {

constexpr char16_t kFontUrl[] = u"incbin::font_data/brisle.ift";
constexpr char16_t kLabel[] = u"Callisto (Jupiter IV)";
constexpr int kAtlasOffset = 8;  // after "gont", base and top

const FontRef& LabelFont() {
  static const FontRef font = [] {
    RegisterEmbeddedResources();
    FontRef loaded = Font::Read(OpenInput(kFontUrl));
    if (!loaded) throw std::runtime_error("no label font");
    return loaded;
  }();
  return font;
}

void BM_ReadFont(benchmark::State& state) {
  RegisterEmbeddedResources();
  for (auto _ : state) benchmark::DoNotOptimize(Font::Read(OpenInput(kFontUrl)));
}
BENCHMARK(BM_ReadFont);

// Baseline: the atlas datastream alone, without cutting frames or the rest.
void BM_ReadFontAtlasPngOnly(benchmark::State& state) {
  RegisterEmbeddedResources();
  for (auto _ : state) {
    StreamRef stream = OpenInput(kFontUrl);
    stream->Seek(kAtlasOffset);
    benchmark::DoNotOptimize(ReadPNG(stream));
  }
}
BENCHMARK(BM_ReadFontAtlasPngOnly);

void BM_SizeLabel(benchmark::State& state) {
  const FontRef& font = LabelFont();
  const std::u16string label(kLabel);
  for (auto _ : state) benchmark::DoNotOptimize(font->Size(label, nullptr));
}
BENCHMARK(BM_SizeLabel);

// Baseline: the width of one line as a plain sum of advances.
void BM_SumLabelWidths(benchmark::State& state) {
  const FontRef& font = LabelFont();
  const std::u16string label(kLabel);
  for (auto _ : state) {
    int width = 0;
    for (char16_t c : label) width += font->charw[c & 0xFF] + font->hspacing;
    benchmark::DoNotOptimize(width - font->hspacing);
  }
}
BENCHMARK(BM_SumLabelWidths);

PixmapRef LabelCanvas() {
  PixmapRef canvas = TPixmap::Create(256, 16, PIXEL_RGBA8888, 4);
  std::fill(canvas->pixels, canvas->pixels + canvas->capacity, 0);
  return canvas;
}

void BM_DrawLabelIntoPixmap(benchmark::State& state) {
  const FontRef& font = LabelFont();
  const std::u16string label(kLabel);
  PixmapRef canvas = LabelCanvas();
  font->setpixcolor(static_cast<int32_t>(0xFFFFD040u));
  for (auto _ : state) {
    font->Draw(label, 0, 0, Font::LALIGN, nullptr, 1, 1, canvas);
    benchmark::ClobberMemory();
  }
  font->clearpixcolor();
}
BENCHMARK(BM_DrawLabelIntoPixmap);

// Baseline: the same glyph areas copied pixel by pixel, no blending.
void BM_CopyLabelGlyphs(benchmark::State& state) {
  const FontRef& font = LabelFont();
  const std::u16string label(kLabel);
  PixmapRef canvas = LabelCanvas();
  for (auto _ : state) {
    int x = 0;
    for (char16_t ch : label) {
      const int c = ch & 0xFF;
      const TPixmap& glyph = *font->image->frames[c];
      for (int px = 0; px < font->maxw; ++px) {
        for (int py = 0; py < font->charh; ++py) {
          canvas->WritePixel(x + px, py, glyph.ReadPixel(px, py));
        }
      }
      x += font->charw[c] + font->hspacing;
    }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CopyLabelGlyphs);

}  // namespace
}  // namespace skyloom

BENCHMARK_MAIN();

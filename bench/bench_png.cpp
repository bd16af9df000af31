// PNG coding speed: WritePNG and ReadPNG of a 1920 x 1080 RGBA screenshot
// through a file stream, each against libpng driven directly on a FILE* with
// the same settings, so the ratio shows what the stream layer costs.
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "imaging/png.h"
#include "runtime/open.h"

namespace skyloom {
namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kLevel = 3;  // the screenshot level

std::filesystem::path BenchFile(const char* name) {
  const auto dir = std::filesystem::temp_directory_path() / "skyloom_bench_png";
  std::filesystem::create_directories(dir);
  return dir / name;
}

std::u16string Url(const std::filesystem::path& path) {
  const std::string text = path.string();
  return std::u16string(text.begin(), text.end());
}

// Something like a screen: smooth gradients crossed by bands of fine detail,
// so that the compressor meets both easy and hard rows.
PixmapRef Screen() {
  auto pixmap = TPixmap::Create(kWidth, kHeight, PIXEL_RGBA8888, 4);
  uint32_t noise = 12345;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      noise = noise * 1664525u + 1013904223u;
      const bool detailed = (y / 60) % 3 == 0 && (x / 80) % 2 == 0;
      const uint32_t r = x * 255 / kWidth, g = y * 255 / kHeight;
      const uint32_t b = detailed ? (noise >> 24) : (x + y) & 0xFF;
      pixmap->WritePixel(x, y, 0xFF000000u | r << 16 | g << 8 | b);
    }
  }
  return pixmap;
}

const PixmapRef& SharedScreen() {
  static const PixmapRef screen = Screen();
  return screen;
}

[[noreturn]] void Fail(const char* what) {
  throw std::runtime_error(what);
}

// libpng on a FILE*, the same calls WritePNG makes.
void LibpngWrite(const std::filesystem::path& path, const TPixmap& pixmap) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) Fail("cannot open bench file");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::vector<png_bytep> rows(size_t(pixmap.height));
  for (int y = 0; y < pixmap.height; ++y) rows[size_t(y)] = pixmap.PixelPtr(0, y);
  if (setjmp(png_jmpbuf(png))) Fail("libpng write failed");
  png_init_io(png, file);
  png_set_compression_level(png, kLevel);
  png_set_IHDR(png, info, png_uint_32(pixmap.width), png_uint_32(pixmap.height), 8,
               PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_set_rows(png, info, rows.data());
  png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
}

// libpng on a FILE*, the same transforms ReadPNG asks for; the rows stay in
// libpng's own buffers.
size_t LibpngRead(const std::filesystem::path& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) Fail("cannot open bench file");
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) Fail("libpng read failed");
  png_init_io(png, file);
  png_read_png(png, info, PNG_TRANSFORM_STRIP_16 | PNG_TRANSFORM_EXPAND, nullptr);
  const size_t height = png_get_image_height(png, info);
  png_bytepp rows = png_get_rows(png, info);
  benchmark::DoNotOptimize(rows[height - 1][0]);
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(file);
  return height;
}

void WritePngThroughStream(benchmark::State& state) {
  const auto path = BenchFile("skyloom_write.png");
  for (auto _ : state) {
    if (SavePixmapAsPNG(SharedScreen(), Url(path), kLevel) != 1) Fail("WritePNG failed");
  }
  state.SetBytesProcessed(state.iterations() * int64_t(kWidth) * kHeight * 4);
}

void WritePngLibpngBaseline(benchmark::State& state) {
  const auto path = BenchFile("libpng_write.png");
  for (auto _ : state) LibpngWrite(path, *SharedScreen());
  state.SetBytesProcessed(state.iterations() * int64_t(kWidth) * kHeight * 4);
}

const std::filesystem::path& EncodedScreen() {
  static const std::filesystem::path path = [] {
    auto target = BenchFile("screen.png");
    LibpngWrite(target, *SharedScreen());
    return target;
  }();
  return path;
}

void ReadPngThroughStream(benchmark::State& state) {
  const auto& path = EncodedScreen();
  for (auto _ : state) {
    const PixmapRef pixmap = ReadPNG(OpenInput(Url(path)));
    if (!pixmap) Fail("ReadPNG failed");
    benchmark::DoNotOptimize(pixmap->pixels);
  }
  state.SetBytesProcessed(state.iterations() * int64_t(kWidth) * kHeight * 4);
}

void ReadPngLibpngBaseline(benchmark::State& state) {
  const auto& path = EncodedScreen();
  for (auto _ : state) benchmark::DoNotOptimize(LibpngRead(path));
  state.SetBytesProcessed(state.iterations() * int64_t(kWidth) * kHeight * 4);
}

BENCHMARK(WritePngThroughStream)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(WritePngLibpngBaseline)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(ReadPngThroughStream)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(ReadPngLibpngBaseline)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
}  // namespace skyloom

BENCHMARK_MAIN();

// Fuzzes the image font reader: any bytes read as a font file from a memory
// stream must either give a font or raise, never crash, hang or leak.
#include <cstddef>
#include <cstdint>
#include <exception>

#include "runtime/stream.h"
#include "text/font.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto stream = skyloom::TRamStream::CreateReadOnly(data, static_cast<int64_t>(size));
  try {
    skyloom::FontRef font = skyloom::Font::Read(stream);
    // Measuring walks the width table and the frames of whatever was read.
    font->Size(u"Fuzz\nA\u00ff\u0141", skyloom::Vector::Create(7, 30, 0));
    if (skyloom::PixmapRef atlas = font->constructpixmap()) (void)atlas->ReadPixel(0, 0);
  } catch (const std::exception&) {
    // Damaged input is reported by raising; that is the expected outcome.
  }
  return 0;
}

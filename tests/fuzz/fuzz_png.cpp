// Fuzzes the PNG decoder: any bytes must decode to a pixmap of the size the
// header claims, give null, or raise the stream's read error; never crash,
// hang, leak or read outside the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "imaging/png.h"
#include "runtime/stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto stream = skyloom::TRamStream::CreateReadOnly(data, static_cast<int64_t>(size));
  try {
    if (skyloom::PixmapRef pixmap = skyloom::ReadPNG(stream)) {
      if (pixmap->width <= 0 || pixmap->height <= 0) std::abort();
      // Touch the last pixel: the buffer must hold every row it claims.
      (void)pixmap->ReadPixel(pixmap->width - 1, pixmap->height - 1);
    }
  } catch (const skyloom::TStreamReadException&) {
    // A datastream cut short surfaces as the stream's read error.
  }
  return 0;
}

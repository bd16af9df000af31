// Writing a screenshot through a temporary file renamed over the final name.
#include "app/screenshot.h"

#include <cstdio>
#include <exception>

#include "imaging/png.h"
#include "runtime/open.h"
#include "runtime/paths.h"

namespace skyloom {

namespace {

constexpr char16_t kFolder[] = u"screenshots/";
constexpr char16_t kTemporarySuffix[] = u".part";

// Writes the whole PNG and closes the file; false when any byte was refused.
bool WriteComplete(const PixmapRef& pixmap, const std::u16string& path) {
  const StreamRef stream = OpenOutput(path);
  if (!stream) return false;
  bool written = false;
  try {
    written = WritePNG(stream, pixmap, SCREENSHOT_PNG_LEVEL) == 1;
  } catch (const std::exception&) {
    written = false;  // the stream refused bytes part-way
  }
  return stream->Close() == 0 && written;
}

}  // namespace

std::u16string ScreenshotPath(const std::u16string& time_text) {
  std::u16string name = time_text;
  for (char16_t& unit : name) {
    if (unit == u':') unit = u'.';
  }
  return kFolder + name + u".png";
}

int SaveScreenshot(const PixmapRef& pixmap, const std::u16string& path) {
  const std::u16string temporary = path + kTemporarySuffix;
  std::string native_temporary, native_path;
  if (!pixmap || !NativePath(temporary, native_temporary) || !NativePath(path, native_path)) {
    return 0;
  }
  if (WriteComplete(pixmap, temporary) &&
      std::rename(native_temporary.c_str(), native_path.c_str()) == 0) {
    return 1;
  }
  std::remove(native_temporary.c_str());
  return 0;
}

}  // namespace skyloom

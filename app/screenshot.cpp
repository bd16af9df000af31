// Writing a screenshot through a temporary file renamed over the final name
// (SavePNGFile, which writes every file of the programs that way).
#include "app/screenshot.h"

#include "imaging/png.h"

namespace skyloom {

namespace {

constexpr char16_t kFolder[] = u"screenshots/";

}  // namespace

std::u16string ScreenshotPath(const std::u16string& time_text) {
  std::u16string name = time_text;
  for (char16_t& unit : name) {
    if (unit == u':') unit = u'.';
  }
  return kFolder + name + u".png";
}

int SaveScreenshot(const PixmapRef& pixmap, const std::u16string& path) {
  return SavePNGFile(pixmap, path, SCREENSHOT_PNG_LEVEL).empty() ? 1 : 0;
}

}  // namespace skyloom

// Screenshots: the whole display saved as an 8-bit RGBA PNG named after the
// local time of day, in a "screenshots" folder that must already exist.
#pragma once

#include <string>

#include "runtime/pixmap.h"

namespace skyloom {

constexpr int SCREENSHOT_PNG_LEVEL = 3;

// "screenshots/" + the time text with every ":" turned into "." + ".png":
// "09:07:02" gives "screenshots/09.07.02.png".
std::u16string ScreenshotPath(const std::u16string& time_text);

// Writes pixmap to path as a PNG at level 3. The bytes go to a temporary file
// beside path first, which replaces path only once it is complete, so a
// write that fails part-way (a full disk) leaves an earlier file of that name
// intact. Returns 1 when path now holds the picture; 0 otherwise, leaving no
// temporary file behind. A missing folder is simply a failure.
int SaveScreenshot(const PixmapRef& pixmap, const std::u16string& path);

}  // namespace skyloom

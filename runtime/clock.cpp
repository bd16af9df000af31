// Time: the wrapping millisecond clock, sleeping and the local time of day.
#include <SDL.h>

#include <ctime>

#include "runtime/display.h"

namespace skyloom {

int MillisecondClock() {
  // The low 32 bits of the tick count: a counter that wraps at 2^32.
  return static_cast<int>(static_cast<uint32_t>(SDL_GetTicks64()));
}

void SleepMilliseconds(int ms) {
  if (ms > 0) SDL_Delay(static_cast<Uint32>(ms));
}

std::u16string LocalTimeText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[16];
  const size_t length = std::strftime(text, sizeof text, "%H:%M:%S", &local);
  return std::u16string(text, text + length);
}

}  // namespace skyloom

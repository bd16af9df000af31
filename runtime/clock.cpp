// Time: the wrapping millisecond clock (the platform's, or a manual one that
// tests drive), sleeping and the local time of day.
#include <SDL.h>

#include <ctime>
#include <optional>

#include "runtime/display.h"

namespace skyloom {

namespace {

// The manual clock's reading while tests use it; empty for the real clock.
std::optional<uint32_t>& ManualClock() {
  static std::optional<uint32_t> reading;
  return reading;
}

}  // namespace

int MillisecondClock() {
  if (ManualClock()) return static_cast<int>(*ManualClock());
  // The low 32 bits of the tick count: a counter that wraps at 2^32.
  return static_cast<int>(static_cast<uint32_t>(SDL_GetTicks64()));
}

void SetManualClock(int ms) {
  ManualClock() = static_cast<uint32_t>(ms);
}

void AdvanceManualClock(int ms) {
  const uint32_t now = ManualClock().value_or(static_cast<uint32_t>(MillisecondClock()));
  ManualClock() = now + static_cast<uint32_t>(ms);
}

void UseRealClock() {
  ManualClock().reset();
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

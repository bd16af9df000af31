// Drawing the error and warning bands in the label font.
#include "app/message_bands.h"

#include "panes/label.h"
#include "runtime/display.h"
#include "runtime/strings.h"

namespace skyloom {

namespace {

struct TBandColours {
  int back_red, back_green, back_blue;
  int text_red, text_green, text_blue;
};

constexpr TBandColours kErrorColours = {128, 0, 0, 255, 255, 255};
constexpr TBandColours kWarningColours = {255, 176, 0, 0, 0, 0};

}  // namespace

void TMessageBands::ShowError(const std::string& message) {
  _error = message;
}

void TMessageBands::ClearError() {
  _error.clear();
}

void TMessageBands::ShowWarnings(const std::vector<std::string>& warnings, int now) {
  _warnings = warnings;
  _warned_at = now;
}

std::string TMessageBands::Text(int now) const {
  if (!_error.empty()) return _error;
  if (_warnings.empty() || ClockDifference(now, _warned_at) >= WARNINGS_SHOWN_MS) return "";
  const size_t count = _warnings.size();
  return std::to_string(count) + (count == 1 ? " warning: " : " warnings: ") + _warnings.front();
}

int TMessageBands::draw(int now) const {
  const std::string text = Text(now);
  const FontRef& font = labelfont();
  if (text.empty() || !font) return 0;
  const TBandColours& colours = ShowsError() ? kErrorColours : kWarningColours;
  const int height = font->height() + 2 * PADDING;
  const int top = DisplayHeight() - height;
  SetAlpha(1);
  SetColor(colours.back_red, colours.back_green, colours.back_blue);
  DrawRect(0, static_cast<float>(top), static_cast<float>(DisplayWidth()),
           static_cast<float>(height));
  SetColor(colours.text_red, colours.text_green, colours.text_blue);
  font->Draw(FromBytes(text), PADDING, top + PADDING, Font::LALIGN, nullptr, 1, 0, nullptr);
  return 0;
}

}  // namespace skyloom

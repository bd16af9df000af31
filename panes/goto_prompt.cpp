// The go-to prompt: matching bodies by name, editing, and the band it draws.
#include "panes/goto_prompt.h"

#include <algorithm>

#include "input/hotkey.h"
#include "input/us_layout.h"
#include "panes/label.h"
#include "runtime/display.h"
#include "runtime/strings.h"

namespace skyloom {

namespace {

// Space around the text inside the band.
constexpr int BAND_PADDING = 3;

enum TMatchRank { EXACT = 0, PREFIX = 1, CONTAINS = 2, NO_MATCH = 3 };

TMatchRank Rank(std::u16string_view name, std::u16string_view wanted) {
  if (name == wanted) return EXACT;
  if (name.starts_with(wanted)) return PREFIX;
  if (name.find(wanted) != std::u16string_view::npos) return CONTAINS;
  return NO_MATCH;
}

void SetBandColor() {
  SetColor(24, 24, 32);
}
void SetTextColor() {
  SetColor(255, 255, 255);
}
void SetHintColor() {
  SetColor(128, 128, 128);
}

}  // namespace

bodyList bodymatches(const space& system, std::u16string_view text) {
  const std::u16string wanted = ToLower(text);
  std::vector<std::pair<TMatchRank, bodyRef>> ranked;
  for (const bodyRef& b : system.allbodies) {
    const TMatchRank rank = Rank(ToLower(b->name), wanted);
    if (rank != NO_MATCH) ranked.emplace_back(rank, b);
  }
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  bodyList matches;
  for (auto& [rank, b] : ranked) matches.push_back(std::move(b));
  return matches;
}

std::u16string bodycaption(const space& system, const body& b) {
  const bool shared =
      std::any_of(system.allbodies.begin(), system.allbodies.end(),
                  [&](const bodyRef& other) { return other.get() != &b && other->name == b.name; });
  const bodyRef parent = b.parent.lock();
  if (!shared || !parent) return b.name;
  return b.name + u" (" + parent->name + u")";
}

int gotoprompt::openon(const spaceboxRef& over) {
  open = over != nullptr;
  pane = over;
  text.clear();
  choice = 0;
  return 0;
}

int gotoprompt::close() {
  open = false;
  pane.reset();
  text.clear();
  choice = 0;
  return 0;
}

int gotoprompt::type(char16_t c) {
  text += c;
  choice = 0;
  return 0;
}

int gotoprompt::backspace() {
  if (!text.empty()) text.pop_back();
  choice = 0;
  return 0;
}

int gotoprompt::next() {
  const size_t count = matches().size();
  choice = count == 0 ? 0 : static_cast<int>((choice + 1) % count);
  return 0;
}

bodyList gotoprompt::matches() const {
  const spaceboxRef over = pane.lock();
  if (!over || !over->cam->view) return {};
  return bodymatches(*over->cam->view, text);
}

bodyRef gotoprompt::chosen() const {
  const bodyList found = matches();
  if (found.empty()) return nullptr;
  return found[static_cast<size_t>(choice) % found.size()];
}

int gotoprompt::accept() {
  const spaceboxRef over = pane.lock();
  const bodyRef target = chosen();
  if (!over || !target) return 0;
  camera& cam = *over->cam;
  cam.focus = target;
  cam.follow = 1;
  if (target->pos) cam.pos = target->pos->copy();
  return close();
}

int gotoprompt::takekeys() {
  int escaped = 0;
  const bool shift = shiftdown() != 0;
  for (int code = 0; code < 256; ++code) {
    const int presses = TakeKeyHits(code);
    for (int i = 0; i < presses && open; ++i) {
      if (code == PROMPT_ESCAPE_KEY) {
        escaped = 1;
        close();
      } else if (code == PROMPT_ENTER_KEY) {
        accept();
      } else if (code == PROMPT_BACKSPACE_KEY) {
        backspace();
      } else if (code == PROMPT_TAB_KEY) {
        next();
      } else if (const char16_t c = UsLayoutCharacter(code, shift)) {
        type(c);
      }
    }
  }
  return escaped;
}

std::u16string gotoprompt::hint() const {
  const bodyRef target = chosen();
  const spaceboxRef over = pane.lock();
  if (!target || !over) return std::u16string(u" ") + PROMPT_NO_MATCH;
  const std::u16string caption = bodycaption(*over->cam->view, *target);
  // The typed text stands for the start of a name it begins; any other
  // match is shown whole.
  if (ToLower(caption).starts_with(ToLower(text))) return caption.substr(text.size());
  return u"  " + caption;
}

int gotoprompt::draw() const {
  const spaceboxRef over = pane.lock();
  const FontRef& font = labelfont();
  if (!open || !over || !font) return 0;
  const camera& cam = *over->cam;
  const int band_h = font->height() + 2 * BAND_PADDING;
  const int band_y = cam.y + cam.h - band_h;
  // A long text is cut at the pane's edge rather than spill into the next.
  SetViewport(cam.x, cam.y, cam.w, cam.h);
  SetBlend(BLEND_SOLID);
  SetBandColor();
  DrawRect(static_cast<float>(cam.x), static_cast<float>(band_y), static_cast<float>(cam.w),
           static_cast<float>(band_h));
  SetBlend(BLEND_ALPHA);
  const std::u16string typed = PROMPT_HEAD + text;
  const int text_x = cam.x + BAND_PADDING + 1, text_y = band_y + BAND_PADDING;
  SetTextColor();
  const int typed_w = font->Draw(typed, text_x, text_y, Font::LALIGN, nullptr, 1, 0, nullptr)->x;
  SetHintColor();
  font->Draw(hint(), text_x + typed_w + font->hspacing, text_y, Font::LALIGN, nullptr, 1, 0,
             nullptr);
  SetViewport(0, 0, DisplayWidth(), DisplayHeight());
  return 0;
}

}  // namespace skyloom

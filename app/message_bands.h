// The bands across the bottom of the screen that tell about the definition
// being shown: a reload that failed (white on dark red, until a reload
// succeeds) and the warnings of the last load (dark text on amber, for ten
// seconds after each load).
#pragma once

#include <string>
#include <vector>

namespace skyloom {

class TMessageBands {
 public:
  // How long the warnings of a load stay on screen.
  static constexpr int WARNINGS_SHOWN_MS = 10000;
  // Pixels of band above and below the text, and before it.
  static constexpr int PADDING = 4;

  // Shows message (one line) until ClearError; warnings wait meanwhile.
  void ShowError(const std::string& message);
  void ClearError();
  // The warnings of a load that has just succeeded at time now; none shows
  // nothing.
  void ShowWarnings(const std::vector<std::string>& warnings, int now);

  // The text the band shows at time now, "" for no band: the error, else
  // "N warning(s): FIRST" within WARNINGS_SHOWN_MS of the load.
  std::string Text(int now) const;
  bool ShowsError() const { return !_error.empty(); }

  // Draws the band (if any) across the whole display width at its bottom,
  // the text in the label font. Leaves colour and alpha changed.
  int draw(int now) const;

 private:
  std::string _error;
  std::vector<std::string> _warnings;
  int _warned_at = 0;
};

}  // namespace skyloom

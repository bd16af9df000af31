// The go-to prompt: a one-line band at the bottom of a space pane where the
// user types part of a body's name; Enter selects the best match in that pane
// and follows it, Tab moves through the other matches, Escape closes it.
// While it is open every key goes to it.
#pragma once

#include <memory>
#include <string>

#include "model/space.h"
#include "panes/spacebox.h"

namespace skyloom {

// Keys the prompt reads besides the characters it types.
constexpr int PROMPT_BACKSPACE_KEY = 8;
constexpr int PROMPT_TAB_KEY = 9;
constexpr int PROMPT_ENTER_KEY = 13;
constexpr int PROMPT_ESCAPE_KEY = 27;

constexpr const char16_t* PROMPT_HEAD = u"Go to: ";
constexpr const char16_t* PROMPT_NO_MATCH = u"no body matches";

// The bodies of system whose name holds text, ignoring case: exact names
// first, then names that start with text, then names that contain it; in
// allbodies order within each group.
bodyList bodymatches(const space& system, std::u16string_view text);

// The name the prompt shows for b: its name, followed by its parent's name
// in brackets when another body of system has the same name ("Moon (Rock)").
std::u16string bodycaption(const space& system, const body& b);

class gotoprompt {
 public:
  bool open = false;
  std::u16string text;  // typed so far
  int choice = 0;       // which match Tab has moved to, 0 the best
  std::weak_ptr<spacebox> pane;

  // Opens empty over pane (replacing what was typed).
  int openon(const spaceboxRef& over);
  int close();

  // Editing, as the keys do it.
  int type(char16_t c);
  int backspace();
  int next();  // Tab: the next match, after the last the first again
  // Enter: selects the chosen match in the pane's camera and follows it, as
  // a double click on it does, and closes. With no match nothing happens
  // and the prompt stays open.
  int accept();

  // The matches of text over the pane's system and the one Tab chose; null
  // without a pane, a system or a match.
  bodyList matches() const;
  bodyRef chosen() const;

  // Reads the presses of every key since the last call and acts on them:
  // Escape closes, Enter accepts, Backspace, Tab, and the characters of the
  // US layout type. Returns 1 when Escape was among them.
  int takekeys();

  // The band over the bottom of the pane's content: "Go to: TEXT" in white,
  // then in grey the rest of the chosen match's caption, or "no body
  // matches". Nothing while closed or without the label font.
  int draw() const;

  // The greyed text after "Go to: TEXT".
  std::u16string hint() const;
};

}  // namespace skyloom

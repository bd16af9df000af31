// The viewer's man page, skyloom(1), in the troff man format. Its OPTIONS
// section is made from ViewerOptions() and its CONTROLS section from
// Controls(), so the page cannot drift from --help and the controls table.
#pragma once

#include <string>
#include <string_view>

namespace skyloom {

// Text fit for a man page line: a backslash becomes \e, every hyphen \- (so
// options print and copy as the ASCII hyphen), a line end a space, and a dot
// or quote that would start a line is shielded by \& so it is not a request.
std::string ManText(std::string_view text);

// The whole page for this version, ending with a line end.
std::string ViewerManPage(std::string_view version);

}  // namespace skyloom

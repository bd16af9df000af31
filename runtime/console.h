// One-line messages on standard output.
#pragma once

#include <string>

namespace skyloom {

// Writes the text (UTF-8) followed by CR LF to standard output and flushes.
void PrintLine(const std::u16string& text);

}  // namespace skyloom

// One-line messages on standard output.
#include "runtime/console.h"

#include <cstdio>

#include "runtime/strings.h"

namespace skyloom {

void PrintLine(const std::u16string& text) {
  const std::string bytes = ToUtf8(text);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fputs("\r\n", stdout);
  std::fflush(stdout);
}

}  // namespace skyloom

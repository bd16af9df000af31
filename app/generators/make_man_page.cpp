// Build-time helper, not installed: writes skyloom(1) for the given version,
// "skyloom_make_man_page VERSION OUT.1", so that the installed page always
// lists the options and controls of the viewer it comes with.
#include <cstdio>
#include <fstream>
#include <string>

#include "app/man_page.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: skyloom_make_man_page VERSION OUT.1\n");
    return 2;
  }
  const std::string page = skyloom::ViewerManPage(argv[1]);
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out << page;
  out.close();
  if (!out) {
    std::fprintf(stderr, "skyloom_make_man_page: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}

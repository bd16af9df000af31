// skyloom-defs: parses a definition file (or an embedded resource named
// "incbin::NAME") and prints its tree, one line per node and entry, so that
// people writing definitions can see what the parser makes of them.
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "assets/embedded.h"
#include "defs/dictnode.h"
#include "runtime/strings.h"

namespace {

constexpr char kUsage[] =
    "usage: skyloom-defs [--id KEY] PATH\n"
    "\n"
    "Parses the definition file PATH (or the embedded resource incbin::NAME)\n"
    "and prints its tree: each node's name (with \" copyof: \" and the copied\n"
    "node's name), then its entries and its children, indented two spaces.\n"
    "\n"
    "  --id KEY   identity key that copy references match (default: id)\n"
    "  --help     show this text\n";

struct Options {
  std::string idkey = "id";
  std::string path;
  bool help = false;
};

// Fills options from the arguments; returns an error message or "".
std::string ParseArguments(const std::vector<std::string_view>& args, Options& options) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--id") {
      if (++i == args.size()) return "--id needs a key";
      options.idkey = args[i];
    } else if (arg.starts_with("--")) {
      return "unknown option " + std::string(arg);
    } else if (options.path.empty()) {
      options.path = arg;
    } else {
      return "more than one PATH given";
    }
  }
  if (!options.help && options.path.empty()) return "no PATH given";
  return "";
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "skyloom-defs: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  const std::string error =
      ParseArguments(std::vector<std::string_view>(argv + 1, argv + argc), options);
  if (!error.empty()) {
    Fail(error);
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (options.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }

  skyloom::RegisterEmbeddedResources();
  const std::u16string path = skyloom::FromBytes(options.path);
  skyloom::dictnodeRef root;
  try {
    root = skyloom::dictnode::parsefile(path, skyloom::FromBytes(options.idkey));
  } catch (const std::exception& e) {
    return Fail(options.path + ": " + e.what());
  }
  if (!root) return Fail("cannot open " + options.path);
  root->output(u"");
  return 0;
}

// skyloom-defs: parses a definition file (or an embedded resource named
// "incbin::NAME") and prints its tree, one line per node and entry, so that
// people writing definitions can see what the parser makes of them.
#include <charconv>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "assets/embedded.h"
#include "defs/dictnode.h"
#include "model/body_check.h"
#include "model/space.h"
#include "runtime/open.h"
#include "runtime/strings.h"
#include "skyloom_version.h"

namespace {

constexpr char kUsage[] =
    "usage: skyloom-defs [--id KEY] [--steps N] [--strict] PATH\n"
    "\n"
    "Parses the definition file PATH (or the embedded resource incbin::NAME)\n"
    "and prints its tree: each node's name (with \" copyof: \" and the copied\n"
    "node's name), then its entries and its children, indented two spaces.\n"
    "\n"
    "  --id KEY   identity key that copy references match (default: id)\n"
    "  --steps N  instead of the tree, build the orbital system from it, advance\n"
    "             it N frames and print each body's name, x and y (tab-separated)\n"
    "  --strict   exit with 1 when there is any warning\n"
    "  --help     show this text\n"
    "  --version  print the program's name and version, then exit\n"
    "\n"
    "Warnings about likely mistakes go to standard error, one a line:\n"
    "FILE:LINE:COLUMN: warning: MESSAGE. Text is printed as UTF-8.\n";

struct Options {
  std::string idkey = "id";
  std::string path;
  bool help = false;
  bool version = false;
  bool strict = false;  // any warning makes the exit status 1
  int steps = -1;       // frames to advance with --steps; -1 prints the tree instead
};

// N of --steps: a whole number from 0 up, nothing else.
bool ParseSteps(std::string_view text, int& steps) {
  const char* end = text.data() + text.size();
  const auto [stop, fault] = std::from_chars(text.data(), end, steps);
  return fault == std::errc() && stop == end && steps >= 0;
}

// Fills options from the arguments; returns an error message or "".
std::string ParseArguments(const std::vector<std::string_view>& args, Options& options) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--strict") {
      options.strict = true;
    } else if (arg == "--id") {
      if (++i == args.size()) return "--id needs a key";
      options.idkey = args[i];
    } else if (arg == "--steps") {
      if (++i == args.size()) return "--steps needs a number of frames";
      if (!ParseSteps(args[i], options.steps)) {
        return "--steps needs a whole number from 0 up, not " + std::string(args[i]);
      }
    } else if (arg.starts_with("--")) {
      return "unknown option " + std::string(arg);
    } else if (options.path.empty()) {
      options.path = arg;
    } else {
      return "more than one PATH given";
    }
  }
  if (!options.help && !options.version && options.path.empty()) return "no PATH given";
  return "";
}

// Builds the system from the parsed root, advances it steps frames and prints
// every body in pre-order: name, x and y; "-" for a body without a position.
void PrintBodiesAfter(skyloom::dictnode& root, int steps) {
  const skyloom::spaceRef system = skyloom::space::read(root);
  for (int i = 0; i < steps; ++i) system->update();
  for (const skyloom::bodyRef& body : system->allbodies) {
    const std::string name = skyloom::ToUtf8(body->name);
    if (body->pos) {
      std::printf("%s\t%.6f\t%.6f\n", name.c_str(), body->pos->x, body->pos->y);
    } else {
      std::printf("%s\t-\t-\n", name.c_str());
    }
  }
}

void PrintWarnings(const std::vector<skyloom::DefinitionWarning>& warnings) {
  for (const std::string& line : skyloom::WarningLines(warnings)) {
    std::fprintf(stderr, "%s\n", line.c_str());
  }
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
  if (options.version) {
    std::printf("skyloom-defs %s\n", skyloom::SKYLOOM_VERSION);
    return 0;
  }

  skyloom::RegisterEmbeddedResources();
  const std::u16string path = skyloom::FromBytes(options.path);
  const std::u16string idkey = skyloom::FromBytes(options.idkey);
  std::vector<skyloom::DefinitionWarning> warnings;
  skyloom::dictnodeRef root;
  try {
    root = skyloom::dictnode::parsefile(path, idkey, &warnings);
  } catch (const skyloom::DefinitionTextEnds& e) {
    PrintWarnings(warnings);
    return Fail(e.where.Message("the text ends before its nodes are complete (" +
                                std::string(e.what()) + ")"));
  } catch (const skyloom::DefinitionParseError& e) {
    PrintWarnings(warnings);
    return Fail(e.what());
  } catch (const std::exception& e) {
    PrintWarnings(warnings);
    return Fail(options.path + ": " + e.what());
  }
  if (!root) {
    skyloom::OpenFailure failure;
    skyloom::OpenInput(path, failure);
    return Fail("cannot open " + options.path +
                (failure.reason.empty() ? "" : ": " + failure.reason));
  }
  skyloom::CheckBodyDefinitions(*root, idkey, warnings);
  PrintWarnings(warnings);
  if (options.steps >= 0) {
    PrintBodiesAfter(*root, options.steps);
  } else {
    root->output(u"");
  }
  return options.strict && !warnings.empty() ? 1 : 0;
}

// The viewer's definition loading: opening and parsing the file, and turning
// each way that can fail into one line that names the file and the reason.
#include "app/definition.h"

#include <cstdio>
#include <exception>
#include <string>

#include "app/command_line.h"
#include "model/body_check.h"
#include "runtime/open.h"
#include "runtime/stream.h"
#include "runtime/strings.h"

namespace skyloom {

namespace {

constexpr std::u16string_view kIncbinScheme = u"incbin::";

// The url as it reads in a message: units up to 0xFF are the bytes the user
// gave (see DefinitionUrl), higher units their UTF-8 form, on one line.
std::string UrlText(std::u16string_view url) {
  return OneLineText(PathBytesText(url));
}

bool IsEmbedded(std::u16string_view url) {
  return url.size() >= kIncbinScheme.size() &&
         ToLower(url.substr(0, kIncbinScheme.size())) == kIncbinScheme;
}

// The path handed to the parser. The parser takes includes relative to the
// text before the file's last "/", which for a bare name would be the root
// of the file system: "./" in front keeps them beside the file.
std::u16string ParsePath(const std::u16string& url) {
  if (url.find(u"::") != std::u16string::npos) return url;
  if (url.find_first_of(u"/\\") != std::u16string::npos) return url;
  return u"./" + url;
}

// "cannot open the file: " and the system's reason. Only asked once the
// parser found no file there, so the probe reads nothing.
std::string CannotOpenText(const std::u16string& url) {
  OpenFailure failure;
  OpenInput(ParsePath(url), failure);
  if (failure.reason.empty()) return "cannot open the file";
  return "cannot open the file: " + failure.reason;
}

}  // namespace

std::u16string DefinitionUrl(const std::string& definition) {
  return definition.empty() ? std::u16string(EMBEDDED_DEFINITION) : FromBytes(definition);
}

dictnodeRef LoadDefinition(const std::u16string& url, std::string& error,
                           std::vector<std::string>* warnings, DefinitionSources* sources) {
  error.clear();
  if (warnings) warnings->clear();
  if (sources) *sources = DefinitionSources();
  const auto fail = [&](const std::string& reason) {
    error = UrlText(url) + ": " + OneLineText(reason);
    return dictnodeRef();
  };
  if (url.empty()) return fail(CannotOpenText(url));
  std::vector<DefinitionWarning> found;
  // Whatever was found reaches the caller, in reading order, also when the
  // load fails.
  struct Hand {
    std::vector<DefinitionWarning>& found;
    std::vector<std::string>* warnings;
    ~Hand() {
      if (!warnings) return;
      for (std::string& line : WarningLines(found)) warnings->push_back(std::move(line));
    }
  } hand{found, warnings};
  dictnodeRef root;
  try {
    root = dictnode::parsefile(ParsePath(url), DEFINITION_ID_KEY, warnings ? &found : nullptr,
                               sources);
  } catch (const DefinitionTextEnds& e) {
    // The parser reads past the end of a text that holds no node or leaves
    // one unclosed.
    error = OneLineText(e.where.Message("the text ends before its nodes are complete (byte " +
                                        std::to_string(e.where.byte) + ")"));
    return nullptr;
  } catch (const DefinitionParseError& e) {
    // Its text names the file, the line and column and the byte offset.
    error = OneLineText(e.what());
    return nullptr;
  } catch (const std::exception& e) {
    return fail(e.what());
  }
  if (!root) {
    return fail(IsEmbedded(url) ? "no embedded file of that name" : CannotOpenText(url));
  }
  if (warnings) CheckBodyDefinitions(*root, DEFINITION_ID_KEY, found);
  return root;
}

void PrintDefinitionWarnings(const std::vector<std::string>& warnings) {
  for (const std::string& warning : warnings) std::fprintf(stderr, "%s\n", warning.c_str());
}

}  // namespace skyloom

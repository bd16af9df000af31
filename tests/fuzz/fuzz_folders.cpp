// Feeds a small folder of definition files to the parser and the model: the
// input is split at NUL bytes into up to kFileCount files with fixed names
// (some in a subfolder, one without an extension), written to a private
// folder, and the first is parsed with its includes and copies followed and
// built into a system. Inputs whose includes or copies multiply the work
// show up as timeouts or memory overruns under the per-input limits.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

#include "defs/dictnode.h"
#include "model/space.h"
#include "runtime/strings.h"

namespace {

namespace fs = std::filesystem;

// The names the pieces of an input become, in order; "main.txt" is parsed.
// Nine files in one folder: enough for includes of a folder by its own files
// to multiply past the per-input limits when nothing bounds them.
constexpr const char* kFileNames[] = {"main.txt", "a.txt",   "b.txt",   "d/c.txt",
                                      "d/e.txt",  "d/f",     "d/g.txt", "d/h.txt",
                                      "d/i.txt",  "d/j.txt", "d/k.txt", "d/l.txt"};
constexpr size_t kFileCount = sizeof kFileNames / sizeof kFileNames[0];
constexpr char kSeparator = '\0';

// A folder of this process's own, emptied before every input and removed
// when the process ends.
struct OwnFolder {
  fs::path path;
  OwnFolder() {
    std::string pattern = (fs::temp_directory_path() / "skyloom-fuzz-folders-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    path = pattern;
  }
  ~OwnFolder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
};

const fs::path& Folder() {
  static const OwnFolder folder;
  return folder.path;
}

void WriteFolder(const uint8_t* data, size_t size) {
  const fs::path& folder = Folder();
  std::error_code ignored;
  fs::remove_all(folder / "d", ignored);
  for (const char* name : kFileNames) fs::remove(folder / name, ignored);
  fs::create_directories(folder / "d");
  size_t start = 0;
  for (size_t file = 0; file < kFileCount && start <= size; ++file) {
    size_t end = start;
    while (end < size && data[end] != kSeparator) ++end;
    std::ofstream(folder / kFileNames[file], std::ios::binary)
        .write(reinterpret_cast<const char*>(data + start),
               static_cast<std::streamsize>(end - start));
    start = end + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WriteFolder(data, size);
  const std::u16string main = skyloom::FromBytes((Folder() / kFileNames[0]).string());
  try {
    if (skyloom::dictnodeRef root = skyloom::dictnode::parsefile(main, u"id")) {
      skyloom::spaceRef system = skyloom::space::read(*root);
      system->update();
    }
  } catch (const skyloom::TStreamReadException&) {
  } catch (const skyloom::DefinitionParseError&) {
  }
  return 0;
}

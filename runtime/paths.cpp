// Path helpers over "/"-separated paths.
#include "runtime/paths.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "runtime/strings.h"

namespace skyloom {

namespace {

std::u16string ForwardSlashes(std::u16string path) {
  std::replace(path.begin(), path.end(), u'\\', u'/');
  return path;
}

// Position of the extension's "." when the last part of the path has one.
size_t ExtensionDot(const std::u16string& path) {
  const size_t dot = path.rfind(u'.');
  if (dot == std::u16string::npos) return dot;
  const size_t slash = path.rfind(u'/');
  if (slash != std::u16string::npos && slash > dot) return std::u16string::npos;
  return dot;
}

bool IsRoot(const std::u16string& path) {
  if (path == u"/") return true;
  // A drive root such as "c:/" or "c:".
  return (path.size() == 2 || (path.size() == 3 && path[2] == u'/')) && path[1] == u':';
}

}  // namespace

bool NativePath(std::u16string_view path, std::string& bytes) {
  for (char16_t unit : path) {
    if (unit == 0 || unit > 0xFF) return false;
  }
  bytes = ToBytes(path);
  return true;
}

std::u16string WithoutExtension(const std::u16string& path) {
  const std::u16string p = ForwardSlashes(path);
  const size_t dot = ExtensionDot(p);
  return dot == std::u16string::npos ? p : p.substr(0, dot);
}

std::u16string ExtensionOf(const std::u16string& path) {
  const std::u16string p = ForwardSlashes(path);
  const size_t dot = ExtensionDot(p);
  return dot == std::u16string::npos ? std::u16string() : p.substr(dot + 1);
}

std::u16string DirectoryOf(const std::u16string& path) {
  const std::u16string p = ForwardSlashes(path);
  if (p == u"." || p == u".." || IsRoot(p)) return p;
  const size_t slash = p.rfind(u'/');
  if (slash == std::u16string::npos) return std::u16string();
  std::u16string directory = p.substr(0, slash);
  if (directory.empty() || IsRoot(directory)) directory += u'/';
  return directory;
}

std::u16string IncludeFolder(const std::u16string& path) {
  const std::u16string directory = DirectoryOf(path);
  if (!directory.empty()) return directory + u"/";
  const size_t scheme_end = path.find(u"::");
  if (scheme_end != std::u16string::npos) return path.substr(0, scheme_end + 2);
  return u"./";
}

std::vector<std::u16string> ListDirectory(const std::u16string& path, bool skipdots) {
  std::vector<std::u16string> names;
  std::string native;
  if (!NativePath(ForwardSlashes(path), native)) return names;
  DIR* directory = opendir(native.c_str());
  if (!directory) return names;
  while (const dirent* entry = readdir(directory)) {
    const std::u16string name = FromBytes(entry->d_name);
    if (skipdots && (name == u"." || name == u"..")) continue;
    names.push_back(name);
  }
  closedir(directory);
  return names;
}

bool IsDirectory(const std::u16string& path) {
  struct stat info;
  std::string native;
  return NativePath(ForwardSlashes(path), native) && stat(native.c_str(), &info) == 0 &&
         S_ISDIR(info.st_mode);
}

}  // namespace skyloom

// Path helpers. Backslashes count as forward slashes; "/" separates.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace skyloom {

// The bytes of a path for the file system, one per code unit. False when a
// unit is above 0xFF or NUL: the path would reach the file system as some
// other name, so it names no file.
bool NativePath(std::u16string_view path, std::string& bytes);

// "fonts/big.ift" -> "fonts/big"; a path whose last part has no "." is
// returned unchanged ("my.dir/file").
std::u16string WithoutExtension(const std::u16string& path);

// The text after the last "." of the last part, or "".
std::u16string ExtensionOf(const std::u16string& path);

// The text before the last "/"; "." and ".." and a root come back unchanged,
// a path without "/" gives "", and "/x" gives "/".
std::u16string DirectoryOf(const std::u16string& path);

// The prefix that names a file beside path: its folder and "/", "./" for a
// bare file name (never the root), and "SCHEME::" for a bare resource name.
std::u16string IncludeFolder(const std::u16string& path);

// Entry names of a directory in the order the file system gives them;
// skipdots leaves out "." and "..". An unreadable directory gives none.
std::vector<std::u16string> ListDirectory(const std::u16string& path, bool skipdots);

// Whether the path names an existing directory.
bool IsDirectory(const std::u16string& path);

}  // namespace skyloom

// Writing a file so that a failure never loses data: the bytes go to a
// temporary file beside the target, every write, the flush and the close are
// checked, and only a complete file is renamed over the target.
#pragma once

#include <functional>
#include <string>

#include "runtime/stream.h"

namespace skyloom {

// Writes the file's content into the stream it is given. Returns false when
// the content could not be produced (an encoder that gave up); a refused
// write raises TStreamWriteException, which WriteFileSafely catches.
using FileFiller = std::function<bool(const StreamRef& stream)>;

// Writes path through fill. A regular file (or a path that does not exist
// yet) is written to a temporary file in the same folder that replaces path
// only once it is complete; a symbolic link has its target replaced. A path
// that exists and is not a regular file (a device, a FIFO) is written in
// place, since renaming over it would replace the device by a file.
//
// Returns "" on success, else the reason ("No space left on device"); on
// failure the temporary file is removed and an earlier file at path is left
// as it was.
std::string WriteFileSafely(const std::u16string& path, const FileFiller& fill);

// "cannot write PATH: REASON", the one-line message of every program that
// fails to write a file. path is given as the user typed it.
std::string CannotWriteMessage(const std::string& path, const std::string& reason);

}  // namespace skyloom

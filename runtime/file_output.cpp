// Safe file writing: a temporary file beside the target, checked at every
// step and renamed over the target only when complete; devices and FIFOs are
// written in place.
#include "runtime/file_output.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <vector>

#include "runtime/paths.h"

namespace skyloom {

namespace {

// mkstemp replaces the six X with a unique tail.
constexpr char kTemporarySuffix[] = ".part-XXXXXX";
constexpr mode_t kNewFileMode = 0666;

std::string SystemReason(int error) {
  return std::strerror(error != 0 ? error : EIO);
}

// Runs fill on the stream and closes it; "" when every byte reached the file,
// else the reason. The system's reason wins over the stream's own message.
std::string FillAndClose(const std::shared_ptr<TCStream>& stream, const FileFiller& fill) {
  bool filled = false;
  std::string failure;
  try {
    filled = fill(stream);
  } catch (const std::exception& e) {
    failure = e.what();
  }
  const bool flushed = stream->Flush() == 0;
  const bool closed = stream->Close() == 0;
  if (stream->_error != 0) return SystemReason(stream->_error);
  if (!failure.empty()) return failure;
  if (!filled) return "the content could not be encoded";
  if (!flushed || !closed) return SystemReason(EIO);
  return "";
}

// The file a path finally names: a symbolic link's target, so that the link
// stays a link. A dangling link is replaced as it stands.
std::string FinalTarget(const std::string& native) {
  struct stat info;
  if (lstat(native.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return native;
  char* resolved = realpath(native.c_str(), nullptr);
  if (!resolved) return native;
  std::string target = resolved;
  std::free(resolved);
  return target;
}

// Permissions for the new file: those of the file it replaces, or what a
// plain create would give under the process's umask.
mode_t PermissionsFor(const std::string& target) {
  struct stat info;
  if (stat(target.c_str(), &info) == 0) return info.st_mode & 07777;
  const mode_t mask = umask(0);
  umask(mask);
  return kNewFileMode & ~mask;
}

std::string WriteInPlace(const std::string& target, const FileFiller& fill) {
  std::FILE* file = std::fopen(target.c_str(), "wb");
  if (!file) return SystemReason(errno);
  return FillAndClose(std::make_shared<TCStream>(file, TCStream::MODE_WRITE), fill);
}

std::string WriteThroughTemporary(const std::string& target, const FileFiller& fill) {
  const std::string pattern = target + kTemporarySuffix;
  std::vector<char> temporary(pattern.begin(), pattern.end());
  temporary.push_back('\0');
  const int descriptor = mkstemp(temporary.data());
  if (descriptor < 0) return SystemReason(errno);
  std::FILE* file = nullptr;
  if (fchmod(descriptor, PermissionsFor(target)) == 0) file = fdopen(descriptor, "wb");
  std::string reason;
  if (!file) {
    reason = SystemReason(errno);
    close(descriptor);
  } else {
    reason = FillAndClose(std::make_shared<TCStream>(file, TCStream::MODE_WRITE), fill);
  }
  if (reason.empty() && std::rename(temporary.data(), target.c_str()) != 0) {
    reason = SystemReason(errno);
  }
  if (!reason.empty()) unlink(temporary.data());
  return reason;
}

}  // namespace

std::string WriteFileSafely(const std::u16string& path, const FileFiller& fill) {
  std::string native;
  if (path.empty() || !NativePath(path, native)) return SystemReason(EINVAL);
  const std::string target = FinalTarget(native);
  struct stat info;
  if (stat(target.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    if (S_ISDIR(info.st_mode)) return SystemReason(EISDIR);
    return WriteInPlace(target, fill);
  }
  return WriteThroughTemporary(target, fill);
}

std::string CannotWriteMessage(const std::string& path, const std::string& reason) {
  return "cannot write " + path + ": " + reason;
}

}  // namespace skyloom

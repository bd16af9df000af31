// URL resolution: files for plain paths, the factory chain for "scheme::path",
// and the built-in "incbin" factory over the resource registry.
#include "runtime/open.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "runtime/paths.h"
#include "runtime/resources.h"
#include "runtime/strings.h"

namespace skyloom {

namespace {

// Embedded resources, read only.
class IncbinStreamFactory : public TStreamFactory {
 public:
  IncbinStreamFactory() : TStreamFactory(BuiltIn{}) {}

  StreamRef CreateStream(const std::u16string&, const std::u16string& scheme,
                         const std::u16string& path, bool, bool writeable) override {
    if (scheme != u"incbin" || writeable) return nullptr;
    const uint8_t* bytes = ResourceData(path);
    if (!bytes) return nullptr;
    return TRamStream::CreateReadOnly(bytes, ResourceSize(path));
  }
};

// The chain starts with the built-in factories, so every factory made later
// is asked before them.
TStreamFactory*& FactoryChainHead() {
  static IncbinStreamFactory incbin;
  static TStreamFactory* head = &incbin;
  return head;
}

// A stream that cannot tell its position is read whole into memory when it
// is opened for reading only. One opened for writing is handed out as it is:
// what went into a copy would never reach it.
StreamRef WithPosition(StreamRef stream, bool writeable) {
  if (!stream || writeable || stream->Pos() != -1) return stream;
  std::vector<uint8_t> bytes;
  uint8_t chunk[4096];
  for (int64_t moved; (moved = stream->Read(chunk, sizeof chunk)) > 0;) {
    bytes.insert(bytes.end(), chunk, chunk + moved);
  }
  stream->Close();
  return TRamStream::CreateCopy(std::move(bytes), true, false);
}

constexpr size_t kPipeChunkBytes = 1 << 16;

StreamRef Failed(OpenFailure& failure, bool refused, std::string reason) {
  failure.refused = refused;
  failure.reason = std::move(reason);
  return nullptr;
}

std::string TooLarge() {
  return "larger than the limit of " + ByteLimitText(MAX_INPUT_BYTES);
}

// A pipe's bytes up to its end, read into memory so the parser's seeks back
// work as on a file.
StreamRef ReadPipeWhole(std::FILE* file, OpenFailure& failure) {
  std::vector<uint8_t> bytes;
  std::vector<uint8_t> chunk(kPipeChunkBytes);
  for (size_t moved; (moved = std::fread(chunk.data(), 1, chunk.size(), file)) > 0;) {
    if (bytes.size() + moved > size_t(MAX_INPUT_BYTES)) {
      std::fclose(file);
      return Failed(failure, true, TooLarge());
    }
    bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + std::ptrdiff_t(moved));
  }
  const bool broken = std::ferror(file) != 0;
  const int error = errno;
  std::fclose(file);
  if (broken) return Failed(failure, false, std::strerror(error));
  return TRamStream::CreateCopy(std::move(bytes), true, false);
}

// A file path opened for reading: regular files as file streams, pipes read
// whole, everything else refused before a byte of it is read.
StreamRef OpenFileInput(const std::string& path, OpenFailure& failure) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return Failed(failure, false, std::strerror(errno));
  struct stat info;
  if (fstat(fileno(file), &info) != 0) {
    const int error = errno;
    std::fclose(file);
    return Failed(failure, false, std::strerror(error));
  }
  if (S_ISREG(info.st_mode)) {
    if (info.st_size > MAX_INPUT_BYTES) {
      std::fclose(file);
      return Failed(failure, true, TooLarge());
    }
    return std::make_shared<TCStream>(file, TCStream::MODE_READ);
  }
  if (S_ISFIFO(info.st_mode)) return ReadPipeWhole(file, failure);
  std::fclose(file);
  if (S_ISDIR(info.st_mode)) return Failed(failure, false, std::strerror(EISDIR));
  return Failed(failure, true, "not a regular file");
}

}  // namespace

std::string ByteLimitText(int64_t bytes) {
  static constexpr struct {
    int64_t size;
    const char* name;
  } kUnits[] = {{int64_t{1} << 30, "GiB"}, {int64_t{1} << 20, "MiB"}, {int64_t{1} << 10, "KiB"}};
  for (const auto& unit : kUnits) {
    if (bytes > 0 && bytes % unit.size == 0) {
      return std::to_string(bytes / unit.size) + " " + unit.name;
    }
  }
  return std::to_string(bytes) + " bytes";
}

TStreamFactory::TStreamFactory() {
  _succ = FactoryChainHead();
  FactoryChainHead() = this;
}

TStreamFactory::~TStreamFactory() {
  for (TStreamFactory** link = &FactoryChainHead(); *link; link = &(*link)->_succ) {
    if (*link == this) {
      *link = _succ;
      break;
    }
  }
}

namespace {

StreamRef OpenStream(const std::u16string& url, bool readable, bool writeable,
                     OpenFailure& failure) {
  if (url.empty()) return Failed(failure, false, std::strerror(ENOENT));
  const size_t separator = url.find(u"::");
  if (separator == std::u16string::npos) {
    std::string path;
    if (!NativePath(url, path)) return Failed(failure, false, std::strerror(ENOENT));
    if (readable && !writeable) return OpenFileInput(path, failure);
    const int mode = (readable ? TCStream::MODE_READ : 0) | (writeable ? TCStream::MODE_WRITE : 0);
    StreamRef stream = TCStream::OpenFile(path, mode);
    if (!stream) return Failed(failure, false, std::strerror(errno != 0 ? errno : EIO));
    return stream;
  }
  const std::u16string scheme = ToLower(url.substr(0, separator));
  const std::u16string path = url.substr(separator + 2);
  for (TStreamFactory* factory = FactoryChainHead(); factory; factory = factory->_succ) {
    if (StreamRef stream = factory->CreateStream(url, scheme, path, readable, writeable)) {
      return WithPosition(std::move(stream), writeable);
    }
  }
  return Failed(failure, false, "no such embedded file or scheme");
}

}  // namespace

StreamRef OpenStream(const std::u16string& url, bool readable, bool writeable) {
  OpenFailure failure;
  return OpenStream(url, readable, writeable, failure);
}

StreamRef OpenInput(const std::u16string& url) {
  return OpenStream(url, true, false);
}
StreamRef OpenInput(const std::u16string& url, OpenFailure& failure) {
  return OpenStream(url, true, false, failure);
}
StreamRef OpenOutput(const std::u16string& url) {
  return OpenStream(url, false, true);
}

}  // namespace skyloom

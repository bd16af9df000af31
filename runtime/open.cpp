// URL resolution: files for plain paths, the factory chain for "scheme::path",
// and the built-in "incbin" factory over the resource registry.
#include "runtime/open.h"

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

}  // namespace

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

StreamRef OpenStream(const std::u16string& url, bool readable, bool writeable) {
  if (url.empty()) return nullptr;
  const size_t separator = url.find(u"::");
  if (separator == std::u16string::npos) {
    const int mode = (readable ? TCStream::MODE_READ : 0) | (writeable ? TCStream::MODE_WRITE : 0);
    std::string path;
    if (!NativePath(url, path)) return nullptr;
    return TCStream::OpenFile(path, mode);
  }
  const std::u16string scheme = ToLower(url.substr(0, separator));
  const std::u16string path = url.substr(separator + 2);
  for (TStreamFactory* factory = FactoryChainHead(); factory; factory = factory->_succ) {
    if (StreamRef stream = factory->CreateStream(url, scheme, path, readable, writeable)) {
      return WithPosition(std::move(stream), writeable);
    }
  }
  return nullptr;
}

StreamRef OpenInput(const std::u16string& url) {
  return OpenStream(url, true, false);
}
StreamRef OpenOutput(const std::u16string& url) {
  return OpenStream(url, false, true);
}

}  // namespace skyloom

// Opening streams by URL: a plain path opens a file; "scheme::path" asks the
// chain of stream factories, newest first. The built-in "incbin" factory opens
// embedded resources for reading.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "runtime/stream.h"

namespace skyloom {

// One handler of a URL scheme. Creating a factory puts it at the head of the
// program-wide chain, where it is asked before every older one; destroying it
// takes it out again.
class TStreamFactory {
 public:
  TStreamFactory();
  virtual ~TStreamFactory();
  TStreamFactory(const TStreamFactory&) = delete;
  TStreamFactory& operator=(const TStreamFactory&) = delete;

  // A stream for the URL, or null when this factory does not answer.
  // scheme is lower-cased; path is the text after the first "::".
  virtual StreamRef CreateStream(const std::u16string& url, const std::u16string& scheme,
                                 const std::u16string& path, bool readable, bool writeable) = 0;

  TStreamFactory* _succ = nullptr;

 protected:
  // For the built-in factories, which sit at the end of the chain from the
  // start instead of joining it when made.
  struct BuiltIn {};
  explicit TStreamFactory(BuiltIn) {}
};

// The largest input read: anything longer is refused with a clear reason
// instead of being read until memory runs out. OpenInput refuses a longer file
// or pipe; readers that hold a whole stream in memory (the definition parser)
// stop at the same limit, because a stream can outgrow the size it reported
// when opened (a growing file, a /proc file that reports 0 bytes) or come
// from elsewhere than OpenInput.
constexpr int64_t MAX_INPUT_BYTES = int64_t{1} << 30;

// A byte count as messages state a limit: "1 GiB", "96 KiB", "100 bytes"
// (the largest unit that divides it exactly).
std::string ByteLimitText(int64_t bytes);

// Why OpenInput gave no stream. refused is set for a file that exists but is
// not read: neither a regular file nor a pipe ("not a regular file"), or
// longer than MAX_INPUT_BYTES. reason is the system's text otherwise ("No
// such file or directory").
struct OpenFailure {
  bool refused = false;
  std::string reason;
};

// Opens for reading only / writing only; null on any failure. A file path
// that names a pipe or FIFO is read to its end into memory, so the stream
// can seek like a file's; a device, a socket and the like are refused.
StreamRef OpenInput(const std::u16string& url);
StreamRef OpenInput(const std::u16string& url, OpenFailure& failure);
StreamRef OpenOutput(const std::u16string& url);

// The general form: both flags may be set (a file opened for update).
StreamRef OpenStream(const std::u16string& url, bool readable, bool writeable);

}  // namespace skyloom

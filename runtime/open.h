// Opening streams by URL: a plain path opens a file; "scheme::path" asks the
// chain of stream factories, newest first. The built-in "incbin" factory opens
// embedded resources for reading.
#pragma once

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

// Opens for reading only / writing only; null on any failure.
StreamRef OpenInput(const std::u16string& url);
StreamRef OpenOutput(const std::u16string& url);

// The general form: both flags may be set (a file opened for update).
StreamRef OpenStream(const std::u16string& url, bool readable, bool writeable);

}  // namespace skyloom

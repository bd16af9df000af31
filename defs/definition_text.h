// The text of one definition file held in memory: its bytes, read as UTF-8
// when they are valid UTF-8 (a byte-order mark is skipped) and as Latin-1
// otherwise, and the line and column of any byte for messages.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/open.h"
#include "runtime/stream.h"

namespace skyloom {

// Where something stands in a definition file; lines and columns count
// from 1, columns in characters.
struct SourcePosition {
  std::u16string file;
  int line = 0;
  int column = 0;
  int64_t byte = 0;  // stream offset

  // "FILE:LINE:COLUMN: MESSAGE"
  std::string Message(const std::string& message) const;
  // "FILE:LINE:COLUMN: warning: MESSAGE"
  std::string Warning(const std::string& message) const;
};

// A likely mistake in a definition: where it stands and what it is.
struct DefinitionWarning {
  SourcePosition at;
  std::string message;
};

// The warnings as lines "FILE:LINE:COLUMN: warning: MESSAGE" in reading
// order: by line and column within a file, files in the order their first
// warning was found.
std::vector<std::string> WarningLines(const std::vector<DefinitionWarning>& warnings);

// A file name as it reads in a message: units up to 0xFF are the bytes of
// the path, higher units their UTF-8 form; a leading "./" is left out.
std::string PathText(const std::u16string& path);

// Text of a definition quoted in a message: UTF-8 on one line (control
// characters become spaces), cut to its first MAX_EXCERPT characters.
constexpr size_t MAX_EXCERPT = 60;
std::string Excerpt(std::u16string_view text);

// A definition text the parser refuses: a "[" with no "#" of its own, nodes
// nested too deep, too many file reads, a text too large. The text names the
// fault and where it was found ("FILE:LINE:COLUMN: MESSAGE (byte N)").
class DefinitionParseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A definition text that ends before its nodes are complete. It is the
// stream's read error (what() stays "Error reading from stream"), and also
// tells where the text ended.
class DefinitionTextEnds : public TStreamReadException {
 public:
  explicit DefinitionTextEnds(SourcePosition end) : where(std::move(end)) {}
  SourcePosition where;
};

class DefinitionText {
 public:
  // Reads the stream from its current position to its end. path names the
  // text in positions. The parser holds the whole text in memory, so a text
  // longer than limit bytes raises DefinitionParseError ("PATH: the text is
  // larger than 1 GiB") once the first byte past it has been read.
  DefinitionText(TStream& stream, std::u16string path, int64_t limit = MAX_INPUT_BYTES);

  bool IsUtf8() const { return utf8_; }
  const std::u16string& Path() const { return path_; }
  // Offsets are byte indices into the text; the first character stands at
  // Begin() (after a byte-order mark), the text ends at End().
  int64_t Begin() const { return begin_; }
  int64_t End() const { return static_cast<int64_t>(bytes_.size()); }
  // The stream offset of the text's first byte.
  int64_t StreamStart() const { return start_; }

  // The character at offset, and the offset after it. A character beyond
  // U+FFFF comes back as its two UTF-16 units, one per call: the second
  // call is made with the same offset and second = true.
  char16_t CharAt(int64_t offset, int64_t& next, bool second = false) const;

  // Line and column of offset. Cheap for offsets near the one asked last.
  SourcePosition PositionOf(int64_t offset);

 private:
  bool IsCharStart(int64_t offset) const;

  std::vector<uint8_t> bytes_;
  std::u16string path_;
  int64_t start_ = 0;
  int64_t begin_ = 0;
  bool utf8_ = false;
  // The last position asked for, from which the next is counted.
  int64_t lastoffset_ = 0;
  int lastline_ = 1;
  int lastcolumn_ = 1;
};

}  // namespace skyloom

// Holding a definition text in memory, choosing how its bytes are read, and
// turning byte offsets into lines and columns.
#include "defs/definition_text.h"

#include <algorithm>
#include <tuple>
#include <unordered_map>

#include "runtime/strings.h"

namespace skyloom {

namespace {

constexpr int64_t kChunk = 64 * 1024;
constexpr uint8_t kByteOrderMark[] = {0xEF, 0xBB, 0xBF};

bool IsContinuation(uint8_t byte) {
  return (byte & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence at i (no overlong forms, no
// surrogates, nothing above U+10FFFF), or 0.
int SequenceLength(const std::vector<uint8_t>& bytes, size_t i) {
  const uint8_t lead = bytes[i];
  if (lead < 0x80) return 1;
  int length;
  uint8_t low = 0x80;
  uint8_t high = 0xBF;  // bounds of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + length > bytes.size()) return 0;
  if (bytes[i + 1] < low || bytes[i + 1] > high) return 0;
  for (int k = 2; k < length; ++k) {
    if (!IsContinuation(bytes[i + k])) return 0;
  }
  return length;
}

bool IsValidUtf8(const std::vector<uint8_t>& bytes, size_t from) {
  for (size_t i = from; i < bytes.size();) {
    const int length = SequenceLength(bytes, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

bool StartsWithByteOrderMark(const std::vector<uint8_t>& bytes) {
  return bytes.size() >= 3 && bytes[0] == kByteOrderMark[0] && bytes[1] == kByteOrderMark[1] &&
         bytes[2] == kByteOrderMark[2];
}

}  // namespace

std::string SourcePosition::Message(const std::string& message) const {
  return PathText(file) + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " +
         message;
}

std::string SourcePosition::Warning(const std::string& message) const {
  return Message("warning: " + message);
}

std::vector<std::string> WarningLines(const std::vector<DefinitionWarning>& warnings) {
  std::unordered_map<std::u16string, size_t> fileorder;
  for (const DefinitionWarning& warning : warnings) {
    fileorder.emplace(warning.at.file, fileorder.size());
  }
  std::vector<const DefinitionWarning*> sorted;
  for (const DefinitionWarning& warning : warnings) sorted.push_back(&warning);
  std::stable_sort(sorted.begin(), sorted.end(), [&](const auto* a, const auto* b) {
    return std::tuple(fileorder.at(a->at.file), a->at.line, a->at.column) <
           std::tuple(fileorder.at(b->at.file), b->at.line, b->at.column);
  });
  std::vector<std::string> lines;
  for (const DefinitionWarning* warning : sorted)
    lines.push_back(warning->at.Warning(warning->message));
  return lines;
}

std::string PathText(const std::u16string& path) {
  std::u16string_view view = path;
  if (view.starts_with(u"./")) view.remove_prefix(2);
  return PathBytesText(view);
}

std::string Excerpt(std::u16string_view text) {
  const bool cut = text.size() > MAX_EXCERPT;
  std::u16string shown(text.substr(0, MAX_EXCERPT));
  // A cut between the halves of a surrogate pair drops the first half.
  if (cut && shown.back() >= 0xD800 && shown.back() < 0xDC00) shown.pop_back();
  for (char16_t& c : shown) {
    if (c < 32) c = u' ';
  }
  return ToUtf8(shown) + (cut ? "..." : "");
}

DefinitionText::DefinitionText(TStream& stream, std::u16string path, int64_t limit)
    : path_(std::move(path)) {
  const int64_t pos = stream.Pos();
  start_ = pos > 0 ? pos : 0;
  // Room for the whole text at once when the stream knows its size, so that
  // growing never holds two copies.
  const int64_t size = stream.Size();
  if (size > start_ && size - start_ <= limit) bytes_.reserve(size - start_ + kChunk);
  for (;;) {
    const size_t had = bytes_.size();
    bytes_.resize(had + kChunk);
    const int64_t moved = stream.Read(bytes_.data() + had, kChunk);
    bytes_.resize(had + (moved > 0 ? moved : 0));
    if (moved <= 0) break;
    if (End() > limit) {
      throw DefinitionParseError(PathText(path_) + ": the text is larger than " +
                                 ByteLimitText(limit));
    }
  }
  const bool mark = StartsWithByteOrderMark(bytes_);
  utf8_ = IsValidUtf8(bytes_, mark ? 3 : 0);
  begin_ = utf8_ && mark ? 3 : 0;
  lastoffset_ = begin_;
}

char16_t DefinitionText::CharAt(int64_t offset, int64_t& next, bool second) const {
  const uint8_t lead = bytes_[offset];
  if (!utf8_ || lead < 0x80) {
    next = offset + 1;
    return lead;
  }
  const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  char32_t code = lead & (0x7F >> length);
  for (int k = 1; k < length; ++k) code = (code << 6) | (bytes_[offset + k] & 0x3F);
  next = offset + length;
  if (code <= 0xFFFF) return static_cast<char16_t>(code);
  code -= 0x10000;
  return static_cast<char16_t>(second ? 0xDC00 + (code & 0x3FF) : 0xD800 + (code >> 10));
}

bool DefinitionText::IsCharStart(int64_t offset) const {
  return !utf8_ || !IsContinuation(bytes_[offset]);
}

SourcePosition DefinitionText::PositionOf(int64_t offset) {
  if (offset < begin_) offset = begin_;
  if (offset > End()) offset = End();
  if (offset >= lastoffset_) {
    for (int64_t i = lastoffset_; i < offset; ++i) {
      if (bytes_[i] == '\n') {
        ++lastline_;
        lastcolumn_ = 1;
      } else if (IsCharStart(i)) {
        ++lastcolumn_;
      }
    }
  } else {
    bool crossedline = false;
    for (int64_t i = offset; i < lastoffset_; ++i) {
      if (bytes_[i] == '\n') {
        --lastline_;
        crossedline = true;
      } else if (IsCharStart(i)) {
        --lastcolumn_;
      }
    }
    if (crossedline) {
      int64_t linestart = offset;
      while (linestart > begin_ && bytes_[linestart - 1] != '\n') --linestart;
      lastcolumn_ = 1;
      for (int64_t i = linestart; i < offset; ++i) lastcolumn_ += IsCharStart(i) ? 1 : 0;
    }
  }
  lastoffset_ = offset;
  return SourcePosition{path_, lastline_, lastcolumn_, start_ + offset};
}

}  // namespace skyloom

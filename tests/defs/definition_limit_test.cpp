// The definition reader holds a whole text in memory, so it stops at the
// input limit itself: for a stream handed to the parser directly, one that
// reports no size or too small a size, and a file that grew after it was
// opened. A small limit stands in for the real one, which would take 1 GiB.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "defs/definition_text.h"
#include "runtime/open.h"
#include "runtime/strings.h"

namespace skyloom {
namespace {

namespace fs = std::filesystem;

constexpr int64_t kLimit = 96 * 1024;  // more than one read chunk of the reader

// A stream of spaces that tells a wrong size, the way a /proc file reports 0
// bytes, or none at all.
class UnsizedStream : public TStream {
 public:
  UnsizedStream(int64_t length, int64_t reportedsize) : left_(length), size_(reportedsize) {}
  int64_t Size() override { return size_; }
  int64_t Read(void* buffer, int64_t count) override {
    const int64_t moved = std::min(count, left_);
    std::memset(buffer, ' ', static_cast<size_t>(moved));
    left_ -= moved;
    return moved;
  }

 private:
  int64_t left_;
  int64_t size_;
};

StreamRef RamStreamOf(int64_t length) {
  return TRamStream::CreateCopy(std::vector<uint8_t>(static_cast<size_t>(length), ' '), true,
                                false);
}

// A file of 16 bytes, opened through OpenInput while it is that small, then
// grown to length.
StreamRef GrownFile(int64_t length) {
  const fs::path path =
      fs::temp_directory_path() / ("skyloom_limit_" + std::to_string(::getpid()) + ".txt");
  std::ofstream(path, std::ios::binary) << std::string(16, ' ');
  OpenFailure failure;
  StreamRef stream = OpenInput(FromBytes(path.string()), failure);
  EXPECT_NE(stream, nullptr) << failure.reason;
  std::ofstream(path, std::ios::binary | std::ios::app) << std::string(length - 16, ' ');
  fs::remove(path);  // the open stream still reads it
  return stream;
}

TEST(DefinitionLimitTest, ATextPastTheLimitIsRefusedWhateverItsStreamSays) {
  const struct {
    const char* kind;
    std::function<StreamRef(int64_t)> open;
  } kinds[] = {
      {"memory", RamStreamOf},
      {"reports 0 bytes", [](int64_t n) { return std::make_shared<UnsizedStream>(n, 0); }},
      {"reports no size", [](int64_t n) { return std::make_shared<UnsizedStream>(n, -1); }},
      {"file grown after opening", GrownFile},
  };
  for (const auto& kind : kinds) {
    for (const int64_t length : {kLimit - 1, kLimit, kLimit + 1, 3 * kLimit}) {
      SCOPED_TRACE(std::string(kind.kind) + ", " + std::to_string(length) + " bytes");
      const StreamRef stream = kind.open(length);
      ASSERT_NE(stream, nullptr);
      if (length <= kLimit) {
        const DefinitionText text(*stream, u"big.txt", kLimit);
        EXPECT_EQ(text.End(), length);
        continue;
      }
      try {
        DefinitionText text(*stream, u"big.txt", kLimit);
        ADD_FAILURE() << "read " << text.End() << " bytes";
      } catch (const DefinitionParseError& e) {
        EXPECT_STREQ(e.what(), "big.txt: the text is larger than 96 KiB");
      }
    }
  }
}

}  // namespace
}  // namespace skyloom

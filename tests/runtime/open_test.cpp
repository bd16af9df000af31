// Opening streams by URL: files, embedded resources through "incbin::", the
// factory chain, and the copy-into-memory rule for streams without a position.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "runtime/open.h"
#include "runtime/resources.h"

namespace skyloom {
namespace {

const uint8_t kGreeting[] = {'h', 'e', 'l', 'l', 'o'};
const uint8_t kOther[] = {'x'};

class OpenTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterResource(u"test/greeting.txt", kGreeting, 5); }
};

TEST_F(OpenTest, RegistryKeepsTheFirstRegistrationAndMatchesNamesExactly) {
  EXPECT_EQ(RegisterResource(u"test/greeting.txt", kOther, 1), 0);
  EXPECT_EQ(ResourceData(u"test/greeting.txt"), kGreeting);
  EXPECT_EQ(ResourceSize(u"test/greeting.txt"), 5);
  EXPECT_EQ(ResourceData(u"test/Greeting.txt"), nullptr);
  EXPECT_EQ(ResourceSize(u"nothing"), 0);
}

TEST_F(OpenTest, IncbinOpensResourcesForReadingOnly) {
  struct Case {
    std::u16string url;
    bool opens;
  };
  const Case cases[] = {
      {u"incbin::test/greeting.txt", true},
      {u"INCBIN::test/greeting.txt", true},  // the scheme is lower-cased
      {u"InCbIn::test/greeting.txt", true},
      {u"incbin::TEST/greeting.txt", false},  // the name is not
      {u"incbin::missing", false},
      {u"nosuchscheme::test/greeting.txt", false},
      {u"", false},
  };
  for (const Case& c : cases) {
    StreamRef stream = OpenInput(c.url);
    EXPECT_EQ(stream != nullptr, c.opens) << std::string(c.url.begin(), c.url.end());
    if (stream) {
      EXPECT_EQ(stream->Size(), 5);
      EXPECT_EQ(stream->ReadString(5), u"hello");
    }
  }
  EXPECT_EQ(OpenOutput(u"incbin::test/greeting.txt"), nullptr);
}

TEST_F(OpenTest, PlainPathsAreFiles) {
  const auto path = (std::filesystem::temp_directory_path() / "skyloom_open_test.bin").string();
  const std::u16string url(path.begin(), path.end());
  {
    StreamRef out = OpenOutput(url);
    ASSERT_TRUE(out);
    out->WriteString(u"abc");
    EXPECT_EQ(out->Read(nullptr, 0), 0);
  }
  StreamRef in = OpenInput(url);
  ASSERT_TRUE(in);
  EXPECT_EQ(in->ReadString(3), u"abc");
  std::filesystem::remove(path);
  EXPECT_EQ(OpenInput(u"/nonexistent/dir/file"), nullptr);
}

// A code unit above 0xFF or a NUL would reach the file system as some other
// name (0x12F as "/", the NUL cutting the name short): such paths name no file.
TEST_F(OpenTest, PathsWithUnitsNoFileNameCanHoldGiveNull) {
  const auto dir = std::filesystem::temp_directory_path() / "skyloom_open_names";
  std::filesystem::create_directories(dir / "d");
  std::ofstream(dir / "d" / "f") << "f";
  const std::string d = dir.string();
  const std::u16string base(d.begin(), d.end());
  const std::u16string nul(1, u'\0');
  const std::u16string cases[] = {
      base + u"/d\u012Ff",          // d/f
      base + u"/d/f" + nul + u"x",  // d/f
      base + u"/g" + nul + u"x",    // g
  };
  for (const std::u16string& path : cases) {
    const std::string name(path.begin(), path.end());
    EXPECT_EQ(OpenInput(path), nullptr) << name;
    EXPECT_EQ(OpenStream(path, true, true), nullptr) << name;
    EXPECT_EQ(OpenOutput(path), nullptr) << name;
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "g"));
  EXPECT_EQ(std::filesystem::file_size(dir / "d" / "f"), 1u);  // not truncated
  std::filesystem::remove_all(dir);
}

// A stream that hands out bytes but cannot tell where it is.
class CountingStream : public TStream {
 public:
  int64_t Read(void* buffer, int64_t count) override {
    if (left_ == 0 || count <= 0) return 0;
    *static_cast<uint8_t*>(buffer) = static_cast<uint8_t>('0' + --left_);
    return 1;
  }
  int64_t Write(const void* buffer, int64_t count) override {
    written_->append(static_cast<const char*>(buffer), static_cast<size_t>(count));
    return count;
  }
  int left_ = 3;
  std::shared_ptr<std::string> written_ = std::make_shared<std::string>();
};

class CountingFactory : public TStreamFactory {
 public:
  StreamRef CreateStream(const std::u16string&, const std::u16string& scheme,
                         const std::u16string& path, bool, bool) override {
    last_scheme = scheme;
    last_path = path;
    if (scheme != u"count") return nullptr;
    auto stream = std::make_shared<CountingStream>();
    written = stream->written_;
    return stream;
  }
  std::u16string last_scheme, last_path;
  std::shared_ptr<std::string> written;
};

TEST_F(OpenTest, FactoriesAreAskedNewestFirstAndUnpositionedStreamsAreCopied) {
  CountingFactory factory;
  StreamRef stream = OpenInput(u"CoUnt::a::b");
  ASSERT_TRUE(stream);
  EXPECT_EQ(factory.last_scheme, u"count");
  EXPECT_EQ(factory.last_path, u"a::b");
  EXPECT_EQ(stream->Pos(), 0);
  EXPECT_EQ(stream->Size(), 3);
  EXPECT_EQ(stream->ReadString(3), u"210");

  // The newest factory sees every URL first, but others still answer.
  EXPECT_TRUE(OpenInput(u"incbin::test/greeting.txt"));
  EXPECT_EQ(factory.last_scheme, u"incbin");
}

// Copying a stream that cannot tell its position into memory suits reading
// only: what is written to the copy would never reach the stream.
TEST_F(OpenTest, WritesReachStreamsWithoutAPosition) {
  CountingFactory factory;
  const std::pair<bool, bool> modes[] = {{false, true}, {true, true}};
  for (const auto& [readable, writeable] : modes) {
    StreamRef stream = OpenStream(u"count::x", readable, writeable);
    ASSERT_TRUE(stream) << readable;
    stream->WriteString(u"abc");
    EXPECT_EQ(*factory.written, "abc") << readable;
  }
}

}  // namespace
}  // namespace skyloom

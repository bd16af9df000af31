// Typed reads and writes on memory and file streams: byte order, signedness,
// short reads and writes, and the raw Read/Write rules of each stream kind.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "runtime/stream.h"

namespace skyloom {
namespace {

std::shared_ptr<TRamStream> Over(std::vector<uint8_t>& bytes, bool read = true, bool write = true) {
  return TRamStream::Create(bytes.data(), static_cast<int64_t>(bytes.size()), read, write);
}

TEST(StreamTest, IntegersAreLittleEndianAndSignedOnlyForInt) {
  std::vector<uint8_t> bytes = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x34, 0x12, 0x80};
  auto stream = Over(bytes);
  EXPECT_EQ(stream->ReadShort(), 65535);
  EXPECT_EQ(stream->ReadInt(), -1);
  EXPECT_EQ(stream->ReadShort(), 0x1234);
  EXPECT_EQ(stream->ReadByte(), 0x80);
  EXPECT_TRUE(stream->Eof());
}

TEST(StreamTest, WritesKeepOnlyTheLowBitsOfEachWidth) {
  std::vector<uint8_t> bytes(7, 0);
  auto stream = Over(bytes);
  stream->WriteByte(0x1FE);
  stream->WriteShort(0x12345);
  stream->WriteInt(-2);
  EXPECT_EQ(bytes, (std::vector<uint8_t>{0xFE, 0x45, 0x23, 0xFE, 0xFF, 0xFF, 0xFF}));
}

TEST(StreamTest, FloatingPointAndLongRoundTrip) {
  std::vector<uint8_t> bytes(20, 0);
  auto stream = Over(bytes);
  stream->WriteDouble(-1.25e300);
  stream->WriteFloat(3.5f);
  stream->WriteLong(-5);
  stream->Seek(0);
  EXPECT_EQ(stream->ReadDouble(), -1.25e300);
  EXPECT_EQ(stream->ReadFloat(), 3.5f);
  EXPECT_EQ(stream->ReadLong(), -5);
}

TEST(StreamTest, StringsAreOneBytePerUnit) {
  std::vector<uint8_t> bytes(3, 0);
  auto stream = Over(bytes);
  stream->WriteString(u"\u00E9A\u0141");
  EXPECT_EQ(bytes, (std::vector<uint8_t>{0xE9, 0x41, 0x41}));
  stream->Seek(0);
  EXPECT_EQ(stream->ReadString(3), u"\u00E9AA");
}

TEST(StreamTest, LinesEndAtLineFeedWithoutCarriageReturn) {
  std::vector<uint8_t> bytes = {'a', 'b', '\r', '\n', 'c'};
  auto stream = Over(bytes);
  EXPECT_EQ(stream->ReadLine(), u"ab");
  EXPECT_EQ(stream->ReadLine(), u"c");
  EXPECT_TRUE(stream->Eof());
}

TEST(StreamTest, ShortReadsAndWritesRaise) {
  std::vector<uint8_t> bytes = {1, 2, 3};
  auto stream = Over(bytes);
  stream->Seek(2);
  EXPECT_THROW(stream->ReadShort(), TStreamReadException);
  stream->Seek(2);
  EXPECT_THROW(stream->WriteShort(7), TStreamWriteException);
  try {
    stream->Seek(3);
    stream->ReadByte();
    FAIL() << "no exception";
  } catch (const TStreamReadException& error) {
    EXPECT_STREQ(error.what(), "Error reading from stream");
  }
}

TEST(StreamTest, MemoryStreamRefusesWhatItDoesNotAllowAndClampsSeeks) {
  std::vector<uint8_t> bytes = {1, 2, 3};
  auto read_only = Over(bytes, true, false);
  uint8_t b = 9;
  EXPECT_EQ(read_only->Write(&b, 1), 0);
  EXPECT_EQ(bytes[0], 1);
  auto write_only = Over(bytes, false, true);
  EXPECT_EQ(write_only->Read(&b, 1), 0);
  EXPECT_EQ(write_only->Read(&b, -1), 0);
  EXPECT_EQ(read_only->Seek(-4), 0);
  EXPECT_EQ(read_only->Seek(99), 3);
  EXPECT_TRUE(read_only->Eof());
}

// A stream kind that brings no Read or Write of its own.
class BareStream : public TStream {};

TEST(StreamTest, KindsWithoutReadOrWriteSaySo) {
  BareStream bare;
  uint8_t b = 0;
  try {
    bare.Read(&b, 1);
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Stream is not readable");
  }
  try {
    bare.Write(&b, 1);
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Stream is not writeable");
  }
}

class FileStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = std::filesystem::temp_directory_path() /
            ("skyloom_stream_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
  }
  void TearDown() override { std::filesystem::remove(path_); }
  std::filesystem::path path_;
};

TEST_F(FileStreamTest, WriteTracksSizeAndCloseResets) {
  auto out = TCStream::OpenFile(path_.string(), TCStream::MODE_WRITE);
  ASSERT_TRUE(out);
  out->WriteInt(0x01020304);
  EXPECT_EQ(out->Pos(), 4);
  EXPECT_EQ(out->Size(), 4);
  out->Seek(2);
  out->WriteByte(9);
  EXPECT_EQ(out->Size(), 4);
  out->Close();
  EXPECT_EQ(out->Pos(), 0);
  EXPECT_EQ(out->Size(), 0);
  out->Close();  // closing twice does nothing

  auto in = TCStream::OpenFile(path_.string(), TCStream::MODE_READ);
  ASSERT_TRUE(in);
  EXPECT_EQ(in->Size(), 4);
  EXPECT_EQ(in->ReadInt(), 0x01090304);
  EXPECT_TRUE(in->Eof());
  EXPECT_THROW(in->ReadByte(), TStreamReadException);
}

// Bytes that the file system refuses once they leave the buffer (here a full
// device) make Flush and Close report failure; a good file reports success.
TEST_F(FileStreamTest, FlushAndCloseReportBytesTheFileSystemRefused) {
  auto full = TCStream::OpenFile("/dev/full", TCStream::MODE_WRITE);
  ASSERT_TRUE(full);
  full->WriteInt(1);
  EXPECT_EQ(full->Flush(), -1);
  full->WriteInt(2);
  EXPECT_EQ(full->Close(), -1);
  EXPECT_EQ(full->Close(), 0);  // already closed

  auto good = TCStream::OpenFile(path_.string(), TCStream::MODE_WRITE);
  good->WriteInt(1);
  EXPECT_EQ(good->Flush(), 0);
  EXPECT_EQ(good->Close(), 0);
}

// A directory opens for reading on some systems, as a stream whose size is
// nonsense and whose every read fails: it is not a file.
TEST_F(FileStreamTest, DirectoriesAreNotFiles) {
  std::filesystem::create_directory(path_);
  for (int mode :
       {TCStream::MODE_READ, TCStream::MODE_WRITE, TCStream::MODE_READ | TCStream::MODE_WRITE}) {
    EXPECT_EQ(TCStream::OpenFile(path_.string(), mode), nullptr) << mode;
  }
  EXPECT_TRUE(std::filesystem::is_directory(path_));
}

TEST_F(FileStreamTest, UpdateModeNeedsAnExistingFile) {
  EXPECT_FALSE(TCStream::OpenFile(path_.string(), TCStream::MODE_READ | TCStream::MODE_WRITE));
  {
    auto create = TCStream::OpenFile(path_.string(), TCStream::MODE_WRITE);
    create->WriteShort(1);
  }
  auto both = TCStream::OpenFile(path_.string(), TCStream::MODE_READ | TCStream::MODE_WRITE);
  ASSERT_TRUE(both);
  EXPECT_EQ(both->ReadShort(), 1);
  both->WriteShort(2);
  EXPECT_EQ(both->Size(), 4);
}

}  // namespace
}  // namespace skyloom

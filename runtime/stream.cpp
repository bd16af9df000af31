// Byte streams: typed reads and writes on top of Read and Write, and the file
// and memory stream kinds.
#include "runtime/stream.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace skyloom {

int64_t TIO::Read(void*, int64_t) {
  throw TStreamNotSupportedException("Stream is not readable");
}

int64_t TIO::Write(const void*, int64_t) {
  throw TStreamNotSupportedException("Stream is not writeable");
}

void TStream::ReadBytes(void* buffer, int64_t count) {
  auto* bytes = static_cast<uint8_t*>(buffer);
  while (count > 0) {
    const int64_t moved = Read(bytes, count);
    if (moved <= 0) throw TStreamReadException();
    bytes += moved;
    count -= moved;
  }
}

void TStream::WriteBytes(const void* buffer, int64_t count) {
  const auto* bytes = static_cast<const uint8_t*>(buffer);
  while (count > 0) {
    const int64_t moved = Write(bytes, count);
    if (moved <= 0) throw TStreamWriteException();
    bytes += moved;
    count -= moved;
  }
}

int64_t TStream::SkipBytes(int64_t count) {
  uint8_t scratch[4096];
  int64_t skipped = 0;
  while (skipped < count) {
    const int64_t moved = Read(scratch, std::min<int64_t>(sizeof scratch, count - skipped));
    if (moved <= 0) break;
    skipped += moved;
  }
  return skipped;
}

// Little-endian integers of n bytes.
template <typename T, int N>
static T ReadLittle(TStream& stream) {
  uint8_t bytes[N];
  stream.ReadBytes(bytes, N);
  uint64_t value = 0;
  for (int i = N - 1; i >= 0; --i) value = (value << 8) | bytes[i];
  return static_cast<T>(value);
}

template <int N>
static void WriteLittle(TStream& stream, uint64_t value) {
  uint8_t bytes[N];
  for (int i = 0; i < N; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
  stream.WriteBytes(bytes, N);
}

int TStream::ReadByte() {
  return ReadLittle<uint8_t, 1>(*this);
}
int TStream::ReadShort() {
  return ReadLittle<uint16_t, 2>(*this);
}
int32_t TStream::ReadInt() {
  return ReadLittle<int32_t, 4>(*this);
}
int64_t TStream::ReadLong() {
  return ReadLittle<int64_t, 8>(*this);
}

float TStream::ReadFloat() {
  const uint32_t bits = ReadLittle<uint32_t, 4>(*this);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

double TStream::ReadDouble() {
  const uint64_t bits = ReadLittle<uint64_t, 8>(*this);
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

void TStream::WriteByte(int value) {
  WriteLittle<1>(*this, static_cast<uint32_t>(value));
}
void TStream::WriteShort(int value) {
  WriteLittle<2>(*this, static_cast<uint32_t>(value));
}
void TStream::WriteInt(int32_t value) {
  WriteLittle<4>(*this, static_cast<uint32_t>(value));
}
void TStream::WriteLong(int64_t value) {
  WriteLittle<8>(*this, static_cast<uint64_t>(value));
}

void TStream::WriteFloat(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  WriteLittle<4>(*this, bits);
}

void TStream::WriteDouble(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  WriteLittle<8>(*this, bits);
}

std::u16string TStream::ReadLine() {
  std::u16string line;
  uint8_t byte;
  while (Read(&byte, 1) == 1) {
    if (byte == '\n') break;
    line += static_cast<char16_t>(byte);
  }
  if (!line.empty() && line.back() == u'\r') line.pop_back();
  return line;
}

void TStream::WriteLine(const std::u16string& text) {
  WriteString(text);
  WriteBytes("\r\n", 2);
}

std::u16string TStream::ReadString(int length) {
  if (length <= 0) return std::u16string();
  std::string bytes(static_cast<size_t>(length), '\0');
  ReadBytes(bytes.data(), length);
  std::u16string text(bytes.size(), u'\0');
  for (size_t i = 0; i < bytes.size(); ++i) text[i] = static_cast<unsigned char>(bytes[i]);
  return text;
}

void TStream::WriteString(const std::u16string& text) {
  std::string bytes(text.size(), '\0');
  for (size_t i = 0; i < text.size(); ++i) bytes[i] = static_cast<char>(text[i] & 0xFF);
  WriteBytes(bytes.data(), static_cast<int64_t>(bytes.size()));
}

// ---- TCStream ----

std::shared_ptr<TCStream> TCStream::OpenFile(const std::string& path, int mode) {
  const char* how = nullptr;
  switch (mode) {
    case MODE_READ:
      how = "rb";
      break;
    case MODE_WRITE:
      how = "wb";
      break;
    case MODE_READ | MODE_WRITE:
      how = "r+b";
      break;
    default:
      return nullptr;
  }
  std::FILE* file = std::fopen(path.c_str(), how);
  if (!file) return nullptr;
  // A directory can be opened for reading, but it is no file: its size is
  // meaningless and every read fails.
  struct stat info;
  if (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
    std::fclose(file);
    return nullptr;
  }
  return std::make_shared<TCStream>(file, mode);
}

TCStream::TCStream(std::FILE* file, int mode) : _cstream(file), _mode(mode) {
  std::fseek(_cstream, 0, SEEK_END);
  _size = std::ftell(_cstream);
  std::fseek(_cstream, 0, SEEK_SET);
}

TCStream::~TCStream() {
  Close();
}

int64_t TCStream::Seek(int64_t offset) {
  if (!_cstream) return 0;
  std::fseek(_cstream, static_cast<long>(offset), SEEK_SET);
  _direction = 0;
  _pos = std::ftell(_cstream);
  return _pos;
}

int TCStream::Flush() {
  if (_cstream && std::fflush(_cstream) != 0) {
    NoteFailure();
    return -1;
  }
  return 0;
}

void TCStream::NoteFailure() {
  if (_error == 0) _error = errno != 0 ? errno : EIO;
}

int TCStream::Close() {
  if (!_cstream) return 0;
  // Buffered bytes reach the file only here; a failure (a full disk) is the
  // last chance to tell the caller that the file is incomplete.
  const bool flushed = std::fflush(_cstream) == 0;
  if (!flushed) NoteFailure();
  const bool closed = std::fclose(_cstream) == 0;
  if (!closed) NoteFailure();
  _cstream = nullptr;
  _pos = 0;
  _size = 0;
  return flushed && closed ? 0 : -1;
}

void TCStream::SwitchDirection(int direction) {
  if (_direction != 0 && _direction != direction) std::fseek(_cstream, 0, SEEK_CUR);
  _direction = direction;
}

int64_t TCStream::Read(void* buffer, int64_t count) {
  if (!_cstream || count <= 0 || !(_mode & MODE_READ)) return 0;
  SwitchDirection(MODE_READ);
  const int64_t moved =
      static_cast<int64_t>(std::fread(buffer, 1, static_cast<size_t>(count), _cstream));
  _pos += moved;
  return moved;
}

int64_t TCStream::Write(const void* buffer, int64_t count) {
  if (!_cstream || count <= 0 || !(_mode & MODE_WRITE)) return 0;
  SwitchDirection(MODE_WRITE);
  const int64_t moved =
      static_cast<int64_t>(std::fwrite(buffer, 1, static_cast<size_t>(count), _cstream));
  if (moved < count) NoteFailure();
  _pos += moved;
  if (_pos > _size) _size = _pos;
  return moved;
}

// ---- TRamStream ----

std::shared_ptr<TRamStream> TRamStream::Create(void* buffer, int64_t size, bool readable,
                                               bool writeable) {
  auto stream = std::make_shared<TRamStream>();
  stream->_buf = static_cast<uint8_t*>(buffer);
  stream->_size = size < 0 ? 0 : size;
  stream->_read = readable;
  stream->_write = writeable;
  return stream;
}

std::shared_ptr<TRamStream> TRamStream::CreateReadOnly(const void* buffer, int64_t size) {
  // Writing is refused, so the bytes are never modified through the stream.
  return Create(const_cast<void*>(buffer), size, true, false);
}

std::shared_ptr<TRamStream> TRamStream::CreateCopy(std::vector<uint8_t> bytes, bool readable,
                                                   bool writeable) {
  auto owned = std::make_shared<std::vector<uint8_t>>(std::move(bytes));
  auto stream = Create(owned->data(), static_cast<int64_t>(owned->size()), readable, writeable);
  stream->_owned = std::move(owned);
  return stream;
}

int64_t TRamStream::Seek(int64_t offset) {
  _pos = std::clamp<int64_t>(offset, 0, _size);
  return _pos;
}

int64_t TRamStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || !_read) return 0;
  const int64_t moved = std::min(count, _size - _pos);
  if (moved <= 0) return 0;
  std::memcpy(buffer, _buf + _pos, static_cast<size_t>(moved));
  _pos += moved;
  return moved;
}

int64_t TRamStream::Write(const void* buffer, int64_t count) {
  if (count <= 0 || !_write) return 0;
  const int64_t moved = std::min(count, _size - _pos);
  if (moved <= 0) return 0;
  std::memcpy(_buf + _pos, buffer, static_cast<size_t>(moved));
  _pos += moved;
  return moved;
}

}  // namespace skyloom

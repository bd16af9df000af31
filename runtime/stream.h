// Byte streams: the TIO base with the raw operations each kind provides, the
// TStream layer of typed little-endian reads and writes built on Read and
// Write, the file stream TCStream and the memory stream TRamStream.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace skyloom {

// A read that moved fewer bytes than asked: "Error reading from stream".
class TStreamReadException : public std::runtime_error {
 public:
  TStreamReadException() : std::runtime_error("Error reading from stream") {}
};

// A write that moved fewer bytes than asked: "Error writing to stream".
class TStreamWriteException : public std::runtime_error {
 public:
  TStreamWriteException() : std::runtime_error("Error writing to stream") {}
};

// A stream kind without a Read ("Stream is not readable") or a Write
// ("Stream is not writeable") of its own.
class TStreamNotSupportedException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TIO {
 public:
  virtual ~TIO() = default;

  virtual int Eof() { return Pos() == Size(); }
  // Current offset in bytes; -1 for a stream that cannot tell.
  virtual int64_t Pos() { return -1; }
  virtual int64_t Size() { return -1; }
  // Moves to an absolute offset; returns the new position.
  virtual int64_t Seek(int64_t /*offset*/) { return -1; }
  virtual int Flush() { return 0; }
  virtual int Close() { return 0; }
  // Move up to count bytes; return how many moved (0 at the end).
  virtual int64_t Read(void* buffer, int64_t count);
  virtual int64_t Write(const void* buffer, int64_t count);
};

class TStream : public TIO {
 public:
  // Move exactly count bytes, or raise the stream's read/write error.
  virtual void ReadBytes(void* buffer, int64_t count);
  virtual void WriteBytes(const void* buffer, int64_t count);
  // Reads and discards count bytes; returns how many were skipped.
  virtual int64_t SkipBytes(int64_t count);

  virtual int ReadByte();     // 0 to 255
  virtual int ReadShort();    // 0 to 65535
  virtual int32_t ReadInt();  // signed
  virtual int64_t ReadLong();
  virtual float ReadFloat();
  virtual double ReadDouble();
  virtual void WriteByte(int value);   // low 8 bits
  virtual void WriteShort(int value);  // low 16 bits
  virtual void WriteInt(int32_t value);
  virtual void WriteLong(int64_t value);
  virtual void WriteFloat(float value);
  virtual void WriteDouble(double value);

  // Bytes up to a LF (a CR before it is dropped) or the end; one unit a byte.
  virtual std::u16string ReadLine();
  // The text's bytes followed by CR LF.
  virtual void WriteLine(const std::u16string& text);
  // Exactly length bytes as units 0 to 255.
  virtual std::u16string ReadString(int length);
  // One byte per code unit (its low 8 bits); no length, no terminator.
  virtual void WriteString(const std::u16string& text);
};

using StreamRef = std::shared_ptr<TStream>;

// A file opened in binary mode. Destroying it closes it.
class TCStream : public TStream {
 public:
  static constexpr int MODE_READ = 1;
  static constexpr int MODE_WRITE = 2;

  // Opens path: read only, write only (create or truncate), or both (update
  // an existing file). Null when the file cannot be opened or is a directory.
  static std::shared_ptr<TCStream> OpenFile(const std::string& path, int mode);

  TCStream(std::FILE* file, int mode);
  ~TCStream() override;
  TCStream(const TCStream&) = delete;
  TCStream& operator=(const TCStream&) = delete;

  int64_t Pos() override { return _pos; }
  int64_t Size() override { return _size; }
  int64_t Seek(int64_t offset) override;
  // Both return -1 when the file system refuses the buffered bytes (a full
  // disk, an I/O error), else 0.
  int Flush() override;
  int Close() override;
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;

  int64_t _pos = 0;
  int64_t _size = 0;
  std::FILE* _cstream = nullptr;
  int _mode = 0;
  // The system's error number of the first write, flush or close that
  // failed, 0 while none has; it outlives Close so callers can say why.
  int _error = 0;

 private:
  void NoteFailure();
  // C streams opened for update need a seek between a read and a write.
  void SwitchDirection(int direction);
  int _direction = 0;
};

// A stream over a fixed block of memory. It does not own the block unless it
// was made with CreateCopy, which keeps its own copy of the bytes.
class TRamStream : public TStream {
 public:
  static std::shared_ptr<TRamStream> Create(void* buffer, int64_t size, bool readable,
                                            bool writeable);
  static std::shared_ptr<TRamStream> CreateReadOnly(const void* buffer, int64_t size);
  static std::shared_ptr<TRamStream> CreateCopy(std::vector<uint8_t> bytes, bool readable,
                                                bool writeable);

  int64_t Pos() override { return _pos; }
  int64_t Size() override { return _size; }
  int64_t Seek(int64_t offset) override;
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;

  int64_t _pos = 0;
  int64_t _size = 0;
  uint8_t* _buf = nullptr;
  bool _read = false;
  bool _write = false;

 private:
  std::shared_ptr<std::vector<uint8_t>> _owned;
};

}  // namespace skyloom

#pragma once
// Byte streams with 64-bit positions: the file stream every archive access goes through and the
// growable memory stream that holds plain payloads.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pw {

// A seekable byte stream. Positions past the end are allowed; a write there fills the gap with zeros.
class TStream {
 public:
  virtual ~TStream() = default;

  // Reads up to count bytes at the position and advances; returns the number read (fewer only at the end).
  virtual size_t Read(void* buffer, size_t count) = 0;
  // Writes count bytes at the position and advances, growing the stream; throws Error on failure.
  virtual void Write(const void* buffer, size_t count) = 0;
  // Moves to an absolute position (0 or more).
  virtual void Seek(int64_t position) = 0;
  // The current position.
  virtual int64_t Position() const = 0;
  // The total length in bytes.
  virtual int64_t Size() = 0;

  // Reads exactly count bytes or throws "Stream read error".
  void ReadBuffer(void* buffer, size_t count);
  // Reads exactly count bytes; false (position unspecified) when fewer are available.
  bool TryRead(void* buffer, size_t count);
  // Reads a little-endian 32-bit word or throws "Stream read error".
  uint32_t ReadU32();
  // Reads a little-endian 32-bit word; false when fewer than 4 bytes remain.
  bool TryReadU32(uint32_t& value);
  // Writes a little-endian 32-bit word.
  void WriteU32(uint32_t value);
  // Writes count zero bytes.
  void WriteZeros(size_t count);
  // Moves by delta bytes from the current position.
  void Skip(int64_t delta) { Seek(Position() + delta); }
  // Bytes from the position to the end, 0 when the position is past the end.
  int64_t Remaining();
  // Copies exactly count bytes from source (at its position) to this stream; short source: "Stream read
  // error".
  void CopyFrom(TStream& source, uint64_t count);
};

// A growable in-memory stream that owns its bytes.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> bytes) : FData(std::move(bytes)) {}

  size_t Read(void* buffer, size_t count) override;
  void Write(const void* buffer, size_t count) override;
  void Seek(int64_t position) override { FPosition = position; }
  int64_t Position() const override { return FPosition; }
  int64_t Size() override { return static_cast<int64_t>(FData.size()); }

  // The bytes held.
  const std::vector<uint8_t>& Bytes() const { return FData; }
  std::vector<uint8_t>& Bytes() { return FData; }

 private:
  std::vector<uint8_t> FData;
  int64_t FPosition = 0;
};

// How a file stream opens its file. Every mode holds an exclusive advisory lock while open.
enum class TFileMode {
  OpenRead,       // existing file, read only
  OpenReadWrite,  // existing file, read and write
  Create,         // created or emptied, read and write
};

// A buffered file stream holding an exclusive lock on its file.
// Open failures throw "Cannot open file ..." or "Cannot create file ..." with the system's reason.
class TFileStream : public TStream {
 public:
  TFileStream(const std::string& path, TFileMode mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  // Creates a new, empty, uniquely named, locked file beside targetPath; errors name targetPath.
  static TFileStream CreateTemporaryFor(const std::string& targetPath);
  TFileStream(TFileStream&& other) noexcept;

  size_t Read(void* buffer, size_t count) override;
  void Write(const void* buffer, size_t count) override;
  void Seek(int64_t position) override { FPosition = position; }
  int64_t Position() const override { return FPosition; }
  int64_t Size() override;

  // Sets the file's length (flushing pending writes first).
  void SetSize(int64_t size);
  // Writes pending data to the file (and, when durable, waits until it is on the disk); throws on failure.
  void Flush(bool durable = true);
  // The path the stream was opened with.
  const std::string& Path() const { return FPath; }
  // The file's device and inode, for telling whether two paths name one file.
  std::pair<uint64_t, uint64_t> Identity() const;

 private:
  TFileStream() = default;
  void FlushWrites();
  [[noreturn]] void ThrowWriteError(int err) const;

  int FFd = -1;
  std::string FPath;
  int64_t FPosition = 0;
  std::vector<uint8_t> FBuffer;
  int64_t FReadStart = 0;  // file offset of the read-ahead bytes in FBuffer
  size_t FReadLength = 0;
  int64_t FWriteStart = 0;  // file offset of the pending bytes in FBuffer
  size_t FWriteLength = 0;
};

// A file written under a temporary name beside its target and renamed over it only by Commit(), so that
// a failed write never leaves a half-written file in place of a good one.
class TReplacingFile {
 public:
  // Creates the temporary file; errors name path.
  explicit TReplacingFile(const std::string& path);
  // Removes the temporary file unless committed.
  ~TReplacingFile();
  TReplacingFile(const TReplacingFile&) = delete;
  TReplacingFile& operator=(const TReplacingFile&) = delete;

  // The stream to write to.
  TFileStream& Stream() { return FStream; }
  // Flushes and renames the file over its target; throws on failure (the target then is unchanged).
  // durable: also waits until the data is on the disk (for a file whose loss after a crash would hurt).
  void Commit(bool durable = false);

 private:
  std::string FPath;
  TFileStream FStream;
  bool FCommitted = false;
};

// Loads a whole file into memory (opened unshared for reading).
std::vector<uint8_t> LoadFile(const std::string& path);

// Reads a little-endian 32-bit word from memory.
inline uint32_t GetU32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
// Writes a little-endian 32-bit word to memory.
inline void PutU32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}

}  // namespace pw

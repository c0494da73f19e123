#include "platform/Stream.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/Error.h"
#include "platform/FileSystem.h"

namespace pw {

namespace {
constexpr size_t kBufferSize = 1 << 16;
constexpr size_t kCopySlice = 1 << 20;
}  // namespace

void TStream::ReadBuffer(void* buffer, size_t count) {
  if (Read(buffer, count) != count) ThrowStreamReadError();
}

bool TStream::TryRead(void* buffer, size_t count) {
  return Read(buffer, count) == count;
}

uint32_t TStream::ReadU32() {
  uint8_t b[4];
  ReadBuffer(b, 4);
  return GetU32(b);
}

bool TStream::TryReadU32(uint32_t& value) {
  uint8_t b[4];
  if (!TryRead(b, 4)) return false;
  value = GetU32(b);
  return true;
}

void TStream::WriteU32(uint32_t value) {
  uint8_t b[4];
  PutU32(b, value);
  Write(b, 4);
}

void TStream::WriteZeros(size_t count) {
  static const uint8_t zeros[256] = {};
  while (count > 0) {
    size_t n = std::min(count, sizeof zeros);
    Write(zeros, n);
    count -= n;
  }
}

int64_t TStream::Remaining() {
  return std::max<int64_t>(0, Size() - Position());
}

void TStream::CopyFrom(TStream& source, uint64_t count) {
  std::vector<uint8_t> slice(std::min<uint64_t>(count, kCopySlice));
  while (count > 0) {
    size_t n = static_cast<size_t>(std::min<uint64_t>(count, slice.size()));
    source.ReadBuffer(slice.data(), n);
    Write(slice.data(), n);
    count -= n;
  }
}

// ---- TMemoryStream ----

size_t TMemoryStream::Read(void* buffer, size_t count) {
  int64_t size = Size();
  if (FPosition >= size || count == 0) return 0;
  size_t n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), size - FPosition));
  std::memcpy(buffer, FData.data() + FPosition, n);
  FPosition += static_cast<int64_t>(n);
  return n;
}

void TMemoryStream::Write(const void* buffer, size_t count) {
  if (count == 0) return;
  size_t end = static_cast<size_t>(FPosition) + count;
  if (end > FData.size()) {
    if (end > FData.capacity()) FData.reserve(std::max(end, FData.capacity() + FData.capacity() / 2));
    FData.resize(end);
  }
  std::memcpy(FData.data() + FPosition, buffer, count);
  FPosition = static_cast<int64_t>(end);
}

// ---- TFileStream ----

namespace {

// Opens and locks; returns the descriptor or -errno.
int OpenLocked(const std::string& path, int flags, int& err) {
  int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
  if (fd < 0) {
    err = errno;
    return -1;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    err = errno;
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

TFileStream::TFileStream(const std::string& path, TFileMode mode) : FPath(path) {
  int err = 0;
  switch (mode) {
    case TFileMode::OpenRead:
    case TFileMode::OpenReadWrite: {
      FFd = OpenLocked(path, mode == TFileMode::OpenRead ? O_RDONLY : O_RDWR, err);
      if (FFd < 0) ThrowCannotOpen(path, SystemReason(err));
      struct stat st {};
      if (::fstat(FFd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(FFd);
        FFd = -1;
        ThrowCannotOpen(path, SystemReason(EISDIR));
      }
      break;
    }
    case TFileMode::Create:
      // Lock before emptying, so a file held by another opener is never truncated.
      FFd = OpenLocked(path, O_RDWR | O_CREAT, err);
      if (FFd < 0) ThrowCannotCreate(path, SystemReason(err));
      if (::ftruncate(FFd, 0) != 0) {
        err = errno;
        ::close(FFd);
        FFd = -1;
        ThrowCannotCreate(path, SystemReason(err));
      }
      break;
  }
  FBuffer.resize(kBufferSize);
}

TFileStream TFileStream::CreateTemporaryFor(const std::string& targetPath) {
  const std::string pattern = ExtractFilePath(targetPath) + "." + ExtractFileName(targetPath) + ".tmp-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
  if (fd < 0) ThrowCannotCreate(targetPath, SystemReason(errno));
  // mkostemp makes the file private; give it the permissions a plain create would.
  mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
  ::flock(fd, LOCK_EX | LOCK_NB);
  TFileStream stream;
  stream.FFd = fd;
  stream.FPath = buffer.data();
  stream.FBuffer.resize(kBufferSize);
  return stream;
}

TFileStream::TFileStream(TFileStream&& other) noexcept
    : FFd(other.FFd),
      FPath(std::move(other.FPath)),
      FPosition(other.FPosition),
      FBuffer(std::move(other.FBuffer)),
      FReadStart(other.FReadStart),
      FReadLength(other.FReadLength),
      FWriteStart(other.FWriteStart),
      FWriteLength(other.FWriteLength) {
  other.FFd = -1;
  other.FWriteLength = 0;
}

TFileStream::~TFileStream() {
  if (FFd < 0) return;
  try {
    FlushWrites();
  } catch (...) {
    // A failure here cannot be reported; callers that need the data call Flush() first.
  }
  ::close(FFd);
}

void TFileStream::ThrowWriteError(int err) const {
  throw Error("Cannot write file \"" + FPath + "\". " + SystemReason(err));
}

size_t TFileStream::Read(void* buffer, size_t count) {
  FlushWrites();
  auto* out = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < count) {
    if (FPosition >= FReadStart && FPosition < FReadStart + static_cast<int64_t>(FReadLength)) {
      size_t offset = static_cast<size_t>(FPosition - FReadStart);
      size_t n = std::min(count - done, FReadLength - offset);
      std::memcpy(out + done, FBuffer.data() + offset, n);
      done += n;
      FPosition += static_cast<int64_t>(n);
      continue;
    }
    size_t want = count - done;
    if (want >= FBuffer.size()) {
      ssize_t got = ::pread(FFd, out + done, want, FPosition);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) throw Error("Cannot read file \"" + FPath + "\". " + SystemReason(errno));
      if (got == 0) break;
      done += static_cast<size_t>(got);
      FPosition += got;
      continue;
    }
    ssize_t got = ::pread(FFd, FBuffer.data(), FBuffer.size(), FPosition);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw Error("Cannot read file \"" + FPath + "\". " + SystemReason(errno));
    FReadStart = FPosition;
    FReadLength = static_cast<size_t>(got);
    if (got == 0) break;
  }
  return done;
}

void TFileStream::Write(const void* buffer, size_t count) {
  if (count == 0) return;
  FReadLength = 0;  // read-ahead may now be stale
  const auto* in = static_cast<const uint8_t*>(buffer);
  if (FWriteLength > 0 && FPosition != FWriteStart + static_cast<int64_t>(FWriteLength)) FlushWrites();
  if (FWriteLength + count > FBuffer.size()) FlushWrites();
  if (count >= FBuffer.size()) {
    size_t done = 0;
    while (done < count) {
      ssize_t put = ::pwrite(FFd, in + done, count - done, FPosition + static_cast<int64_t>(done));
      if (put < 0 && errno == EINTR) continue;
      if (put < 0) ThrowWriteError(errno);
      done += static_cast<size_t>(put);
    }
    FPosition += static_cast<int64_t>(count);
    return;
  }
  if (FWriteLength == 0) FWriteStart = FPosition;
  std::memcpy(FBuffer.data() + FWriteLength, in, count);
  FWriteLength += count;
  FPosition += static_cast<int64_t>(count);
}

void TFileStream::FlushWrites() {
  size_t done = 0;
  while (done < FWriteLength) {
    ssize_t put =
        ::pwrite(FFd, FBuffer.data() + done, FWriteLength - done, FWriteStart + static_cast<int64_t>(done));
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) {
      FWriteLength = 0;
      ThrowWriteError(errno);
    }
    done += static_cast<size_t>(put);
  }
  FWriteLength = 0;
}

int64_t TFileStream::Size() {
  FlushWrites();
  struct stat st {};
  if (::fstat(FFd, &st) != 0) throw Error("Cannot read file \"" + FPath + "\". " + SystemReason(errno));
  return static_cast<int64_t>(st.st_size);
}

void TFileStream::SetSize(int64_t size) {
  FlushWrites();
  FReadLength = 0;
  if (::ftruncate(FFd, size) != 0) ThrowWriteError(errno);
}

void TFileStream::Flush(bool durable) {
  FlushWrites();
  if (durable && ::fsync(FFd) != 0) ThrowWriteError(errno);
}

std::pair<uint64_t, uint64_t> TFileStream::Identity() const {
  struct stat st {};
  if (::fstat(FFd, &st) != 0) return {0, 0};
  return {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

TReplacingFile::TReplacingFile(const std::string& path)
    : FPath(path), FStream(TFileStream::CreateTemporaryFor(path)) {}

TReplacingFile::~TReplacingFile() {
  if (!FCommitted) ::unlink(FStream.Path().c_str());
}

void TReplacingFile::Commit(bool durable) {
  FStream.Flush(durable);
  if (::rename(FStream.Path().c_str(), FPath.c_str()) != 0) ThrowCannotCreate(FPath, SystemReason(errno));
  FCommitted = true;
}

std::vector<uint8_t> LoadFile(const std::string& path) {
  TFileStream file(path, TFileMode::OpenRead);
  int64_t size = file.Size();
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  file.ReadBuffer(bytes.data(), bytes.size());
  return bytes;
}

}  // namespace pw

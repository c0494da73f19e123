#include "archive/Payload.h"

#include <zlib.h>

#include "platform/Error.h"

namespace pw {

namespace {
constexpr size_t kInflateSlice = 1 << 16;

[[noreturn]] void ThrowZlibError(const z_stream& zs, int ret) {
  throw Error(zs.msg ? zs.msg : zError(ret));
}
}  // namespace

struct TInflater::State {
  z_stream zs{};
  std::vector<uint8_t> slice = std::vector<uint8_t>(kInflateSlice);
};

TInflater::TInflater() : FState(new State) {
  int ret = inflateInit2(&FState->zs, 15);
  if (ret != Z_OK) {
    delete FState;
    throw Error(zError(ret));
  }
}

TInflater::~TInflater() {
  inflateEnd(&FState->zs);
  delete FState;
}

void TInflater::Inflate(const uint8_t* data, size_t size,
                        const std::function<void(const uint8_t*, size_t)>& sink) {
  z_stream& zs = FState->zs;
  inflateReset(&zs);
  zs.next_in = const_cast<Bytef*>(data);
  zs.avail_in = static_cast<uInt>(size);
  for (;;) {
    zs.next_out = FState->slice.data();
    zs.avail_out = static_cast<uInt>(FState->slice.size());
    int ret = inflate(&zs, Z_NO_FLUSH);
    size_t produced = FState->slice.size() - zs.avail_out;
    if (produced > 0) sink(FState->slice.data(), produced);
    if (ret == Z_STREAM_END) return;
    // No progress possible: the chunk's bytes ran out before the stream's end, which is not an error.
    if (ret == Z_BUF_ERROR || (ret == Z_OK && zs.avail_in == 0 && produced < FState->slice.size())) return;
    if (ret != Z_OK) ThrowZlibError(zs, ret == Z_NEED_DICT ? Z_DATA_ERROR : ret);
  }
}

void TInflater::Inflate(const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
  // Inflates straight into the vector's tail: no slice buffer, no second copy.
  z_stream& zs = FState->zs;
  inflateReset(&zs);
  zs.next_in = const_cast<Bytef*>(data);
  zs.avail_in = static_cast<uInt>(size);
  for (;;) {
    const size_t used = out.size();
    if (out.capacity() - used < kInflateSlice)
      out.reserve(std::max(used + kInflateSlice, out.capacity() * 2));
    out.resize(used + kInflateSlice);  // one slice at a time: resizing zero-fills what it adds
    zs.next_out = out.data() + used;
    zs.avail_out = static_cast<uInt>(kInflateSlice);
    const uInt room = zs.avail_out;
    int ret = inflate(&zs, Z_NO_FLUSH);
    const size_t produced = room - zs.avail_out;
    out.resize(used + produced);
    if (ret == Z_STREAM_END) return;
    if (ret == Z_BUF_ERROR || (ret == Z_OK && zs.avail_in == 0 && produced < room)) return;
    if (ret != Z_OK) ThrowZlibError(zs, ret == Z_NEED_DICT ? Z_DATA_ERROR : ret);
  }
}

TChunkReader::TChunkReader(TStream& source) : FSource(source) {
  FSource.Skip(4);
}

bool TChunkReader::Next() {
  const int32_t length = static_cast<int32_t>(FSource.ReadU32());
  if (length == 0) return false;
  // Untrusted length: it must be positive and the bytes must be there before they are allocated.
  if (length < 0 || length > FSource.Remaining()) ThrowStreamReadError();
  FChunk.resize(static_cast<size_t>(length));
  FSource.ReadBuffer(FChunk.data(), FChunk.size());
  return true;
}

void TChunkReader::InflateTo(TStream& dest) {
  FInflater.Inflate(FChunk.data(), FChunk.size(), [&dest](const uint8_t* p, size_t n) { dest.Write(p, n); });
}

void ExtractEntryData(const TDataInfo& info, TStream& source, TStream* dest) {
  if (!dest) return;
  if (IsStoredEntry(info.UncompSize)) {
    if (info.Size > 0) dest->CopyFrom(source, info.Size);
    return;
  }
  TChunkReader chunks(source);
  while (chunks.Next()) chunks.InflateTo(*dest);
}

std::pair<uint32_t, uint32_t> WriteEntryPayload(const std::vector<uint8_t>& plain, TStream& dest,
                                                bool compressed) {
  const uint32_t length = static_cast<uint32_t>(plain.size());
  if (!compressed) {
    dest.Write(plain.data(), plain.size());
    return {length, 0};
  }
  z_stream zs{};
  int ret = deflateInit2(&zs, 9, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY);
  if (ret != Z_OK) throw Error(zError(ret));
  struct End {
    z_stream* zs;
    ~End() { deflateEnd(zs); }
  } end{&zs};
  std::vector<uint8_t> chunk(deflateBound(&zs, kChunkPlainSize));
  uint64_t size = 4;
  dest.WriteU32(length);
  for (size_t at = 0; at < plain.size(); at += kChunkPlainSize) {
    const size_t n = std::min<size_t>(kChunkPlainSize, plain.size() - at);
    deflateReset(&zs);
    zs.next_in = const_cast<Bytef*>(plain.data() + at);
    zs.avail_in = static_cast<uInt>(n);
    zs.next_out = chunk.data();
    zs.avail_out = static_cast<uInt>(chunk.size());
    ret = deflate(&zs, Z_FINISH);
    if (ret != Z_STREAM_END) ThrowZlibError(zs, ret);
    const uint32_t stored = static_cast<uint32_t>(chunk.size() - zs.avail_out);
    dest.WriteU32(stored);
    dest.Write(chunk.data(), stored);
    size += 4 + uint64_t(stored);
  }
  dest.WriteU32(0);
  size += 4;
  return {static_cast<uint32_t>(size), length};
}

}  // namespace pw

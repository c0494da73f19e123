#include "archive/Payload.h"

#include <zlib.h>

#include <atomic>
#include <exception>
#include <thread>

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

namespace {

// Compresses plain bytes into chunks[k] (the k-th 32768-byte slice as one zlib stream, level 9, window
// bits 15, memory level 8, default strategy) for every k that `next` hands out.
void DeflateChunks(const std::vector<uint8_t>& plain, std::vector<std::vector<uint8_t>>& chunks,
                   std::atomic<size_t>& next) {
  z_stream zs{};
  int ret = deflateInit2(&zs, 9, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY);
  if (ret != Z_OK) throw Error(zError(ret));
  struct End {
    z_stream* zs;
    ~End() { deflateEnd(zs); }
  } end{&zs};
  for (size_t k = next++; k < chunks.size(); k = next++) {
    const size_t at = k * kChunkPlainSize;
    const size_t n = std::min<size_t>(kChunkPlainSize, plain.size() - at);
    std::vector<uint8_t>& chunk = chunks[k];
    chunk.resize(deflateBound(&zs, static_cast<uLong>(n)));
    deflateReset(&zs);
    zs.next_in = const_cast<Bytef*>(plain.data() + at);
    zs.avail_in = static_cast<uInt>(n);
    zs.next_out = chunk.data();
    zs.avail_out = static_cast<uInt>(chunk.size());
    ret = deflate(&zs, Z_FINISH);
    if (ret != Z_STREAM_END) ThrowZlibError(zs, ret);
    chunk.resize(chunk.size() - zs.avail_out);
  }
}

// Compresses every chunk of plain; chunks are independent streams, so large payloads use every core.
std::vector<std::vector<uint8_t>> DeflateAllChunks(const std::vector<uint8_t>& plain) {
  std::vector<std::vector<uint8_t>> chunks((plain.size() + kChunkPlainSize - 1) / kChunkPlainSize);
  std::atomic<size_t> next{0};
  const size_t workers =
      std::min<size_t>(std::max(1u, std::thread::hardware_concurrency()), chunks.size() / 4);
  if (workers <= 1) {
    DeflateChunks(plain, chunks, next);
    return chunks;
  }
  std::vector<std::exception_ptr> errors(workers);
  std::vector<std::thread> threads;
  for (size_t w = 0; w < workers; ++w)
    threads.emplace_back([&, w] {
      try {
        DeflateChunks(plain, chunks, next);
      } catch (...) {
        errors[w] = std::current_exception();
        next = chunks.size();  // the others stop too
      }
    });
  for (std::thread& t : threads) t.join();
  for (const std::exception_ptr& e : errors)
    if (e) std::rethrow_exception(e);
  return chunks;
}

}  // namespace

std::pair<uint32_t, uint32_t> WriteEntryPayload(const std::vector<uint8_t>& plain, TStream& dest,
                                                bool compressed) {
  const uint32_t length = static_cast<uint32_t>(plain.size());
  if (!compressed) {
    dest.Write(plain.data(), plain.size());
    return {length, 0};
  }
  uint64_t size = 4;
  dest.WriteU32(length);
  for (const std::vector<uint8_t>& chunk : DeflateAllChunks(plain)) {
    dest.WriteU32(static_cast<uint32_t>(chunk.size()));
    dest.Write(chunk.data(), chunk.size());
    size += 4 + uint64_t(chunk.size());
  }
  dest.WriteU32(0);
  size += 4;
  return {static_cast<uint32_t>(size), length};
}

}  // namespace pw

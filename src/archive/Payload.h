#pragma once
// Entry payloads: stored bytes, or a chain of independent zlib chunks behind length words.

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "archive/DataList.h"
#include "platform/Stream.h"

namespace pw {

// Plain bytes per chunk that WriteEntryPayload compresses.
inline constexpr uint32_t kChunkPlainSize = 0x8000;

// Inflates one zlib stream; stops at its end or when the input runs out (a stream cut short gives what it
// had). Invalid data throws the decompressor's message. Reusable across chunks.
class TInflater {
 public:
  TInflater();
  ~TInflater();
  TInflater(const TInflater&) = delete;
  TInflater& operator=(const TInflater&) = delete;
  // Hands the plain bytes of the zlib stream in data to sink, in slices.
  void Inflate(const uint8_t* data, size_t size, const std::function<void(const uint8_t*, size_t)>& sink);
  // Appends the plain bytes of the zlib stream in data to out.
  void Inflate(const uint8_t* data, size_t size, std::vector<uint8_t>& out);

 private:
  struct State;
  State* FState;
};

// Reads the chunk chain of a compressed payload one chunk at a time.
class TChunkReader {
 public:
  // source is positioned at the payload's first byte (its total-length word).
  explicit TChunkReader(TStream& source);
  // Reads the next chunk's stored bytes; false at the terminator. Short or negative lengths throw
  // "Stream read error".
  bool Next();
  // Appends the current chunk's plain bytes to out.
  void InflateTo(std::vector<uint8_t>& out) { FInflater.Inflate(FChunk.data(), FChunk.size(), out); }
  // Writes the current chunk's plain bytes to dest.
  void InflateTo(TStream& dest);

 private:
  TStream& FSource;
  std::vector<uint8_t> FChunk;
  TInflater FInflater;
};

// Writes the plain payload of the entry described by info (source at its first byte) to dest; nothing
// with no dest. Short data throws "Stream read error"; invalid chunks the decompressor's message.
void ExtractEntryData(const TDataInfo& info, TStream& source, TStream* dest);

// Writes plain (all of it) to dest at its position, stored or as a chain of 32768-byte zlib chunks;
// returns the new index record's (Size, UncompSize).
std::pair<uint32_t, uint32_t> WriteEntryPayload(const std::vector<uint8_t>& plain, TStream& dest,
                                                bool compressed);

}  // namespace pw

#include "formats/TextureGroup.h"

#include <algorithm>

#include "platform/Error.h"

namespace pw {

const char* TextureFormatName(uint32_t code) {
  switch (code) {
    case kFormatArgb8888:
      return "ARGB8888";
    case kFormatDxt1:
      return "DXT1";
    case kFormatDxt5:
      return "DXT5";
    default:
      return "Unknown";
  }
}

uint32_t LevelSize(uint32_t format, uint32_t width, uint32_t height, uint32_t level) {
  uint32_t w = level < 32 ? std::max(1u, width >> level) : 1;
  uint32_t h = level < 32 ? std::max(1u, height >> level) : 1;
  switch (format) {
    case kFormatArgb8888:
      return w * h * 4;
    case kFormatDxt1:
      return ((w + 3) / 4) * ((h + 3) / 4) * 8;
    case kFormatDxt5:
      return ((w + 3) / 4) * ((h + 3) / 4) * 16;
    default:
      return 0;
  }
}

namespace {

// Reads count table words at the position; the count is checked against what remains first.
std::vector<uint32_t> ReadTableWords(TStream& stream, uint32_t count) {
  if (static_cast<uint64_t>(count) * 4 > static_cast<uint64_t>(stream.Remaining())) ThrowStreamReadError();
  std::vector<uint8_t> raw(static_cast<size_t>(count) * 4);
  stream.ReadBuffer(raw.data(), raw.size());
  std::vector<uint32_t> words(count);
  for (uint32_t i = 0; i < count; ++i) words[i] = GetU32(&raw[4 * i]);
  return words;
}

}  // namespace

uint32_t ReadTextureTable(TStream& stream, TTexDataList& texDataList) {
  const int64_t start = stream.Position();
  stream.Seek(start + 12);
  const uint32_t tableBase = stream.ReadU32();
  const uint32_t count = stream.ReadU32();
  stream.Seek(start + 28 + 4 * int64_t(count));
  std::vector<uint32_t> table = ReadTableWords(stream, count);
  const size_t old = texDataList.size();
  texDataList.resize(old + count);
  if (count == 0) return 0;
  // A last texture past the end means the table is not worth trusting: the records stay zero.
  if (start + int64_t(tableBase) + table[count - 1] >= stream.Size()) return count;
  for (uint32_t i = 0; i < count; ++i) {
    TTexData& tex = texDataList[old + i];
    tex.Offset = tableBase + table[i];
    stream.Seek(start + int64_t(tex.Offset) + 1);
    uint8_t formatAndSize[2];
    if (!stream.TryRead(formatAndSize, 2)) continue;
    tex.Format = formatAndSize[0];
    tex.Width = 1u << (formatAndSize[1] & 15);
    tex.Height = 1u << (formatAndSize[1] >> 4);
  }
  return count;
}

TTextureTable ReadGroupTable(TStream& group) {
  TTextureTable table;
  group.Seek(12);
  table.TableBase = group.ReadU32();
  const uint32_t count = group.ReadU32();
  group.Seek(28 + 4 * int64_t(count));
  table.Offsets = ReadTableWords(group, count);
  return table;
}

}  // namespace pw

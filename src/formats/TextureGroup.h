#pragma once
// The texture group: a header, an offset table and textures with their own small headers.

#include <cstdint>

#include "formats/Types.h"
#include "platform/Stream.h"

namespace pw {

// Texture format codes.
enum : uint8_t { kFormatArgb8888 = 1, kFormatDxt1 = 6, kFormatDxt5 = 8 };

// Byte size of mip level `level` (0 = top) of a width x height texture of the format, or 0 for a code that
// cannot be converted.
uint32_t LevelSize(uint32_t format, uint32_t width, uint32_t height, uint32_t level);

// Reads the table of the texture group at the stream's position and appends one record per texture to
// texDataList (records Old .. Old + N - 1); returns N. Details stay zero when the last texture lies past the
// stream's end, and a texture header that cannot be read leaves its record zero. An offset table cut short
// throws "Stream read error".
uint32_t ReadTextureTable(TStream& stream, TTexDataList& texDataList);

// The texture group table as export, import and the preview read it afresh from a plain payload.
struct TTextureTable {
  uint32_t TableBase = 0;         // A, group offset 12
  std::vector<uint32_t> Offsets;  // N entries, relative to A
};
// Reads A, N and the offset table from a plain group payload; a table cut short throws "Stream read error".
TTextureTable ReadGroupTable(TStream& group);

}  // namespace pw

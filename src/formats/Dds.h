#pragma once
// Conversion of textures to and from DDS files. Texture bytes are copied unchanged, never decoded.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Stream.h"

namespace pw {

// The 128-byte DDS file header (magic included), little-endian on disk.
struct TDdsPixelFormat {
  uint32_t dwSize, dwFlags, dwFourCC, dwRGBBitCount, dwRBitMask, dwGBitMask, dwBBitMask, dwABitMask;
};
struct TDdsHeader {
  uint32_t magic, dwSize, dwFlags, dwHeight, dwWidth, dwPitchOrLinearSize, dwDepth, dwMipMapCount;
  uint32_t dwReserved1[11];
  TDdsPixelFormat ddspf;
  uint32_t dwCaps, dwCaps2, dwCaps3, dwCaps4, dwReserved2;
};
static_assert(sizeof(TDdsPixelFormat) == 32);
static_assert(sizeof(TDdsHeader) == 128);

inline constexpr uint32_t kDdsMagic = 0x20534444;    // "DDS "
inline constexpr uint32_t kFourCCDxt1 = 0x31545844;  // "DXT1"
inline constexpr uint32_t kFourCCDxt5 = 0x35545844;  // "DXT5"

// Writes the texture whose header starts at src's position as a DDS file into the empty dst. size is the
// texture's extent (header included), or 0 for the top level only. A format code that cannot be converted,
// or a size smaller than the texture's header, writes nothing. Texture data running past src's end throws.
void ExportTextureToDds(TStream& src, TStream& dst, uint32_t size);

// True when value is a power of two (1, 2, 4, ...); exponent gets its base-2 exponent.
bool PowerOfTwoExponent(int32_t value, uint8_t& exponent);

// True when a DDS file with these first 128 bytes can replace a texture: the magic, a power-of-two height
// and width of at most 32768, and DXT1, DXT5 or 32-bit ARGB with the standard masks.
bool CheckDdsHeader(const uint8_t* header, uint8_t& ew, uint8_t& eh);

// Rebuilds the plain texture group `group` into the empty dst, texture i replaced by the DDS file paths[i]
// when it names an existing file that CheckDdsHeader accepts. False when the rebuild failed (a file that
// cannot be read, data past the group's end); then dst is undefined and the entry is to be copied unchanged.
// A group too short for its offset table throws "Stream read error".
bool ImportTexturesFromDds(TMemoryStream& group, TStream& dst, const std::vector<std::string>& paths);

}  // namespace pw

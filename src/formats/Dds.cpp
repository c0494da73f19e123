#include "formats/Dds.h"

#include <cstring>

#include "formats/TextureGroup.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"

namespace pw {

namespace {

constexpr uint32_t kDdsFlagsBase = 0x81007;  // CAPS, HEIGHT, WIDTH, PIXELFORMAT, LINEARSIZE
constexpr uint32_t kDdsFlagMipMapCount = 0x20000;
constexpr uint32_t kDdsCapsTexture = 0x1000;

void WriteHeader(TStream& dst, const TDdsHeader& h) {
  uint8_t raw[128];
  const uint32_t* words = reinterpret_cast<const uint32_t*>(&h);
  for (int i = 0; i < 32; ++i) PutU32(raw + 4 * i, words[i]);
  dst.Seek(0);
  dst.Write(raw, sizeof raw);
}

// The number of levels after the top that the bytes beyond the top level describe.
uint32_t CountFurtherLevels(uint32_t format, uint32_t width, uint32_t height, int64_t rest, int64_t top) {
  uint32_t k = 0;
  while (rest > top) {
    ++k;
    int64_t level = LevelSize(format, width, height, k);
    if ((width >> k) <= 1 && (height >> k) <= 1) {
      // Every later level has this same size: count them at once instead of one by one.
      k += static_cast<uint32_t>((rest - top - 1) / level);
      break;
    }
    rest -= level;
  }
  return k;
}

}  // namespace

void ExportTextureToDds(TStream& src, TStream& dst, uint32_t size) {
  TDdsHeader h{};
  h.magic = kDdsMagic;
  h.dwSize = 124;
  h.dwFlags = kDdsFlagsBase;
  h.ddspf.dwSize = 32;
  h.dwCaps = kDdsCapsTexture;

  uint8_t head[3];
  src.ReadBuffer(head, 3);
  const uint32_t format = head[1];
  h.dwWidth = 1u << (head[2] & 15);
  h.dwHeight = 1u << (head[2] >> 4);
  switch (format) {
    case kFormatArgb8888:
      h.ddspf.dwFlags = 0x41;
      h.ddspf.dwRGBBitCount = 32;
      h.ddspf.dwRBitMask = 0x00FF0000;
      h.ddspf.dwGBitMask = 0x0000FF00;
      h.ddspf.dwBBitMask = 0x000000FF;
      h.ddspf.dwABitMask = 0xFF000000;
      break;
    case kFormatDxt1:
      h.ddspf.dwFlags = 0x4;
      h.ddspf.dwFourCC = kFourCCDxt1;
      break;
    case kFormatDxt5:
      h.ddspf.dwFlags = 0x4;
      h.ddspf.dwFourCC = kFourCCDxt5;
      break;
    default:
      return;
  }
  const uint32_t top = LevelSize(format, h.dwWidth, h.dwHeight, 0);
  h.dwPitchOrLinearSize = top;

  src.Skip(4);
  uint8_t extension;
  src.ReadBuffer(&extension, 1);
  const uint32_t headerSize = extension != 0 ? 20 : 8;
  if (size != 0 && size < headerSize) return;  // an extent smaller than its own header holds no texture
  if (extension != 0) src.Skip(12);
  const uint32_t rest = size != 0 ? size - headerSize : 0;

  dst.Seek(128);
  dst.CopyFrom(src, rest > 0 ? rest : top);
  if (rest > top) {
    h.dwFlags |= kDdsFlagMipMapCount;
    h.dwMipMapCount = CountFurtherLevels(format, h.dwWidth, h.dwHeight, rest, top) + 1;
  }
  WriteHeader(dst, h);
}

bool PowerOfTwoExponent(int32_t value, uint8_t& exponent) {
  if (value <= 0 || (value & (value - 1)) != 0) return false;
  exponent = 0;
  while ((1 << exponent) != value) ++exponent;
  return true;
}

bool CheckDdsHeader(const uint8_t* header, uint8_t& ew, uint8_t& eh) {
  if (GetU32(header) != kDdsMagic) return false;
  if (!PowerOfTwoExponent(static_cast<int32_t>(GetU32(header + 12)), eh)) return false;
  if (!PowerOfTwoExponent(static_cast<int32_t>(GetU32(header + 16)), ew)) return false;
  // The size-exponents byte holds 4 bits each: 32768 is the largest side a texture can have.
  if (ew > 15 || eh > 15) return false;
  const uint32_t fourCC = GetU32(header + 84);
  if (fourCC == kFourCCDxt1 || fourCC == kFourCCDxt5) return true;
  return fourCC == 0 && GetU32(header + 92) == 0x00FF0000 && GetU32(header + 96) == 0x0000FF00 &&
         GetU32(header + 100) == 0x000000FF && GetU32(header + 104) == 0xFF000000;
}

namespace {

uint8_t FormatOfFourCC(uint32_t fourCC) {
  return fourCC == kFourCCDxt1 ? kFormatDxt1 : fourCC == kFourCCDxt5 ? kFormatDxt5 : kFormatArgb8888;
}

// Copies texture i's header from the group and its levels from the DDS file; false when the file is refused.
bool CopyReplacement(TStream& group, TStream& dst, const std::string& path, int64_t& written) {
  TFileStream dds(path, TFileMode::OpenRead);
  uint8_t header[128];
  dds.ReadBuffer(header, sizeof header);
  uint8_t ew, eh;
  if (!CheckDdsHeader(header, ew, eh)) return false;
  uint8_t head[8];
  group.ReadBuffer(head, 8);
  head[1] = FormatOfFourCC(GetU32(header + 84));
  head[2] = static_cast<uint8_t>(eh << 4 | ew);
  dst.Write(head, 8);
  written += 8;
  if (head[7] != 0) {
    dst.CopyFrom(group, 12);
    written += 12;
  }
  const int64_t levels = dds.Size() - 128;
  dst.CopyFrom(dds, static_cast<uint64_t>(levels));
  written += levels;
  return true;
}

bool RebuildGroup(TMemoryStream& group, TStream& dst, const std::vector<std::string>& paths,
                  const TTextureTable& table) {
  const uint64_t a = table.TableBase;
  const size_t count = table.Offsets.size();
  const uint64_t headLength = a + 4 * uint64_t(count);
  group.Seek(0);
  dst.CopyFrom(group, headLength);
  int64_t p = dst.Position();
  std::vector<int64_t> newStart(count);
  for (size_t i = 0; i < count; ++i) {
    newStart[i] = p;
    const int64_t start = static_cast<int64_t>(a + table.Offsets[i]);
    group.Seek(start);
    if (i < paths.size() && FileExists(paths[i]) && CopyReplacement(group, dst, paths[i], p)) continue;
    group.Seek(start);
    const int64_t extent =
        i + 1 < count ? int64_t(table.Offsets[i + 1]) - table.Offsets[i] : group.Size() - start;
    // A table that does not ascend gives no extent: nothing to copy for that texture.
    if (extent > 0) {
      dst.CopyFrom(group, static_cast<uint64_t>(extent));
      p += extent;
    }
  }
  for (size_t i = 0; i < count; ++i) {
    dst.Seek(static_cast<int64_t>(a + 4 * i));
    dst.WriteU32(static_cast<uint32_t>(newStart[i] - static_cast<int64_t>(a)));
  }
  dst.Seek(dst.Size());
  return true;
}

}  // namespace

bool ImportTexturesFromDds(TMemoryStream& group, TStream& dst, const std::vector<std::string>& paths) {
  const TTextureTable table = ReadGroupTable(group);
  try {
    return RebuildGroup(group, dst, paths, table);
  } catch (const Error&) {
    return false;
  }
}

}  // namespace pw

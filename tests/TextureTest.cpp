// Proves texture groups: the table listing, DDS export (header fields, mip counts), the DDS header test and
// the rebuild with replacements, including DDS files made by ImageMagick.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "formats/Dds.h"
#include "formats/TextureGroup.h"
#include "platform/Error.h"

namespace pw {
namespace {

using test::Bytes;
using test::U32At;

// Sum of LevelSize over levels 0..count-1.
uint32_t LevelsSize(uint32_t format, uint32_t w, uint32_t h, uint32_t count) {
  uint32_t total = 0;
  for (uint32_t k = 0; k < count; ++k) total += LevelSize(format, w, h, k);
  return total;
}

Bytes Export(const Bytes& texture, uint32_t size) {
  TMemoryStream src(texture);
  TMemoryStream dst;
  ExportTextureToDds(src, dst, size);
  return dst.Bytes();
}

TEST(ReadTextureTable, ListsFormatsAndSizes) {
  Bytes group = test::TextureGroupOf({test::TextureOf(6, 4, 5, 256), test::TextureOf(1, 0, 0, 4)});
  // Size exponents of the second texture: 0x54 -> 16 x 32.
  const uint32_t second = U32At(group, 28 + 8 + 4) + U32At(group, 12);
  group[second + 2] = 0x54;
  TMemoryStream s(group);
  TTexDataList list = {{1, 2, 3, 4}};
  EXPECT_EQ(ReadTextureTable(s, list), 2u);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[1].Format, 6u);
  EXPECT_EQ(list[1].Width, 16u);
  EXPECT_EQ(list[1].Height, 32u);
  EXPECT_EQ(list[2].Format, 1u);
  EXPECT_EQ(list[2].Width, 16u);
  EXPECT_EQ(list[2].Height, 32u);
  EXPECT_EQ(list[2].Offset, second);
}

TEST(ReadTextureTable, EdgeCases) {
  {
    TMemoryStream s(test::TextureGroupOf({}));
    TTexDataList list;
    EXPECT_EQ(ReadTextureTable(s, list), 0u);
    EXPECT_TRUE(list.empty());
  }
  {
    Bytes group = test::TextureGroupOf({test::TextureOf(6, 2, 2, 8), test::TextureOf(6, 2, 2, 8)});
    PutU32(&group[28 + 8 + 4], 0x1000);  // last texture past the end: zero records
    TMemoryStream s(group);
    TTexDataList list;
    EXPECT_EQ(ReadTextureTable(s, list), 2u);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].Format, 0u);
    EXPECT_EQ(list[1].Width, 0u);
  }
  {
    Bytes group = test::TextureGroupOf({test::TextureOf(6, 2, 2, 8)});
    PutU32(&group[16], 1000);  // table runs past the end
    TMemoryStream s(group);
    TTexDataList list;
    EXPECT_THROW(ReadTextureTable(s, list), Error);
  }
}

TEST(ExportTextureToDds, Dxt1256With9Levels) {
  const uint32_t levels = LevelsSize(6, 256, 256, 9);
  ASSERT_EQ(levels, 32768u + 8192 + 2048 + 512 + 128 + 32 + 8 + 8 + 8);
  Bytes tex = test::TextureOf(6, 8, 8, levels);
  Bytes dds = Export(tex, static_cast<uint32_t>(tex.size()));
  ASSERT_EQ(dds.size(), 128u + levels);
  EXPECT_EQ(U32At(dds, 0), 0x20534444u);
  EXPECT_EQ(U32At(dds, 4), 124u);
  EXPECT_EQ(U32At(dds, 8), 0x81007u | 0x20000u);
  EXPECT_EQ(U32At(dds, 12), 256u);
  EXPECT_EQ(U32At(dds, 16), 256u);
  EXPECT_EQ(U32At(dds, 20), 32768u);
  EXPECT_EQ(U32At(dds, 28), 9u);
  EXPECT_EQ(U32At(dds, 76), 32u);
  EXPECT_EQ(U32At(dds, 80), 0x4u);
  EXPECT_EQ(U32At(dds, 84), kFourCCDxt1);
  EXPECT_EQ(U32At(dds, 108), 0x1000u);
}

struct ExportCase {
  const char* label;
  Bytes texture;
  uint32_t size;
  size_t fileSize;
  uint32_t flags;
  uint32_t mipCount;
};

TEST(ExportTextureToDds, Table) {
  const uint32_t argbLevels = LevelsSize(1, 256, 64, 9);
  ASSERT_EQ(argbLevels, 65536u + 16384 + 4096 + 1024 + 256 + 64 + 16 + 8 + 4);
  const Bytes argb = test::TextureOf(1, 8, 6, argbLevels);
  const Bytes dxt5 = test::TextureOf(8, 4, 4, 256 + 64 + 16 + 16, 0xAB, true);
  const Bytes dxt1Top = test::TextureOf(6, 3, 3, 32);
  const ExportCase cases[] = {
      {"ARGB 256x64, 9 levels", argb, static_cast<uint32_t>(argb.size()), 128 + argbLevels, 0xA1007, 9},
      {"size 0: top only", argb, 0, 128 + 65536, 0x81007, 0},
      {"size 8 + L: no mip count", dxt1Top, 8 + 32, 128 + 32, 0x81007, 0},
      {"extension: 20 header bytes", dxt5, static_cast<uint32_t>(dxt5.size()), 128 + 352, 0xA1007, 4},
      {"format code 2", test::TextureOf(2, 3, 3, 32), 40, 0, 0, 0},
      {"size below the header", dxt1Top, 5, 0, 0, 0},
  };
  for (const ExportCase& c : cases) {
    Bytes dds = Export(c.texture, c.size);
    ASSERT_EQ(dds.size(), c.fileSize) << c.label;
    if (dds.empty()) continue;
    EXPECT_EQ(U32At(dds, 8), c.flags) << c.label;
    EXPECT_EQ(U32At(dds, 28), c.mipCount) << c.label;
  }
  Bytes argbDds = Export(argb, 0);
  EXPECT_EQ(U32At(argbDds, 80), 0x41u);
  EXPECT_EQ(U32At(argbDds, 88), 32u);
  EXPECT_EQ(U32At(argbDds, 92), 0x00FF0000u);
  EXPECT_EQ(U32At(argbDds, 104), 0xFF000000u);
  EXPECT_EQ(U32At(argbDds, 20), 65536u);
}

TEST(ExportTextureToDds, HugeExtentOfATinyTextureEndsQuickly) {
  // 1 x 1 ARGB, extent claiming ~64 MiB of levels: the count is computed, not walked level by level.
  Bytes tex = test::TextureOf(1, 0, 0, 64 << 20);
  Bytes dds = Export(tex, static_cast<uint32_t>(tex.size()));
  EXPECT_EQ(U32At(dds, 28), (64u << 20) / 4);
}

TEST(ExportTextureToDds, DataPastTheEndThrows) {
  Bytes tex = test::TextureOf(6, 4, 4, 10);
  EXPECT_THROW(Export(tex, 0), Error);
}

TEST(CheckDdsHeader, Table) {
  struct Case {
    const char* label;
    Bytes header;
    bool accepted;
  } cases[] = {
      {"DXT1", test::DdsOf(64, 32, kFourCCDxt1, {}), true},
      {"DXT5", test::DdsOf(1, 1, kFourCCDxt5, {}), true},
      {"ARGB standard masks", test::DdsOf(16, 16, 0, {}), true},
      {"ARGB swapped masks", test::DdsOf(16, 16, 0, {}, false), false},
      {"DXT3", test::DdsOf(16, 16, 0x33545844, {}), false},
      {"width 100", test::DdsOf(100, 16, kFourCCDxt1, {}), false},
      {"height 0", test::DdsOf(16, 0, kFourCCDxt1, {}), false},
      {"width 65536", test::DdsOf(65536, 16, kFourCCDxt1, {}), false},
      {"width 32768", test::DdsOf(32768, 16, kFourCCDxt1, {}), true},
      {"bad magic",
       [] {
         Bytes h = test::DdsOf(16, 16, kFourCCDxt1, {});
         h[0] = 'X';
         return h;
       }(),
       false},
  };
  for (const Case& c : cases) {
    uint8_t ew = 0, eh = 0;
    EXPECT_EQ(CheckDdsHeader(c.header.data(), ew, eh), c.accepted) << c.label;
  }
  uint8_t ew, eh;
  ASSERT_TRUE(CheckDdsHeader(test::DdsOf(64, 32, kFourCCDxt1, {}).data(), ew, eh));
  EXPECT_EQ(ew, 6);
  EXPECT_EQ(eh, 5);
}

TEST(PowerOfTwoExponent, Table) {
  const std::pair<int32_t, int> cases[] = {{1, 0},   {2, 1},  {1024, 10},   {0, -1},
                                           {-4, -1}, {6, -1}, {1 << 30, 30}};
  for (auto [value, exponent] : cases) {
    uint8_t e = 99;
    EXPECT_EQ(PowerOfTwoExponent(value, e), exponent >= 0) << value;
    if (exponent >= 0) {
      EXPECT_EQ(e, exponent) << value;
    }
  }
}

Bytes Import(const Bytes& group, const std::vector<std::string>& paths, bool* ok = nullptr) {
  TMemoryStream g(group);
  TMemoryStream out;
  bool result = ImportTexturesFromDds(g, out, paths);
  if (ok) *ok = result;
  return out.Bytes();
}

TEST(ImportTexturesFromDds, NoReplacementReproducesTheGroup) {
  Bytes group =
      test::TextureGroupOf({test::TextureOf(1, 2, 2, 64), test::TextureOf(6, 3, 3, 32, 0xCD, true)});
  bool ok = false;
  EXPECT_EQ(Import(group, {"", "/nonexistent.dds"}, &ok), group);
  EXPECT_TRUE(ok);
}

TEST(ImportTexturesFromDds, Dxt5OverArgbMovesLaterTextures) {
  test::TempDir dir;
  Bytes group = test::TextureGroupOf({test::TextureOf(1, 2, 2, 64, 0x11),
                                      test::TextureOf(6, 3, 3, 32, 0x22, true), test::TextureOf(1, 0, 0, 4)});
  Bytes levels(16 * 4 + 16, 0x5D);  // 16 x 16 DXT5 top level, then a 8x8 level
  test::WriteFileBytes(dir / "new.dds", test::DdsOf(16, 16, kFourCCDxt5, levels));
  Bytes out = Import(group, {dir / "new.dds"});
  const uint32_t a = U32At(group, 12);
  const int64_t growth = int64_t(levels.size()) - 64;
  EXPECT_EQ(U32At(out, a), U32At(group, a));
  EXPECT_EQ(int64_t(U32At(out, a + 4)), int64_t(U32At(group, a + 4)) + growth);
  EXPECT_EQ(int64_t(U32At(out, a + 8)), int64_t(U32At(group, a + 8)) + growth);
  const uint32_t first = a + U32At(out, a);
  EXPECT_EQ(out[first + 0], 0x5A) << "byte 0 kept";
  EXPECT_EQ(out[first + 1], 8) << "format from the DDS";
  EXPECT_EQ(out[first + 2], 0x44) << "exponents from the DDS";
  EXPECT_EQ(Bytes(out.begin() + first + 3, out.begin() + first + 8), (Bytes{3, 4, 5, 6, 0}));
  EXPECT_EQ(Bytes(out.begin() + first + 8, out.begin() + first + 8 + levels.size()), levels);
  EXPECT_EQ(out.size(), group.size() + growth);
  // Everything after the replaced texture is unchanged.
  EXPECT_EQ(Bytes(out.end() - (group.size() - a - U32At(group, a + 4)), out.end()),
            Bytes(group.begin() + a + U32At(group, a + 4), group.end()));
}

TEST(ImportTexturesFromDds, RefusedFilesKeepTheTexture) {
  test::TempDir dir;
  Bytes group = test::TextureGroupOf({test::TextureOf(1, 2, 2, 64)});
  test::WriteFileBytes(dir / "dxt3.dds", test::DdsOf(4, 4, 0x33545844, Bytes(16)));
  test::WriteFileBytes(dir / "w100.dds", test::DdsOf(100, 4, kFourCCDxt1, Bytes(8)));
  test::WriteFileBytes(dir / "swapped.dds", test::DdsOf(4, 4, 0, Bytes(64), false));
  for (const char* name : {"dxt3.dds", "w100.dds", "swapped.dds"})
    EXPECT_EQ(Import(group, {dir / name}), group) << name;
}

TEST(ImportTexturesFromDds, ShortDdsFailsTheRebuild) {
  test::TempDir dir;
  test::WriteFileBytes(dir / "short.dds", Bytes(100, 0));
  bool ok = true;
  Import(test::TextureGroupOf({test::TextureOf(1, 2, 2, 64)}), {dir / "short.dds"}, &ok);
  EXPECT_FALSE(ok);
}

TEST(ImportTexturesFromDds, DescendingTableCopiesNothingForThatTexture) {
  Bytes group = test::TextureGroupOf({test::TextureOf(1, 0, 0, 4), test::TextureOf(1, 0, 0, 4)});
  const uint32_t a = U32At(group, 12);
  const uint32_t t0 = U32At(group, a), t1 = U32At(group, a + 4);
  PutU32(&group[a], t1);
  PutU32(&group[a + 4], t0);
  bool ok = false;
  Bytes out = Import(group, {}, &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(out.size(), a + 8 + (group.size() - a - t0));
}

TEST(ImportTexturesFromDds, GroupTooShortForItsTableThrows) {
  Bytes group = test::TextureGroupOf({test::TextureOf(1, 0, 0, 4)});
  PutU32(&group[16], 5000);
  TMemoryStream g(group);
  TMemoryStream out;
  EXPECT_THROW(ImportTexturesFromDds(g, out, {}), Error);
}

TEST(ImportTexturesFromDds, ImageMagickFilesReplaceATextureWithAllTheirLevels) {
  struct Case {
    const char* file;
    uint8_t format;
    uint8_t exponents;
  } cases[] = {
      {"im-dxt1-16x16.dds", 6, 0x44},      {"im-dxt5-16x16.dds", 8, 0x44},
      {"im-dxt5-16x16-mips.dds", 8, 0x44}, {"im-argb-16x16.dds", 1, 0x44},
      {"im-argb-16x16-mips.dds", 1, 0x44}, {"im-dxt1-32x8-mips.dds", 6, 0x35},
  };
  for (const Case& c : cases) {
    const std::string path = std::string(PW_TEST_DATA) + "/" + c.file;
    const Bytes dds = test::ReadFileBytes(path);
    ASSERT_GT(dds.size(), 128u) << c.file;
    Bytes group = test::TextureGroupOf({test::TextureOf(1, 1, 1, 16), test::TextureOf(6, 2, 2, 8)});
    bool ok = false;
    Bytes out = Import(group, {path}, &ok);
    ASSERT_TRUE(ok) << c.file;
    const uint32_t a = U32At(out, 12);
    const uint32_t first = a + U32At(out, a);
    EXPECT_EQ(out[first + 1], c.format) << c.file;
    EXPECT_EQ(out[first + 2], c.exponents) << c.file;
    EXPECT_EQ(Bytes(out.begin() + first + 8, out.begin() + first + 8 + (dds.size() - 128)),
              Bytes(dds.begin() + 128, dds.end()))
        << c.file;
    // Exported again with its extent, the texture carries the same levels as the file.
    TMemoryStream g(out);
    g.Seek(first);
    TMemoryStream again;
    ExportTextureToDds(g, again, static_cast<uint32_t>(8 + dds.size() - 128));
    EXPECT_EQ(Bytes(again.Bytes().begin() + 128, again.Bytes().end()), Bytes(dds.begin() + 128, dds.end()))
        << c.file;
  }
}

}  // namespace
}  // namespace pw

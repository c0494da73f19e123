// Proves that the DDS files ExportTextureToDds writes open in another tool: ImageMagick decodes exported
// ARGB8888, DXT1 and DXT5 textures of known pixels to those pixels (skipped where ImageMagick is missing).

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>

#include "TestSupport.h"
#include "formats/Dds.h"
#include "platform/FileSystem.h"

namespace pw {
namespace {

using test::Bytes;

constexpr const char* kConvert = "/usr/bin/convert";

// Decodes a DDS file with ImageMagick into RGBA bytes.
Bytes DecodeWithImageMagick(const std::string& path) {
  std::string command = std::string(kConvert) + " '" + path + "' -depth 8 rgba:- 2>/dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return {};
  Bytes out;
  uint8_t buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.insert(out.end(), buffer, buffer + n);
  ::pclose(pipe);
  return out;
}

Bytes ExportToFile(const Bytes& texture, const std::string& path, uint32_t size = 0) {
  TMemoryStream src(texture);
  TReplacingFile file(path);
  ExportTextureToDds(src, file.Stream(), size);
  file.Commit();
  return DecodeWithImageMagick(path);
}

// One 4 x 4 BC1 colour block: colour0 red, colour1 blue, rows of indices 0, 1, 2, 3.
Bytes ColourBlock() {
  return {0x00, 0xF8, 0x1F, 0x00, 0x00, 0x55, 0xAA, 0xFF};
}

void ExpectNear(const Bytes& rgba, size_t pixel, std::array<int, 4> expected, const char* label) {
  ASSERT_GE(rgba.size(), pixel * 4 + 4) << label;
  for (int c = 0; c < 4; ++c)
    EXPECT_NEAR(rgba[pixel * 4 + c], expected[c], 3) << label << " pixel " << pixel << " channel " << c;
}

class DdsInterop : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!FileExists(kConvert)) GTEST_SKIP() << "ImageMagick is not installed";
  }
  test::TempDir dir;
};

TEST_F(DdsInterop, Argb8888PixelsAreExact) {
  // 2 x 2: little-endian words A R G B -> bytes B G R A.
  Bytes data = {0x00,      0x00, 0xFF, 0xFF, /**/ 0x00, 0xFF, 0x00, 0x80,
                /**/ 0xFF, 0x00, 0x00, 0x00, /**/ 0x10, 0x20, 0x30, 0x40};
  Bytes tex = test::TextureOf(1, 1, 1, 0);
  tex.insert(tex.end(), data.begin(), data.end());
  Bytes rgba = ExportToFile(tex, dir / "argb.dds");
  EXPECT_EQ(rgba, (Bytes{0xFF, 0, 0, 0xFF, 0, 0xFF, 0, 0x80, 0, 0, 0xFF, 0, 0x30, 0x20, 0x10, 0x40}));
}

TEST_F(DdsInterop, Dxt1BlockDecodesToItsPalette) {
  Bytes tex = test::TextureOf(6, 2, 2, 0);
  Bytes block = ColourBlock();
  tex.insert(tex.end(), block.begin(), block.end());
  Bytes rgba = ExportToFile(tex, dir / "dxt1.dds");
  ASSERT_EQ(rgba.size(), 64u);
  ExpectNear(rgba, 0, {255, 0, 0, 255}, "row 0 red");
  ExpectNear(rgba, 4, {0, 0, 255, 255}, "row 1 blue");
  ExpectNear(rgba, 8, {170, 0, 85, 255}, "row 2 two thirds red");
  ExpectNear(rgba, 12, {85, 0, 170, 255}, "row 3 two thirds blue");
}

TEST_F(DdsInterop, Dxt5BlockCarriesItsAlpha) {
  Bytes tex = test::TextureOf(8, 2, 2, 0);
  // Alpha block: alpha0 255, alpha1 0; indices: first row 0 (255), the rest 1 (0).
  Bytes alpha = {0xFF, 0x00, 0x00, 0x90, 0x24, 0x49, 0x92, 0x24};
  Bytes colour = ColourBlock();
  tex.insert(tex.end(), alpha.begin(), alpha.end());
  tex.insert(tex.end(), colour.begin(), colour.end());
  Bytes rgba = ExportToFile(tex, dir / "dxt5.dds");
  ASSERT_EQ(rgba.size(), 64u);
  ExpectNear(rgba, 0, {255, 0, 0, 255}, "opaque red");
  ExpectNear(rgba, 4, {0, 0, 255, 0}, "transparent blue");
}

TEST_F(DdsInterop, ExportWithMipLevelsOpens) {
  // 8 x 8 DXT1 with 4 levels: ImageMagick reads the top level of a file with a mip count.
  Bytes tex = test::TextureOf(6, 3, 3, 0);
  for (int level = 0; level < 4 + 3; ++level) {
    Bytes block = ColourBlock();
    tex.insert(tex.end(), block.begin(), block.end());
  }
  Bytes rgba = ExportToFile(tex, dir / "mips.dds", static_cast<uint32_t>(tex.size()));
  ASSERT_EQ(rgba.size(), 8u * 8 * 4);
  ExpectNear(rgba, 0, {255, 0, 0, 255}, "top-left");
}

}  // namespace
}  // namespace pw

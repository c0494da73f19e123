#include "ui/DdsImage.h"

#include <squish.h>

#include "formats/Dds.h"
#include "formats/TextureGroup.h"
#include "platform/Error.h"
#include "platform/Stream.h"

namespace pw {

namespace {

[[noreturn]] void NotDecodable() {
  throw Error("The texture cannot be shown: unsupported or damaged DDS data.");
}

QImage DecodeArgb(const uint8_t* data, int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32);
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    const uint8_t* src = data + size_t(y) * size_t(width) * 4;
    for (int x = 0; x < width; ++x) line[x] = GetU32(src + 4 * x);  // A R G B, the same order as QRgb
  }
  return image;
}

QImage DecodeBlocks(const uint8_t* data, int width, int height, int flags) {
  std::vector<uint8_t> rgba(size_t(width) * size_t(height) * 4);
  squish::DecompressImage(rgba.data(), width, height, data, flags);
  QImage image(width, height, QImage::Format_ARGB32);
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    const uint8_t* p = &rgba[size_t(y) * size_t(width) * 4];
    for (int x = 0; x < width; ++x, p += 4) line[x] = qRgba(p[0], p[1], p[2], p[3]);
  }
  return image;
}

}  // namespace

QImage DecodeDdsTopLevel(const std::vector<uint8_t>& dds) {
  if (dds.size() < 128 || GetU32(dds.data()) != kDdsMagic) NotDecodable();
  const uint32_t height = GetU32(&dds[12]), width = GetU32(&dds[16]);
  if (width == 0 || height == 0 || width > 32768 || height > 32768) NotDecodable();
  const uint32_t fourCC = GetU32(&dds[84]);
  uint32_t format;
  if (fourCC == kFourCCDxt1) {
    format = kFormatDxt1;
  } else if (fourCC == kFourCCDxt5) {
    format = kFormatDxt5;
  } else if (fourCC == 0 && GetU32(&dds[88]) == 32 && GetU32(&dds[92]) == 0x00FF0000 &&
             GetU32(&dds[96]) == 0x0000FF00 && GetU32(&dds[100]) == 0x000000FF) {
    format = kFormatArgb8888;
  } else {
    NotDecodable();
  }
  if (uint64_t(dds.size()) - 128 < LevelSize(format, width, height, 0)) NotDecodable();
  const uint8_t* data = dds.data() + 128;
  const int w = static_cast<int>(width), h = static_cast<int>(height);
  if (format == kFormatArgb8888) return DecodeArgb(data, w, h);
  return DecodeBlocks(data, w, h, format == kFormatDxt1 ? squish::kDxt1 : squish::kDxt5);
}

}  // namespace pw

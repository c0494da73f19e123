// Fuzzes the texture-group readers over arbitrary group bytes: the table listing, the export of every
// texture and the rebuild with and without a replacement file. Only clean errors are allowed.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

#include "formats/Dds.h"
#include "formats/TextureGroup.h"
#include "platform/Error.h"

namespace {
// A valid 4 x 4 DXT1 replacement, written once.
std::string ReplacementPath() {
  static const std::string path = [] {
    std::string p = "/tmp/fuzz-replacement-" + std::to_string(::getpid()) + ".dds";
    uint8_t header[136] = {'D', 'D', 'S', ' ', 124};
    header[12] = 4, header[16] = 4;
    header[84] = 'D', header[85] = 'X', header[86] = 'T', header[87] = '1';
    FILE* f = std::fopen(p.c_str(), "wb");
    std::fwrite(header, 1, sizeof header, f);
    std::fclose(f);
    return p;
  }();
  return path;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  try {
    pw::TMemoryStream group(bytes);
    pw::TTexDataList list;
    pw::ReadTextureTable(group, list);
    const pw::TTextureTable table = pw::ReadGroupTable(group);
    for (size_t i = 0; i < table.Offsets.size() && i < 8; ++i) {
      group.Seek(int64_t(table.TableBase) + table.Offsets[i]);
      pw::TMemoryStream dds;
      try {
        pw::ExportTextureToDds(group, dds, static_cast<uint32_t>(size));
      } catch (const pw::Error&) {
      }
    }
    pw::TMemoryStream out1, out2;
    pw::ImportTexturesFromDds(group, out1, {});
    pw::ImportTexturesFromDds(group, out2, {ReplacementPath(), ReplacementPath()});
  } catch (const pw::Error&) {
  }
  return 0;
}

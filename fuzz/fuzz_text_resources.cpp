// Fuzzes the text probe over arbitrary payload bytes, and the block-data rebuild where the probe says so:
// neither may crash, hang, throw or allocate beyond the input's size.
#include <cstddef>
#include <cstdint>

#include "formats/TextContainers.h"
#include "platform/Error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  pw::TMemoryStream stream(std::vector<uint8_t>(data, data + size));
  pw::TTextDataList tables;
  const pw::TFileType type = pw::ReadTextResources(stream, tables, static_cast<uint32_t>(size));
  if (type == pw::ftBlockData) {
    pw::TMemoryStream out;
    try {
      pw::WriteBlockData(stream, out, {});
    } catch (const pw::Error&) {
      // A member record pointing past the payload is a clean error.
    }
  }
  // The same bytes probed inside a larger stream, at an offset.
  std::vector<uint8_t> shifted(7, 0xEE);
  shifted.insert(shifted.end(), data, data + size);
  pw::TMemoryStream inner(std::move(shifted));
  inner.Seek(7);
  pw::ReadTextResources(inner, tables, 0);
  return 0;
}

#pragma once
// Small archives and files built in memory for the tests, and a temporary folder that cleans itself up.

#include <cstdint>
#include <string>
#include <vector>

#include "archive/DataList.h"

namespace pw::test {

using Bytes = std::vector<uint8_t>;

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& Path() const { return FPath; }
  // Path of name inside the folder.
  std::string operator/(const std::string& name) const { return FPath + "/" + name; }

 private:
  std::string FPath;
};

// One entry of a test archive: its plain payload and how it is stored.
struct TestEntry {
  Bytes Plain;
  uint32_t UncompSize = 0;  // 0, 0x43535442 or 0xDDDDDDDD stored; any other value: compressed
  bool Compressed = false;  // write a chunk chain (UncompSize is then the plain length)
  size_t ChunkSize = 0x8000;
};

// Writes an archive with these entries and block size; returns its bytes too.
Bytes WriteArchive(const std::string& path, const std::vector<TestEntry>& entries, int32_t blockSize = 16);

// A chunk chain of plain split into chunks of chunkSize bytes.
Bytes ChunkChain(const Bytes& plain, size_t chunkSize = 0x8000);
// Little-endian word helpers.
void AppendU32(Bytes& b, uint32_t v);
uint32_t U32At(const Bytes& b, size_t at);
// Bytes of a string.
Bytes B(const std::string& s);
// Writes bytes to a file.
void WriteFileBytes(const std::string& path, const Bytes& bytes);
// Reads a whole file.
Bytes ReadFileBytes(const std::string& path);

// A text block of UTF-8 strings as WriteTextBlock lays it out.
Bytes TextBlockOf(const std::vector<std::string>& strings);
// A texture group of the given textures (each: header bytes + data as they are).
Bytes TextureGroupOf(const std::vector<Bytes>& textures);
// A texture: 8-byte header (format, exponents, extension flag) and data of `dataSize` bytes filled with fill.
Bytes TextureOf(uint8_t format, uint8_t ew, uint8_t eh, size_t dataSize, uint8_t fill = 0xAB,
                bool extension = false);
// A payload of size bytes beginning with the four characters of magic.
Bytes PayloadWithMagic(const char* magic, size_t size = 64);
// A block-data container of two members: a text block of the one string `text`, then 4 bytes that are not
// a text block (so its table reads empty).
Bytes BlockDataWithBlob(const std::string& text);
// A 128-byte DDS header with the given fields, then data.
Bytes DdsOf(uint32_t width, uint32_t height, uint32_t fourCC, const Bytes& data, bool standardMasks = true);

}  // namespace pw::test

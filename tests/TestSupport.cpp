#include "TestSupport.h"

#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "platform/Stream.h"

namespace pw::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "pwtest-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  FPath = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(FPath, ec);
}

void AppendU32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t U32At(const Bytes& b, size_t at) {
  if (at + 4 > b.size()) throw std::out_of_range("U32At past the end");
  return GetU32(&b[at]);
}

Bytes B(const std::string& s) {
  return Bytes(s.begin(), s.end());
}

void WriteFileBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

Bytes ChunkChain(const Bytes& plain, size_t chunkSize) {
  Bytes out;
  AppendU32(out, static_cast<uint32_t>(plain.size()));
  for (size_t at = 0; at < plain.size(); at += chunkSize) {
    size_t n = std::min(chunkSize, plain.size() - at);
    uLongf len = compressBound(static_cast<uLong>(n));
    Bytes chunk(len);
    compress2(chunk.data(), &len, plain.data() + at, static_cast<uLong>(n), 6);
    AppendU32(out, static_cast<uint32_t>(len));
    out.insert(out.end(), chunk.begin(), chunk.begin() + static_cast<long>(len));
  }
  AppendU32(out, 0);
  return out;
}

Bytes WriteArchive(const std::string& path, const std::vector<TestEntry>& entries, int32_t blockSize) {
  Bytes out = B("TEST");
  AppendU32(out, static_cast<uint32_t>(entries.size()));
  AppendU32(out, static_cast<uint32_t>(blockSize));
  AppendU32(out, 0xCAFEF00D);
  out.resize(16 + 16 * entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    while (out.size() % blockSize) out.push_back(0);
    const TestEntry& e = entries[i];
    Bytes payload = e.Compressed ? ChunkChain(e.Plain, e.ChunkSize) : e.Plain;
    uint32_t uncomp = e.Compressed ? static_cast<uint32_t>(e.Plain.size()) : e.UncompSize;
    uint64_t block = out.size() / blockSize;
    PutU32(&out[16 + 16 * i], static_cast<uint32_t>(block));
    PutU32(&out[20 + 16 * i], 0);
    PutU32(&out[24 + 16 * i], static_cast<uint32_t>(payload.size()));
    PutU32(&out[28 + 16 * i], uncomp);
    out.insert(out.end(), payload.begin(), payload.end());
  }
  while (out.size() % blockSize) out.push_back(0);
  WriteFileBytes(path, out);
  return out;
}

Bytes TextBlockOf(const std::vector<std::string>& strings) {
  Bytes out;
  AppendU32(out, static_cast<uint32_t>(strings.size()));
  uint32_t off = 4 + 8 * static_cast<uint32_t>(strings.size());
  for (const std::string& s : strings) {
    AppendU32(out, off);
    AppendU32(out, static_cast<uint32_t>(s.size() + 1));
    off += static_cast<uint32_t>(s.size() + 1);
  }
  for (const std::string& s : strings) {
    out.insert(out.end(), s.begin(), s.end());
    out.push_back(0);
  }
  return out;
}

Bytes TextureGroupOf(const std::vector<Bytes>& textures) {
  const uint32_t n = static_cast<uint32_t>(textures.size());
  Bytes out = B("GT1G0600");
  AppendU32(out, 0);
  AppendU32(out, 28 + 4 * n);
  AppendU32(out, n);
  AppendU32(out, 0x11), AppendU32(out, 0x22);
  for (uint32_t i = 0; i < n; ++i) AppendU32(out, 0x77000000 + i);
  const size_t table = out.size();
  out.resize(out.size() + 4 * n);
  for (uint32_t i = 0; i < n; ++i) {
    PutU32(&out[table + 4 * i], static_cast<uint32_t>(out.size() - table));
    out.insert(out.end(), textures[i].begin(), textures[i].end());
  }
  return out;
}

Bytes TextureOf(uint8_t format, uint8_t ew, uint8_t eh, size_t dataSize, uint8_t fill, bool extension) {
  Bytes out = {0x5A, format, static_cast<uint8_t>(eh << 4 | ew),     3, 4,
               5,    6,      static_cast<uint8_t>(extension ? 1 : 0)};
  if (extension) out.insert(out.end(), 12, 0xEE);
  out.insert(out.end(), dataSize, fill);
  return out;
}

Bytes PayloadWithMagic(const char* magic, size_t size) {
  Bytes b(size, 0x42);
  std::copy(magic, magic + 4, b.begin());
  return b;
}

Bytes BlockDataWithBlob(const std::string& text) {
  const Bytes member = TextBlockOf({text});
  const uint32_t blob = (20 + static_cast<uint32_t>(member.size()) + 3) / 4 * 4;
  Bytes out;
  AppendU32(out, 2);
  AppendU32(out, 20), AppendU32(out, static_cast<uint32_t>(member.size()));
  AppendU32(out, blob), AppendU32(out, 4);
  out.insert(out.end(), member.begin(), member.end());
  out.resize(blob, 0);
  out.insert(out.end(), {0xFF, 0xFF, 0xFF, 0xFF});
  return out;
}

Bytes DdsOf(uint32_t width, uint32_t height, uint32_t fourCC, const Bytes& data, bool standardMasks) {
  Bytes out(128, 0);
  PutU32(&out[0], 0x20534444);
  PutU32(&out[4], 124);
  PutU32(&out[12], height);
  PutU32(&out[16], width);
  PutU32(&out[76], 32);
  PutU32(&out[84], fourCC);
  if (fourCC == 0) {
    PutU32(&out[88], 32);
    PutU32(&out[92], standardMasks ? 0x00FF0000 : 0x000000FF);
    PutU32(&out[96], 0x0000FF00);
    PutU32(&out[100], standardMasks ? 0x000000FF : 0x00FF0000);
    PutU32(&out[104], 0xFF000000);
  }
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

}  // namespace pw::test

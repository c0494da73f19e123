// The decompression floor of the benchmark: reads an archive's index and inflates every chunk of every
// compressed entry with zlib in the plainest loop, discarding the output. Prints the plain bytes produced.

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

static uint32_t U32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  FILE* f = std::fopen(argv[1], "rb");
  if (!f) return 1;
  uint8_t header[16];
  if (std::fread(header, 1, 16, f) != 16) return 1;
  const uint32_t count = U32(header + 4), block = U32(header + 8);
  std::vector<uint8_t> index(size_t(count) * 16), chunk, out(1 << 16);
  if (std::fread(index.data(), 1, index.size(), f) != index.size()) return 1;
  uint64_t produced = 0;
  z_stream zs{};
  inflateInit(&zs);
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* r = &index[size_t(i) * 16];
    const uint32_t uncomp = U32(r + 12);
    if (uncomp == 0 || uncomp == 0x43535442 || uncomp == 0xDDDDDDDD) continue;
    fseeko(f, off_t((uint64_t(U32(r)) | uint64_t(U32(r + 4)) << 32) * block) + 4, SEEK_SET);
    for (;;) {
      uint8_t word[4];
      if (std::fread(word, 1, 4, f) != 4) return 1;
      const uint32_t length = U32(word);
      if (length == 0) break;
      chunk.resize(length);
      if (std::fread(chunk.data(), 1, length, f) != length) return 1;
      inflateReset(&zs);
      zs.next_in = chunk.data();
      zs.avail_in = length;
      int ret;
      do {
        zs.next_out = out.data();
        zs.avail_out = static_cast<uInt>(out.size());
        ret = inflate(&zs, Z_NO_FLUSH);
        produced += out.size() - zs.avail_out;
      } while (ret == Z_OK && zs.avail_out == 0);
    }
  }
  inflateEnd(&zs);
  std::printf("%llu\n", static_cast<unsigned long long>(produced));
  return 0;
}

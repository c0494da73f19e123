// make-sample-archive: writes a deterministic sample archive (same seed, same bytes) for tests, the demo and
// benchmarks. It mixes every storage mode (stored with each of the three stored UncompSize values,
// compressed with one and many chunks, Size 0), every recognised magic, text blocks, text groups,
// block-data containers and texture groups (ARGB8888, DXT1, DXT5, with and without mip levels and the
// header extension). --total-size adds large binary entries until the archive reaches that size.

#include <squish.h>
#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "archive/DataList.h"
#include "formats/TextBlock.h"
#include "formats/TextContainers.h"
#include "platform/Error.h"
#include "platform/Stream.h"
#include "platform/TextCodec.h"

namespace {

using Bytes = std::vector<uint8_t>;
using pw::PutU32;

enum class Mode { Stored0, StoredBtsc, StoredDddd, Compressed };

struct Options {
  uint32_t Entries = 60;
  int32_t BlockSize = 2048;
  uint64_t TotalSize = 0;
  uint32_t Seed = 1;
  int Level = 9;
  std::string Path;
};

// A deterministic generator: mt19937's raw output is the same everywhere, unlike std distributions.
class Random {
 public:
  explicit Random(uint32_t seed) : FEngine(seed) {}
  uint32_t Below(uint32_t n) { return n == 0 ? 0 : static_cast<uint32_t>(FEngine() % n); }
  uint8_t Byte() { return static_cast<uint8_t>(FEngine()); }

 private:
  std::mt19937 FEngine;
};

void AppendU32(Bytes& b, uint32_t v) {
  uint8_t w[4];
  PutU32(w, v);
  b.insert(b.end(), w, w + 4);
}

const char16_t* const kStrings[] = {
    u"Hello, world",
    u"Second line\r\nwith a line break",
    u"Ünïcödé — ✓ façade",
    u"",
    u"日本語のテキスト",
    u"Quote \"here\"\tand a tab",
    u"semicolon; comma, both",
    u"emoji 😀 outside the BMP",
    u"Cyrillic: Привет мир",
    u"A rather long sentence that keeps going so that the preview has to wrap it over several lines "
    u"when the panel is narrow, which is what translators see all the time in dialogue tables.",
};

pw::TTextTable MakeTable(Random& rnd, uint32_t count) {
  pw::TTextTable table;
  for (uint32_t i = 0; i < count; ++i) {
    std::u16string s = kStrings[rnd.Below(std::size(kStrings))];
    if (rnd.Below(4) == 0) s += u" #" + pw::Utf8ToUtf16(std::to_string(i + 1));
    if (rnd.Below(25) == 0) s += std::u16string(1, u'\0') + u"after NUL";
    table.push_back(s);
  }
  // Longer tables end with the long sentence, so that the preview has a row to wrap.
  if (count >= 4) table.back() = kStrings[std::size(kStrings) - 1];
  return table;
}

Bytes TextBlock(const pw::TTextTable& table) {
  pw::TMemoryStream out;
  pw::WriteTextBlock(table, out, "");
  return out.Bytes();
}

Bytes TextGroup(Random& rnd, uint32_t members) {
  pw::TTextDataList tables;
  for (uint32_t i = 0; i < members; ++i) tables.push_back(MakeTable(rnd, 1 + rnd.Below(6)));
  pw::TMemoryStream out;
  pw::WriteTextGroup(tables, 0, members, {}, out);
  return out.Bytes();
}

// A block-data container; a member may be a non-text blob (its table reads empty).
Bytes BlockData(Random& rnd, uint32_t members, bool withBlob) {
  std::vector<Bytes> blocks;
  for (uint32_t i = 0; i < members; ++i) {
    if (withBlob && i == members - 1) {
      Bytes blob(8 + rnd.Below(20));
      for (auto& b : blob) b = 0x80 | rnd.Byte();  // never valid as a text block's count/table
      blob[0] = 0xFF, blob[1] = 0xFF, blob[2] = 0xFF, blob[3] = 0x7F;
      blocks.push_back(blob);
    } else {
      blocks.push_back(TextBlock(MakeTable(rnd, 1 + rnd.Below(5))));
    }
  }
  Bytes out;
  AppendU32(out, members);
  out.resize(4 + 8 * members);
  uint32_t pos = 4 + 8 * members;
  for (uint32_t i = 0; i < members; ++i) {
    PutU32(&out[4 + 8 * i], pos);
    PutU32(&out[8 + 8 * i], static_cast<uint32_t>(blocks[i].size()));
    out.insert(out.end(), blocks[i].begin(), blocks[i].end());
    pos += static_cast<uint32_t>(blocks[i].size());
    while (pos % 4) out.push_back(0), ++pos;
  }
  return out;
}

// RGBA pixels of a recognisable picture: a disc with a gradient and a checker on a uniform magenta
// background (the colour the preview takes as transparent, from the bottom-left pixel), with a
// transparent ring of the same colour inside.
Bytes Picture(uint32_t w, uint32_t h, uint32_t variant) {
  Bytes rgba(size_t(w) * h * 4);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      uint8_t* p = &rgba[(size_t(y) * w + x) * 4];
      const double dx = (x + 0.5) / w - 0.5, dy = (y + 0.5) / h - 0.5;
      const double r = std::sqrt(dx * dx + dy * dy);
      if (r > 0.48 || (r > 0.30 && r < 0.36)) {
        p[0] = 255, p[1] = 0, p[2] = 255, p[3] = 0;
        continue;
      }
      const bool checker = ((x * 8 / w) + (y * 8 / h)) % 2 == 0;
      p[0] = static_cast<uint8_t>(255 * x / std::max(1u, w - 1));
      p[1] = static_cast<uint8_t>(255 * y / std::max(1u, h - 1));
      p[2] = static_cast<uint8_t>(checker ? 200 : 60 + 40 * (variant % 4));
      p[3] = 255;
    }
  return rgba;
}

Bytes Downscale(const Bytes& rgba, uint32_t w, uint32_t h) {
  const uint32_t nw = std::max(1u, w / 2), nh = std::max(1u, h / 2);
  Bytes out(size_t(nw) * nh * 4);
  for (uint32_t y = 0; y < nh; ++y)
    for (uint32_t x = 0; x < nw; ++x)
      for (int c = 0; c < 4; ++c) {
        uint32_t sum = 0, n = 0;
        for (uint32_t dy = 0; dy < 2; ++dy)
          for (uint32_t dx = 0; dx < 2; ++dx) {
            uint32_t sx = std::min(w - 1, x * 2 + dx), sy = std::min(h - 1, y * 2 + dy);
            sum += rgba[(size_t(sy) * w + sx) * 4 + c], ++n;
          }
        out[(size_t(y) * nw + x) * 4 + c] = static_cast<uint8_t>(sum / n);
      }
  return out;
}

Bytes EncodeLevel(const Bytes& rgba, uint32_t w, uint32_t h, uint8_t format) {
  if (format == 1) {
    Bytes out(rgba.size());
    for (size_t i = 0; i < rgba.size(); i += 4) {  // ARGB8888 words, little-endian: B, G, R, A
      out[i] = rgba[i + 2], out[i + 1] = rgba[i + 1], out[i + 2] = rgba[i], out[i + 3] = rgba[i + 3];
    }
    return out;
  }
  const int flags = format == 6 ? squish::kDxt1 : squish::kDxt5;
  Bytes out(static_cast<size_t>(squish::GetStorageRequirements(int(w), int(h), flags)));
  squish::CompressImage(rgba.data(), int(w), int(h), out.data(), flags);
  return out;
}

struct TextureSpec {
  uint8_t Format;
  uint8_t Ew, Eh;
  bool Mips;
  bool Extension;
};

// The encoded levels of a texture; pictures repeat every four variants, so each is encoded once.
const Bytes& EncodedLevels(const TextureSpec& t, uint32_t variant) {
  static std::map<std::tuple<uint8_t, uint8_t, uint8_t, bool, uint32_t>, Bytes> cache;
  const auto key = std::make_tuple(t.Format, t.Ew, t.Eh, t.Mips, variant % 4);
  auto found = cache.find(key);
  if (found != cache.end()) return found->second;
  uint32_t w = 1u << t.Ew, h = 1u << t.Eh;
  Bytes levels;
  Bytes level = Picture(w, h, variant % 4);
  for (;;) {
    Bytes data = EncodeLevel(level, w, h, t.Format);
    levels.insert(levels.end(), data.begin(), data.end());
    if (!t.Mips || (w == 1 && h == 1)) break;
    level = Downscale(level, w, h);
    w = std::max(1u, w / 2), h = std::max(1u, h / 2);
  }
  return cache.emplace(key, std::move(levels)).first->second;
}

Bytes Texture(const TextureSpec& t, uint32_t variant) {
  Bytes out = {static_cast<uint8_t>(variant),
               t.Format,
               static_cast<uint8_t>(t.Eh << 4 | t.Ew),
               0,
               0,
               0,
               0,
               static_cast<uint8_t>(t.Extension ? 1 : 0)};
  if (t.Extension) out.insert(out.end(), 12, 0xEE);
  const Bytes& levels = EncodedLevels(t, variant);
  out.insert(out.end(), levels.begin(), levels.end());
  return out;
}

Bytes TextureGroup(const std::vector<TextureSpec>& specs, uint32_t variant) {
  const uint32_t n = static_cast<uint32_t>(specs.size());
  Bytes out = {'G', 'T', '1', 'G', '0', '6', '0', '0', 0, 0, 0, 0};
  const uint32_t a = 28 + 4 * n;
  AppendU32(out, a);
  AppendU32(out, n);
  AppendU32(out, 0x0000000A), AppendU32(out, 0);
  for (uint32_t i = 0; i < n; ++i) AppendU32(out, 0x10211000 + i);
  out.resize(out.size() + 4 * n);
  for (uint32_t i = 0; i < n; ++i) {
    PutU32(&out[a + 4 * i], static_cast<uint32_t>(out.size()) - a);
    Bytes tex = Texture(specs[i], variant + i);
    out.insert(out.end(), tex.begin(), tex.end());
  }
  return out;
}

Bytes Binary(Random& rnd, size_t size, bool compressible, uint32_t magic) {
  Bytes out(size);
  // A fast generator for the bulk bytes, seeded from the archive's own sequence.
  uint64_t state = (uint64_t(rnd.Below(0xFFFFFFFF)) << 32) | rnd.Below(0xFFFFFFFF) | 1;
  for (size_t i = 0; i < size; i += 8) {
    state ^= state << 13, state ^= state >> 7, state ^= state << 17;  // xorshift64
    uint64_t word = state;
    // Compressible bulk: a slow ramp with an occasional random byte, about 4:1 with zlib.
    if (compressible)
      word = (word & 0x0F0F0F0F0F0F0F0Full) == 0 ? word : 0x0101010101010101ull * ((i / 64) % 97);
    std::memcpy(&out[i], &word, std::min<size_t>(8, size - i));
  }
  if (size >= 4 && magic != 0) PutU32(out.data(), magic);
  // Keep unknown binaries from probing as text by chance: a count with its top bit set never fits.
  if (size >= 4 && magic == 0)
    PutU32(out.data(), 0x80000000u | (static_cast<uint32_t>(rnd.Byte()) << 16) | 0x1234);
  return out;
}

const uint32_t kMagics[] = {0x43535442, 0x4731454D, 0x47314D5F, 0x4B4F435F, 0x4B53405F,
                            0x4B53484C, 0x534C4F5F, 0x5742445F, 0x5742485F, 0x58595748};

// The payload and storage mode of entry i.
std::pair<Bytes, Mode> MakeEntry(Random& rnd, uint32_t i) {
  switch (i % 16) {
    case 0:
      return {Binary(rnd, 100 + rnd.Below(3000), false, 0), Mode::Stored0};
    case 1:
      return {TextBlock(MakeTable(rnd, 3 + rnd.Below(8))), Mode::Stored0};
    case 2:
      return {TextureGroup({{6, 8, 8, true, false}, {1, 4, 4, false, false}}, i), Mode::Stored0};
    case 3:
      return {Binary(rnd, 500 + rnd.Below(5000), true, kMagics[(i / 16) % 10]), Mode::Compressed};
    case 4:
      return {TextGroup(rnd, 2 + rnd.Below(4)), Mode::Compressed};
    case 5:
      return {BlockData(rnd, 2 + rnd.Below(3), false), Mode::Stored0};
    case 6:
      return {Bytes(), Mode::Stored0};
    case 7:
      return {TextureGroup({{8, 7, 7, true, true}, {1, 5, 6, true, false}, {6, 6, 5, false, false}}, i),
              Mode::Compressed};
    case 8:
      return {Binary(rnd, 70000 + rnd.Below(50000), true, 0), Mode::Compressed};
    case 9:
      return {TextBlock(MakeTable(rnd, 2 + rnd.Below(5))), Mode::Compressed};
    case 10:
      return {Binary(rnd, 64 + rnd.Below(500), false, kMagics[(i / 16 + 3) % 10]), Mode::StoredBtsc};
    case 11:
      return {BlockData(rnd, 3, true), Mode::Compressed};
    case 12:
      return {TextureGroup({{8, 6, 6, false, false}, {8, 4, 5, true, true}}, i), Mode::StoredDddd};
    case 13:
      return {TextGroup(rnd, 1 + rnd.Below(3)), Mode::Stored0};
    case 14:
      return {Binary(rnd, 200 + rnd.Below(800), false, 0), Mode::StoredBtsc};
    default:
      return {TextureGroup({{6, 5, 5, true, false}}, i), Mode::StoredDddd};
  }
}

uint32_t WriteCompressed(const Bytes& plain, pw::TStream& out, int level) {
  z_stream zs{};
  if (deflateInit2(&zs, level, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw pw::Error("deflateInit2");
  Bytes chunk(deflateBound(&zs, 0x8000));
  out.WriteU32(static_cast<uint32_t>(plain.size()));
  uint32_t size = 4;
  for (size_t at = 0; at < plain.size(); at += 0x8000) {
    const size_t n = std::min<size_t>(0x8000, plain.size() - at);
    deflateReset(&zs);
    zs.next_in = const_cast<Bytef*>(plain.data() + at);
    zs.avail_in = static_cast<uInt>(n);
    zs.next_out = chunk.data();
    zs.avail_out = static_cast<uInt>(chunk.size());
    deflate(&zs, Z_FINISH);
    const uint32_t stored = static_cast<uint32_t>(chunk.size() - zs.avail_out);
    out.WriteU32(stored);
    out.Write(chunk.data(), stored);
    size += 4 + stored;
  }
  deflateEnd(&zs);
  out.WriteU32(0);
  return size + 4;
}

int Generate(const Options& opt) {
  Random rnd(opt.Seed);
  pw::TFileStream out(opt.Path, pw::TFileMode::Create);
  uint8_t header[16] = {'P', 'W', 'A', 'R'};
  PutU32(header + 4, opt.Entries);
  PutU32(header + 8, static_cast<uint32_t>(opt.BlockSize));
  PutU32(header + 12, 0x00010000);
  out.Write(header, 16);
  Bytes index(size_t(opt.Entries) * 16);
  int64_t block = (16 + int64_t(index.size()) + opt.BlockSize - 1) / opt.BlockSize;
  // Spread the requested total over the bulk entries (two of every sixteen) as large binary payloads.
  const uint64_t bulkEntries = std::max<uint64_t>(1, (opt.Entries + 7) / 8);
  const uint64_t bulkSize = opt.TotalSize / bulkEntries;
  for (uint32_t i = 0; i < opt.Entries; ++i) {
    auto [plain, mode] = MakeEntry(rnd, i);
    if (bulkSize > plain.size() && (i % 16 == 0 || i % 16 == 8))
      plain = Binary(rnd, static_cast<size_t>(std::min<uint64_t>(bulkSize, 0x7FFFFFFF)), i % 16 == 8, 0);
    out.Seek(block * opt.BlockSize);
    uint32_t size, uncomp;
    if (mode == Mode::Compressed) {
      size = WriteCompressed(plain, out, opt.Level);
      uncomp = static_cast<uint32_t>(plain.size());
    } else {
      out.Write(plain.data(), plain.size());
      size = static_cast<uint32_t>(plain.size());
      uncomp = mode == Mode::Stored0 ? 0 : mode == Mode::StoredBtsc ? 0x43535442 : 0xDDDDDDDD;
    }
    PutU32(&index[16 * i], static_cast<uint32_t>(block));
    PutU32(&index[16 * i + 4], static_cast<uint32_t>(uint64_t(block) >> 32));
    PutU32(&index[16 * i + 8], size);
    PutU32(&index[16 * i + 12], uncomp);
    block += (int64_t(size) + opt.BlockSize - 1) / opt.BlockSize;
  }
  out.SetSize(block * opt.BlockSize);
  out.Seek(16);
  out.Write(index.data(), index.size());
  out.Flush();
  return 0;
}

uint64_t ParseSize(const std::string& text) {
  size_t used = 0;
  double value = std::stod(text, &used);
  std::string unit = text.substr(used);
  double scale = unit.empty()  ? 1
                 : unit == "K" ? 1024.0
                 : unit == "M" ? 1048576.0
                 : unit == "G" ? 1073741824.0
                               : -1;
  if (scale < 0 || value < 0) throw std::invalid_argument(text);
  return static_cast<uint64_t>(value * scale);
}

}  // namespace

int main(int argc, char** argv) {
  Options opt;
  try {
    for (int i = 1; i < argc; ++i) {
      std::string a = argv[i];
      auto next = [&]() -> std::string {
        if (i + 1 >= argc) throw std::invalid_argument(a + " needs a value");
        return argv[++i];
      };
      if (a == "--entries")
        opt.Entries = static_cast<uint32_t>(std::stoul(next()));
      else if (a == "--block-size")
        opt.BlockSize = std::stoi(next());
      else if (a == "--total-size")
        opt.TotalSize = ParseSize(next());
      else if (a == "--seed")
        opt.Seed = static_cast<uint32_t>(std::stoul(next()));
      else if (a == "--level")
        opt.Level = std::stoi(next());
      else if (!a.empty() && a[0] != '-' && opt.Path.empty())
        opt.Path = a;
      else
        throw std::invalid_argument("unknown argument " + a);
    }
    if (opt.Path.empty() || opt.Entries == 0 || opt.BlockSize <= 0)
      throw std::invalid_argument("missing output path");
  } catch (const std::exception& e) {
    std::cerr << "make-sample-archive: " << e.what() << "\n"
              << "Usage: make-sample-archive [--entries N] [--block-size B] [--total-size SIZE[K|M|G]]\n"
                 "                           [--seed S] [--level 1-9] OUTPUT\n";
    return 2;
  }
  try {
    return Generate(opt);
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
}

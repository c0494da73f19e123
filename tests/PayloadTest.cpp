// Proves entry payloads: stored and chunk-chain reading, the writer's chunking and zlib parameters, and the
// errors of short and corrupt data.

#include <gtest/gtest.h>
#include <zlib.h>

#include "TestSupport.h"
#include "archive/Payload.h"
#include "platform/Error.h"

namespace pw {
namespace {

using test::Bytes;

Bytes Pattern(size_t n) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>((i * 31) ^ (i >> 7));
  return b;
}

Bytes Extract(const Bytes& payload, uint32_t uncomp) {
  TMemoryStream src(payload);
  TMemoryStream dst;
  ExtractEntryData({0, static_cast<uint32_t>(payload.size()), uncomp}, src, &dst);
  return dst.Bytes();
}

struct ChunkCase {
  size_t plain;
  std::vector<uint32_t> chunkPlainSizes;
};

TEST(WriteEntryPayload, ChunksOf32768WithZlibHeader78DA) {
  const ChunkCase cases[] = {{32768, {32768}}, {32769, {32768, 1}}, {65536, {32768, 32768}}, {5, {5}}};
  for (const ChunkCase& c : cases) {
    const Bytes plain = Pattern(c.plain);
    TMemoryStream out;
    auto [size, uncomp] = WriteEntryPayload(plain, out, true);
    const Bytes& b = out.Bytes();
    EXPECT_EQ(size, b.size());
    EXPECT_EQ(uncomp, c.plain);
    EXPECT_EQ(test::U32At(b, 0), c.plain);
    size_t at = 4;
    for (uint32_t expected : c.chunkPlainSizes) {
      const uint32_t stored = test::U32At(b, at);
      EXPECT_EQ(b[at + 4], 0x78);
      EXPECT_EQ(b[at + 5], 0xDA);
      TInflater inflater;
      Bytes chunkPlain;
      inflater.Inflate(&b[at + 4], stored, chunkPlain);
      EXPECT_EQ(chunkPlain.size(), expected);
      at += 4 + stored;
    }
    EXPECT_EQ(test::U32At(b, at), 0u);
    EXPECT_EQ(at + 4, b.size());
    EXPECT_EQ(Extract(b, uncomp), plain) << c.plain;
  }
}

TEST(WriteEntryPayload, ChunksCompressedInParallelMatchOneByOneCompression) {
  const Bytes plain = Pattern(40 * 32768 + 123);
  TMemoryStream out;
  WriteEntryPayload(plain, out, true);
  const Bytes& b = out.Bytes();
  size_t at = 4;
  for (size_t k = 0; k * 32768 < plain.size(); ++k) {
    const size_t n = std::min<size_t>(32768, plain.size() - k * 32768);
    uLongf len = compressBound(static_cast<uLong>(n));
    Bytes expected(len);
    compress2(expected.data(), &len, plain.data() + k * 32768, static_cast<uLong>(n), 9);
    expected.resize(len);
    const uint32_t stored = test::U32At(b, at);
    ASSERT_EQ(Bytes(b.begin() + static_cast<long>(at) + 4, b.begin() + static_cast<long>(at + 4 + stored)),
              expected)
        << "chunk " << k;
    at += 4 + stored;
  }
  EXPECT_EQ(test::U32At(b, at), 0u);
}

TEST(WriteEntryPayload, StoredAndEmpty) {
  TMemoryStream stored;
  EXPECT_EQ(WriteEntryPayload(test::B("abc"), stored, false), (std::pair<uint32_t, uint32_t>{3, 0}));
  EXPECT_EQ(stored.Bytes(), test::B("abc"));
  TMemoryStream empty;
  EXPECT_EQ(WriteEntryPayload({}, empty, true), (std::pair<uint32_t, uint32_t>{8, 0}));
  EXPECT_EQ(empty.Bytes(), Bytes(8, 0));
  // Read back through the index, UncompSize 0 is a stored entry: the 8 zero bytes themselves.
  EXPECT_EQ(Extract(empty.Bytes(), 0), Bytes(8, 0));
}

TEST(ExtractEntryData, StoredModesAndChains) {
  const Bytes plain = Pattern(100);
  for (uint32_t mode : {0u, 0x43535442u, 0xDDDDDDDDu}) EXPECT_EQ(Extract(plain, mode), plain) << mode;
  EXPECT_EQ(Extract(test::ChunkChain(Pattern(70000), 1000), 70000), Pattern(70000)) << "any split is read";
  EXPECT_EQ(Extract(Bytes{9, 9, 9, 9, 0, 0, 0, 0}, 1234), Bytes()) << "first length 0";
  TMemoryStream src(plain);
  ExtractEntryData({0, 100, 0}, src, nullptr);  // no destination: nothing happens
  TMemoryStream dst;
  ExtractEntryData({0, 0, 0}, src, &dst);
  EXPECT_EQ(dst.Size(), 0);
}

TEST(ExtractEntryData, StreamCutShortYieldsWhatItHadAndTrailingBytesAreIgnored) {
  Bytes chain = test::ChunkChain(test::B("hello hello hello hello"));
  const uint32_t stored = test::U32At(chain, 4);
  Bytes cut(chain.begin(), chain.begin() + 8 + stored - 6);  // drop the Adler-32 and a bit of data
  PutU32(&cut[4], stored - 6);
  test::AppendU32(cut, 0);
  const Bytes whole = test::B("hello hello hello hello");
  Bytes got = Extract(cut, 23);
  EXPECT_LT(got.size(), whole.size());
  EXPECT_EQ(got, Bytes(whole.begin(), whole.begin() + static_cast<long>(got.size())));
  Bytes padded(chain.begin(), chain.begin() + 8 + stored);
  padded.insert(padded.end(), {0xEE, 0xEE});
  PutU32(&padded[4], stored + 2);
  test::AppendU32(padded, 0);
  EXPECT_EQ(Extract(padded, 23), test::B("hello hello hello hello"));
}

TEST(ExtractEntryData, Errors) {
  struct Case {
    const char* label;
    Bytes payload;
    uint32_t uncomp;
    const char* message;  // nullptr: any decompressor message
  } cases[] = {
      {"stored short", Bytes(10), 0, "Stream read error"},
      {"chunk longer than the data", Bytes{0, 0, 0, 0, 50, 0, 0, 0, 1, 2}, 5, "Stream read error"},
      {"negative chunk length", Bytes{0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}, 5, "Stream read error"},
      {"missing terminator", Bytes{0, 0, 0, 0}, 5, "Stream read error"},
      {"not zlib", Bytes{0, 0, 0, 0, 4, 0, 0, 0, 0x12, 0x34, 0x56, 0x78, 0, 0, 0, 0}, 5, nullptr},
  };
  for (const Case& c : cases) {
    TMemoryStream src(c.payload);
    TMemoryStream dst;
    try {
      ExtractEntryData({0, c.label[0] == 's' ? 20u : 0u, c.uncomp}, src, &dst);
      ADD_FAILURE() << c.label << ": no error";
    } catch (const Error& e) {
      if (c.message) {
        EXPECT_STREQ(e.what(), c.message) << c.label;
      } else {
        EXPECT_GT(std::string(e.what()).size(), 0u) << c.label;
      }
    }
  }
}

TEST(Payload, ReadAndWriteAgainReproducesThePlainData) {
  const Bytes plain = Pattern(100000);
  for (bool compressed : {false, true}) {
    TMemoryStream first;
    auto [size, uncomp] = WriteEntryPayload(plain, first, compressed);
    EXPECT_EQ(Extract(first.Bytes(), uncomp), plain);
    EXPECT_EQ(size, first.Size());
  }
}

}  // namespace
}  // namespace pw

// Proves the text block reader's exact acceptance tests and the writer's layout and CSV replacement.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "csv/CsvStrings.h"
#include "formats/TextBlock.h"

namespace pw {
namespace {

using test::AppendU32;
using test::Bytes;

// A block of count 1 whose string record is (offset, size), followed by `tail`.
Bytes OneRecord(uint32_t offset, uint32_t size, const Bytes& tail) {
  Bytes b;
  AppendU32(b, 1);
  AppendU32(b, offset);
  AppendU32(b, size);
  b.insert(b.end(), tail.begin(), tail.end());
  return b;
}

struct AcceptCase {
  const char* label;
  Bytes block;
  uint32_t size;
  uint8_t alignment;
  bool accepted;
};

TEST(ReadTextBlock, AcceptanceTable) {
  const Bytes smallest = OneRecord(12, 1, {0});
  // A block whose last string ends at byte 37: record (12, 25), 24 characters and a zero.
  Bytes ends37 = OneRecord(12, 25, test::B("abcdefghijklmnopqrstuvwx"));
  ends37.push_back(0);
  ends37.resize(64, 0);
  Bytes lastEndsEarly;
  AppendU32(lastEndsEarly, 2);
  AppendU32(lastEndsEarly, 20), AppendU32(lastEndsEarly, 3);  // reaches the end (23)
  AppendU32(lastEndsEarly, 20), AppendU32(lastEndsEarly, 1);  // the last one ends at 21
  lastEndsEarly.insert(lastEndsEarly.end(), {'a', 'b', 0});
  const AcceptCase cases[] = {
      {"smallest block", smallest, 13, 1, true},
      {"size 12: last end 13", smallest, 12, 1, false},
      {"size 8: count test", smallest, 8, 1, false},
      {"count 0", Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 13, 1, false},
      {"align 16, size 48", ends37, 48, 16, true},
      {"align 16, size 37", ends37, 37, 16, false},
      {"align 16, size 64", ends37, 64, 16, false},
      {"align 1, size 37", ends37, 37, 1, true},
      {"align 1, size 48", ends37, 48, 1, false},
      {"last record ends early", lastEndsEarly, 23, 1, false},
      {"record size 0", OneRecord(12, 0, {0}), 12 + 0 + 1, 1, false},
      {"string past the stream", OneRecord(12, 5, {'a'}), 17, 1, false},
      {"lone C3", OneRecord(12, 2, {0xC3, 0}), 14, 1, false},
      {"FF byte", OneRecord(12, 2, {0xFF, 0}), 14, 1, false},
      {"truncated count", Bytes{1, 0}, 0, 1, false},
      {"table past the stream", Bytes{0xFF, 0xFF, 0xFF, 0x0F, 1, 2, 3}, 0xFFFFFFF0, 1, false},
  };
  for (const AcceptCase& c : cases) {
    TMemoryStream s(c.block);
    TTextTable strings = {u"previous"};
    EXPECT_EQ(ReadTextBlock(strings, s, c.size, c.alignment), c.accepted) << c.label;
    if (!c.accepted && strings != TTextTable{u"previous"}) {
      EXPECT_TRUE(strings.empty()) << c.label;
    }
  }
}

TEST(ReadTextBlock, SmallestBlockIsOneEmptyString) {
  TMemoryStream s(OneRecord(12, 1, {0}));
  TTextTable strings;
  ASSERT_TRUE(ReadTextBlock(strings, s, 0, 1));
  EXPECT_EQ(strings, TTextTable{u""});
}

TEST(ReadTextBlock, BadUtf8EmptiesTheTable) {
  TMemoryStream s(OneRecord(12, 2, {0xFF, 0}));
  TTextTable strings = {u"x"};
  EXPECT_FALSE(ReadTextBlock(strings, s, 14, 1));
  EXPECT_TRUE(strings.empty());
}

TEST(ReadTextBlock, NulCharacterReadsBackAndTerminatorIsNotRead) {
  TMemoryStream s(OneRecord(12, 4, {'a', 0, 'b', 0x77}));
  TTextTable strings;
  ASSERT_TRUE(ReadTextBlock(strings, s, 16, 1));
  EXPECT_EQ(strings[0], std::u16string(u"a\0b", 3));
}

TEST(ReadTextBlock, OffsetsCountFromTheBlocksStartInsideALargerStream) {
  Bytes data = {0xEE, 0xEE, 0xEE};
  Bytes block = test::TextBlockOf({"hi", "there"});
  data.insert(data.end(), block.begin(), block.end());
  TMemoryStream s(data);
  s.Seek(3);
  TTextTable strings;
  ASSERT_TRUE(ReadTextBlock(strings, s, static_cast<uint32_t>(block.size()), 1));
  EXPECT_EQ(strings, (TTextTable{u"hi", u"there"}));
}

TEST(WriteTextBlock, TwoStringsGive25Bytes) {
  TMemoryStream s;
  EXPECT_EQ(WriteTextBlock({u"A", u"BC"}, s, ""), 25);
  Bytes expected;
  AppendU32(expected, 2);
  AppendU32(expected, 20), AppendU32(expected, 2);
  AppendU32(expected, 22), AppendU32(expected, 3);
  expected.insert(expected.end(), {0x41, 0x00, 0x42, 0x43, 0x00});
  EXPECT_EQ(s.Bytes(), expected);
  EXPECT_EQ(s.Position(), 25);
}

TEST(WriteTextBlock, CsvRowsReplaceByIndex) {
  test::TempDir dir;
  struct Case {
    const char* label;
    std::vector<std::u16string> rows;
    TTextTable expected;
  } cases[] = {
      {"one row", {u"X"}, {u"X", u"b", u"c"}},
      {"more rows than strings", {u"X", u"Y", u"Z", u"W"}, {u"X", u"Y", u"Z"}},
      {"non-ASCII and line breaks", {u"Ünï\r\ncödé", u"", u"\"q\""}, {u"Ünï\r\ncödé", u"", u"\"q\""}},
  };
  for (const Case& c : cases) {
    TCsvStrings csv;
    for (const auto& r : c.rows) csv.AddRow(r);
    csv.SaveToFile(dir / "r.csv");
    TMemoryStream s;
    const int64_t length = WriteTextBlock({u"a", u"b", u"c"}, s, dir / "r.csv");
    s.Seek(0);
    TTextTable back;
    ASSERT_TRUE(ReadTextBlock(back, s, static_cast<uint32_t>(length), 1)) << c.label;
    EXPECT_EQ(back, c.expected) << c.label;
  }
}

TEST(WriteTextBlock, EmptyCsvReplacesNothingAndMissingPathMeansNone) {
  test::TempDir dir;
  test::WriteFileBytes(dir / "empty.csv", {});
  for (const std::string& path : {dir / "empty.csv", dir / "missing.csv", std::string()}) {
    TMemoryStream s;
    const int64_t length = WriteTextBlock({u"a", u"b"}, s, path);
    s.Seek(0);
    TTextTable back;
    ASSERT_TRUE(ReadTextBlock(back, s, static_cast<uint32_t>(length), 1));
    EXPECT_EQ(back, (TTextTable{u"a", u"b"})) << path;
  }
}

}  // namespace
}  // namespace pw

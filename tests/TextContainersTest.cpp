// Proves the probe order of ReadTextResources (text block, block data, text group) on the layouts'
// boundary cases, and the two container writers.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "csv/CsvStrings.h"
#include "formats/TextBlock.h"
#include "formats/TextContainers.h"

namespace pw {
namespace {

using test::AppendU32;
using test::Bytes;

// The block-data container of the sample: members ⟨A⟩⟨BC⟩ (25 bytes) and one empty string (13 bytes).
Bytes SampleBlockData() {
  Bytes first = test::TextBlockOf({"A", "BC"});
  Bytes second = test::TextBlockOf({""});
  Bytes out;
  AppendU32(out, 2);
  AppendU32(out, 20), AppendU32(out, 25);
  AppendU32(out, 48), AppendU32(out, 13);
  out.insert(out.end(), first.begin(), first.end());
  out.insert(out.end(), 3, 0);
  out.insert(out.end(), second.begin(), second.end());
  out.insert(out.end(), 3, 0);
  return out;
}

Bytes OneMemberGroup() {
  Bytes out;
  AppendU32(out, 1);
  AppendU32(out, 16);
  out.insert(out.end(), 8, 0);
  Bytes member = test::TextBlockOf({"hello"});  // 4 + 8 + 6 = 18 bytes, padded to 32
  out.insert(out.end(), member.begin(), member.end());
  out.resize(16 + 32, 0);
  return out;
}

struct ProbeCase {
  const char* label;
  Bytes payload;
  TFileType type;
  TTextDataList tables;
};

TEST(ReadTextResources, ProbeOrderTable) {
  Bytes block25 = test::TextBlockOf({"A", "BC"});
  Bytes padded28 = block25;
  padded28.resize(28, 0);
  Bytes blockData = SampleBlockData();
  Bytes cut61(blockData.begin(), blockData.begin() + 61);
  Bytes mult4 = test::TextBlockOf({"abc", "defghij"});  // 4 + 16 + 4 + 8 = 32
  Bytes badUtf8 = test::TextBlockOf({"ab", "c"});       // 4 + 16 + 3 + 2 = 25
  badUtf8[20] = 0xFF;
  Bytes badUtf8Padded = badUtf8;
  badUtf8Padded.resize(28, 0);
  Bytes group = OneMemberGroup();
  Bytes groupCut(group.begin(), group.end() - 4);
  Bytes notIncreasing;
  AppendU32(notIncreasing, 2);
  AppendU32(notIncreasing, 32), AppendU32(notIncreasing, 16);
  notIncreasing.resize(64, 0);
  const ProbeCase cases[] = {
      {"text block, length a multiple of 4", mult4, ftText, {{u"abc", u"defghij"}}},
      {"text block padded to 28", padded28, ftBlockData, {{}, {}}},
      {"block data sample", blockData, ftBlockData, {{u"A", u"BC"}, {u""}}},
      {"block data cut to 61",
       cut61,
       ftText,
       {{std::u16string(u"\x02\0\0\0\x14\0\0\0\x02\0\0\0\x16\0\0\0\x03\0\0\0A\0BC", 24),
         std::u16string(u"\x01\0\0\0\x0C\0\0\0\x01\0\0\0", 12)}}},
      {"bad UTF-8, multiple of 4", badUtf8Padded, ftBlockData, {{}, {}}},
      {"one-member text group", group, ftTextGroup, {{u"hello"}}},
      {"group padding cut short", groupCut, ftUnknown, {}},
      {"offsets not increasing", notIncreasing, ftUnknown, {}},
      {"count too large", Bytes{0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0}, ftUnknown, {}},
      {"too short", Bytes{1, 0}, ftUnknown, {}},
  };
  for (const ProbeCase& c : cases) {
    TMemoryStream s(c.payload);
    TTextDataList tables = {{u"existing"}};
    EXPECT_EQ(ReadTextResources(s, tables, 0), c.type) << c.label;
    TTextDataList expected = {{u"existing"}};
    expected.insert(expected.end(), c.tables.begin(), c.tables.end());
    EXPECT_EQ(tables, expected) << c.label;
  }
}

TEST(ReadTextResources, BadUtf8NotMultipleOf4GoesOnToTheGroupTest) {
  Bytes badUtf8 = test::TextBlockOf({"ab", "c"});  // 25 bytes: the text test fails, 25 is not 28
  badUtf8[20] = 0xFF;
  TMemoryStream s(badUtf8);
  TTextDataList tables;
  EXPECT_EQ(ReadTextResources(s, tables, 0), ftUnknown);
  EXPECT_TRUE(tables.empty());
}

TEST(WriteTextGroup, LayoutAndRoundTrip) {
  const TTextDataList tables = {{u"zero"}, {u"one", u"uno"}, {u"two"}, {u"three"}};
  for (uint32_t count : {1u, 3u}) {
    TMemoryStream s;
    WriteTextGroup(tables, 1, count, {}, s);
    const Bytes& b = s.Bytes();
    EXPECT_EQ(test::U32At(b, 0), count);
    EXPECT_EQ(test::U32At(b, 4), 16u)
        << "first member at 16: " << (count == 1 ? "8 padding bytes" : "no padding");
    EXPECT_EQ(b.size() % 16, 0u);
    TTextDataList back;
    s.Seek(0);
    ASSERT_EQ(ReadTextResources(s, back, 0), ftTextGroup);
    EXPECT_EQ(back, TTextDataList(tables.begin() + 1, tables.begin() + 1 + count));
  }
}

TEST(WriteTextGroup, CsvReplacesOneMember) {
  test::TempDir dir;
  TCsvStrings csv;
  csv.AddRow(u"ersetzt");
  csv.SaveToFile(dir / "m.csv");
  TMemoryStream s;
  WriteTextGroup({{u"a"}, {u"b", u"c"}}, 0, 2, {"", dir / "m.csv"}, s);
  TTextDataList back;
  s.Seek(0);
  ASSERT_EQ(ReadTextResources(s, back, 0), ftTextGroup);
  EXPECT_EQ(back, (TTextDataList{{u"a"}, {u"ersetzt", u"c"}}));
}

TEST(WriteBlockData, NoReplacementReproducesMembersAndRepacksGaps) {
  const Bytes packed = SampleBlockData();
  // The same container with a 4-byte gap before the second member.
  Bytes gappy(packed.begin(), packed.begin() + 48);
  gappy.insert(gappy.end(), 4, 0);
  gappy.insert(gappy.end(), packed.begin() + 48, packed.begin() + 61);
  gappy.insert(gappy.end(), 3, 0);
  PutU32(&gappy[12], 52);
  TMemoryStream plain(gappy);
  TMemoryStream out;
  WriteBlockData(plain, out, {});
  EXPECT_EQ(out.Bytes(), packed);
}

TEST(WriteBlockData, ReplacingTheFirstMemberMovesTheSecond) {
  test::TempDir dir;
  TCsvStrings csv;
  csv.AddRow(u"longer text");
  csv.SaveToFile(dir / "1.csv");
  TMemoryStream plain(SampleBlockData());
  TMemoryStream out;
  WriteBlockData(plain, out, {dir / "1.csv"});
  const Bytes& b = out.Bytes();
  const uint32_t firstSize = 4 + 16 + 12 + 3;  // "longer text" + zero, "BC" + zero
  EXPECT_EQ(test::U32At(b, 4), 20u);
  EXPECT_EQ(test::U32At(b, 8), firstSize);
  EXPECT_EQ(test::U32At(b, 12), (20 + firstSize + 3) / 4 * 4);
  TTextDataList back;
  out.Seek(0);
  ASSERT_EQ(ReadTextResources(out, back, 0), ftBlockData);
  EXPECT_EQ(back, (TTextDataList{{u"longer text", u"BC"}, {u""}}));
}

TEST(WriteBlockData, NonTextMemberIsCopiedEvenWithACsv) {
  test::TempDir dir;
  TCsvStrings csv;
  csv.AddRow(u"ignored");
  csv.SaveToFile(dir / "2.csv");
  Bytes data = SampleBlockData();
  data[48] = 0xFF, data[49] = 0xFF;  // member 2 no longer reads as a text block
  TMemoryStream plain(data);
  TMemoryStream out;
  WriteBlockData(plain, out, {"", dir / "2.csv"});
  EXPECT_EQ(out.Bytes(), data);
}

TEST(WriteBlockData, PayloadThatIsNotBlockDataWritesNothing) {
  TMemoryStream plain(test::TextBlockOf({"A"}));
  TMemoryStream out;
  WriteBlockData(plain, out, {});
  EXPECT_EQ(out.Size(), 0);
}

}  // namespace
}  // namespace pw

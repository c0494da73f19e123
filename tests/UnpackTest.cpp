// Proves unpacking: file names (padding, extensions, resource numbers), the option flags, and the content
// of entry, CSV and DDS files.

#include <gtest/gtest.h>

#include <algorithm>

#include "TestSupport.h"
#include "archive/Unpacker.h"
#include "csv/CsvStrings.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"

namespace pw {
namespace {

using test::Bytes;
using test::TestEntry;

std::vector<std::string> SortedNames(const std::string& dir) {
  std::vector<std::string> names;
  for (const TDirEntry& e : ListDirectory(dir)) names.push_back(e.Name);
  std::sort(names.begin(), names.end());
  return names;
}

TEST(UnpackNames, DigitsAndPadding) {
  const std::tuple<uint64_t, int, uint64_t, std::string> cases[] = {
      {9, 1, 1, "1"},       {10, 2, 1, "01"},      {10, 2, 10, "10"},
      {1000, 4, 1, "0001"}, {1234, 4, 57, "0057"}, {1234, 4, 1234, "1234"}};
  for (auto [count, digits, n, text] : cases) {
    EXPECT_EQ(Digits(count), digits) << count;
    EXPECT_EQ(PaddedNumber(n, Digits(count)), text) << count;
  }
}

TEST(UnpackNames, ExtensionsOfTheRecognisedMagics) {
  const std::pair<const char*, const char*> cases[] = {{"BTSC", "cstb"}, {"ME1G", "g1em"}, {"_M1G", "g1m_"},
                                                       {"_COK", "koc_"}, {"_@SK", "ks@_"}, {"LHSK", "kshl"},
                                                       {"_OLS", "slo_"}, {"_DBW", "wbd_"}, {"_HBW", "wbh_"},
                                                       {"HWYX", "xywh"}, {"GT1G", "g1tg"}};
  for (auto [magic, ext] : cases)
    EXPECT_EQ(ExtensionOfMagic(GetU32(reinterpret_cast<const uint8_t*>(magic))), ext);
  EXPECT_EQ(ExtensionOfMagic(0x00004241), "") << "ends at the first zero byte (reversed order)";
}

class UnpackTest : public ::testing::Test {
 protected:
  void Open(const std::vector<TestEntry>& entries) {
    test::WriteArchive(dir / "a.bin", entries);
    TNullProgress progress;
    ASSERT_EQ(CreateDataList(list, dir / "a.bin", progress), static_cast<int>(entries.size()));
    ForceDirectories(dir / "out");
  }
  void Run(const TUnpackOptions& options) {
    TNullProgress progress;
    Unpack(list, dir / "a.bin", dir / "out", options, progress);
  }
  test::TempDir dir;
  TDataList list;
};

TEST_F(UnpackTest, DefaultOptionsWriteOnlyResources) {
  Bytes m1g(40, 7);
  std::copy_n("_M1G", 4, m1g.begin());
  Open({{m1g, 0}, {test::TextBlockOf({"a", "b"}), 0}});
  for (auto& e : list.FileInfoList) e.Checked = true;
  list.FileInfoList[1].ResInfo[0].Checked = true;
  Run({});
  EXPECT_EQ(SortedNames(dir / "out"), (std::vector<std::string>{"2_1.csv"}));
}

TEST_F(UnpackTest, EntryFilesWithAndWithoutExtension) {
  Bytes m1g(40, 7);
  std::copy_n("_M1G", 4, m1g.begin());
  Open({{m1g, 0},
        {test::TextBlockOf({"a"}), 0},
        {Bytes(), 0},
        {Bytes(5000, 1), 0, true},
        {test::TextureGroupOf({test::TextureOf(6, 2, 2, 8)}), 0}});
  for (auto& e : list.FileInfoList) e.Checked = true;
  TUnpackOptions options;
  options.OnlyRes = false;
  Run(options);
  EXPECT_EQ(SortedNames(dir / "out"), (std::vector<std::string>{"1.g1m_", "2", "3", "4", "5.g1tg"}));
  EXPECT_EQ(test::ReadFileBytes(dir / "out/1.g1m_"), m1g);
  EXPECT_EQ(test::ReadFileBytes(dir / "out/3").size(), 0u) << "Size 0 gives an empty file";
  EXPECT_EQ(test::ReadFileBytes(dir / "out/4"), Bytes(5000, 1)) << "compressed entries are inflated";
  options.WithExt = false;
  options.ReplaceExisting = true;
  Run(options);
  EXPECT_TRUE(FileExists(dir / "out/1"));
}

TEST_F(UnpackTest, ExistingEntryFileIsKeptWhileResourcesAreRewritten) {
  Open({{test::TextBlockOf({"new"}), 0}});
  test::WriteFileBytes(dir / "out/1", test::B("user data"));
  test::WriteFileBytes(dir / "out/1_1.csv", test::B("old"));
  list.FileInfoList[0].Checked = true;
  list.FileInfoList[0].ResInfo[0].Checked = true;
  TUnpackOptions options;
  options.OnlyRes = false;
  Run(options);
  EXPECT_EQ(test::ReadFileBytes(dir / "out/1"), test::B("user data"));
  TCsvStrings csv;
  csv.LoadFromFile(dir / "out/1_1.csv");
  EXPECT_EQ(csv.GetCell(0, 0), u"new");
  options.ReplaceExisting = true;
  Run(options);
  EXPECT_EQ(test::ReadFileBytes(dir / "out/1"), test::TextBlockOf({"new"}));
}

TEST_F(UnpackTest, ResourceFilesAndTheirContent) {
  // A text group of 10 tables, one of them empty, and a texture group of 12 textures (two-digit names).
  Bytes group;
  test::AppendU32(group, 10);
  group.resize(48, 0);
  for (int i = 0; i < 10; ++i) {
    PutU32(&group[4 + 4 * i], static_cast<uint32_t>(group.size()));
    Bytes block = test::TextBlockOf({"row " + std::to_string(i), "second\tcell"});
    group.insert(group.end(), block.begin(), block.end());
    group.resize((group.size() + 15) / 16 * 16, 0);
  }
  std::vector<Bytes> textures;
  for (int i = 0; i < 12; ++i)
    textures.push_back(test::TextureOf(i == 5 ? 2 : 6, 2, 2, 8, static_cast<uint8_t>(i)));
  Open({{group, 0, true}, {test::TextureGroupOf(textures), 0}});
  ASSERT_EQ(list.FileInfoList[0].FileType, ftTextGroup);
  for (auto& r : list.FileInfoList[0].ResInfo) r.Checked = true;
  list.FileInfoList[1].ResInfo[2].Checked = true;
  list.FileInfoList[1].ResInfo[5].Checked = true;
  Run({});
  EXPECT_EQ(SortedNames(dir / "out").size(), 12u);
  EXPECT_TRUE(FileExists(dir / "out/1_01.csv"));
  EXPECT_TRUE(FileExists(dir / "out/1_10.csv"));
  EXPECT_EQ(test::ReadFileBytes(dir / "out/2_06.dds").size(), 0u) << "format code 2 leaves an empty file";
  const Bytes dds = test::ReadFileBytes(dir / "out/2_03.dds");
  ASSERT_EQ(dds.size(), 128u + 8);
  EXPECT_EQ(dds[128], 2) << "texture 3's data";
  const Bytes csv = test::ReadFileBytes(dir / "out/1_03.csv");
  Bytes expected = {0xFF, 0xFE};
  Bytes text = EncodeUtf16(u"row 2\r\n\"second\tcell\"", false);
  expected.insert(expected.end(), text.begin(), text.end());
  EXPECT_EQ(csv, expected);
}

TEST_F(UnpackTest, Entry57Of1234NamesItsFilesWithFourDigits) {
  std::vector<TestEntry> entries(1234, TestEntry{test::B("xyz"), 0});
  std::vector<Bytes> textures;
  for (int i = 0; i < 12; ++i) textures.push_back(test::TextureOf(6, 2, 2, 8, static_cast<uint8_t>(i)));
  entries[56] = {test::TextureGroupOf(textures), 0};
  Open(entries);
  list.FileInfoList[56].Checked = true;
  list.FileInfoList[56].ResInfo[2].Checked = true;
  list.FileInfoList[0].Checked = true;
  TUnpackOptions options;
  options.OnlyRes = false;
  Run(options);
  EXPECT_EQ(SortedNames(dir / "out"), (std::vector<std::string>{"0001", "0057.g1tg", "0057_03.dds"}));
}

TEST_F(UnpackTest, EmptyTextTableGivesACsvWithoutRows) {
  Open({{test::BlockDataWithBlob("a"), 0}});
  ASSERT_EQ(list.FileInfoList[0].FileType, ftBlockData);
  for (auto& r : list.FileInfoList[0].ResInfo) r.Checked = true;
  Run({});
  EXPECT_EQ(test::ReadFileBytes(dir / "out/1_2.csv"), (Bytes{0xFF, 0xFE}));
}

TEST_F(UnpackTest, MissingArchiveFails) {
  Open({{test::TextBlockOf({"a"}), 0}});
  TNullProgress progress;
  EXPECT_THROW(Unpack(list, dir / "gone.bin", dir / "out", {}, progress), Error);
}

}  // namespace
}  // namespace pw

// Proves repacking: the identity repack's layout, whole-entry and resource replacements in both storage
// modes, the precedence rules, and the safety rules (read-only source, target = source, failed runs).

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "TestSupport.h"
#include "archive/Payload.h"
#include "archive/Repacker.h"
#include "csv/CsvStrings.h"
#include "formats/Dds.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"

namespace pw {
namespace {

using test::Bytes;
using test::TestEntry;
using test::U32At;

class RepackTest : public ::testing::Test {
 protected:
  void Open(const std::vector<TestEntry>& entries, int32_t blockSize = 16) {
    source = test::WriteArchive(dir / "src.bin", entries, blockSize);
    TNullProgress progress;
    ASSERT_EQ(CreateDataList(list, dir / "src.bin", progress), static_cast<int>(entries.size()));
  }
  Bytes Repacked() {
    TNullProgress progress;
    Repack(list, dir / "src.bin", dir / "new.bin", progress);
    return test::ReadFileBytes(dir / "new.bin");
  }
  // The plain payload of entry i of the repacked archive.
  Bytes PlainOf(const Bytes& archive, size_t i) {
    const int32_t block = static_cast<int32_t>(U32At(archive, 8));
    TDataInfo info{int64_t(U32At(archive, 16 + 16 * i)) * block, U32At(archive, 24 + 16 * i),
                   U32At(archive, 28 + 16 * i)};
    TMemoryStream src(archive);
    src.Seek(info.Offset);
    TMemoryStream dst;
    ExtractEntryData(info, src, &dst);
    return dst.Bytes();
  }
  test::TempDir dir;
  TDataList list;
  Bytes source;
};

TEST_F(RepackTest, IdentityRepackKeepsRecordsAndPacksPayloads) {
  Open({{test::PayloadWithMagic("_M1G", 100), 0},
        {Bytes(), 0},
        {test::PayloadWithMagic("abcd", 70000), 0, true},
        {test::PayloadWithMagic("HWYX", 7), 0x43535442},
        {test::TextBlockOf({"t"}), 0xDDDDDDDD}},
       64);
  const Bytes out = Repacked();
  EXPECT_EQ(Bytes(out.begin(), out.begin() + 16), Bytes(source.begin(), source.begin() + 16));
  EXPECT_EQ(out.size() % 64, 0u);
  int64_t expectedBlock = (16 + 16 * 5 + 63) / 64;
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(U32At(out, 16 + 16 * i), expectedBlock) << i;
    EXPECT_EQ(U32At(out, 24 + 16 * i), U32At(source, 24 + 16 * i)) << i;
    EXPECT_EQ(U32At(out, 28 + 16 * i), U32At(source, 28 + 16 * i)) << i;
    const uint32_t size = U32At(out, 24 + 16 * i);
    const int64_t at = expectedBlock * 64, from = int64_t(U32At(source, 16 + 16 * i)) * 64;
    EXPECT_EQ(Bytes(out.begin() + at, out.begin() + at + size),
              Bytes(source.begin() + from, source.begin() + from + size));
    // Zero padding up to the next block.
    const int64_t end = (at + size + 63) / 64 * 64;
    EXPECT_EQ(Bytes(out.begin() + at + size, out.begin() + end), Bytes(end - at - size, 0)) << i;
    expectedBlock += (size + 63) / 64;
  }
  EXPECT_EQ(U32At(out, 16 + 16 * 1), U32At(out, 16 + 16 * 2)) << "a Size 0 entry occupies no block";
  EXPECT_EQ(int64_t(out.size()), expectedBlock * 64);
}

TEST_F(RepackTest, FirstPayloadAfterA1000EntryIndexIsBlock8) {
  Open(std::vector<TestEntry>(1000, TestEntry{test::PayloadWithMagic("_M1G", 8), 0}), 2048);
  const Bytes out = Repacked();
  EXPECT_EQ(U32At(out, 16), 8u);
  EXPECT_EQ(U32At(out, 32), 9u);
}

TEST_F(RepackTest, WholeEntryReplacementInBothModes) {
  Open({{test::PayloadWithMagic("_M1G", 100), 0},
        {test::PayloadWithMagic("_COK", 50000), 0, true},
        {test::PayloadWithMagic("HWYX", 9), 0x43535442}});
  const Bytes replacement = test::PayloadWithMagic("NEW!", 40000);
  test::WriteFileBytes(dir / "r.bin", replacement);
  for (auto& e : list.FileInfoList) e.ReplacePath = dir / "r.bin";
  const Bytes out = Repacked();
  EXPECT_EQ(U32At(out, 24), 40000u) << "stored stays stored";
  EXPECT_EQ(U32At(out, 28), 0u);
  for (size_t i : {1u, 2u}) {
    EXPECT_EQ(U32At(out, 28 + 16 * i), 40000u) << "written as a chunk chain, BTSC included";
    const int64_t at = int64_t(U32At(out, 16 + 16 * i)) * 16;
    EXPECT_EQ(U32At(out, static_cast<size_t>(at)), 40000u);
    EXPECT_EQ(U32At(out, static_cast<size_t>(at) + 4 + 4 + U32At(out, static_cast<size_t>(at) + 4)) != 0,
              true)
        << "two chunks for 40000 bytes";
  }
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(PlainOf(out, i), replacement) << i;
}

TEST_F(RepackTest, WholeEntryWinsOverResourcesAndMissingPathsCopy) {
  Open({{test::TextBlockOf({"a", "b"}), 0}, {test::TextBlockOf({"c"}), 0}});
  TCsvStrings csv;
  csv.AddRow(u"X");
  csv.SaveToFile(dir / "r.csv");
  test::WriteFileBytes(dir / "whole", test::B("whole"));
  list.FileInfoList[0].ReplacePath = dir / "whole";
  list.FileInfoList[0].ResInfo[0].ReplacePath = dir / "r.csv";
  list.FileInfoList[1].ResInfo[0].ReplacePath = dir / "missing.csv";
  const Bytes out = Repacked();
  EXPECT_EQ(PlainOf(out, 0), test::B("whole"));
  EXPECT_EQ(PlainOf(out, 1), test::TextBlockOf({"c"}));
}

TEST_F(RepackTest, ResourceRebuildsOfEveryTextTypeAndTextures) {
  Bytes blockData;
  Bytes member = test::TextBlockOf({"m1", "m2"});
  test::AppendU32(blockData, 1);
  test::AppendU32(blockData, 12), test::AppendU32(blockData, static_cast<uint32_t>(member.size()));
  blockData.insert(blockData.end(), member.begin(), member.end());
  blockData.resize((blockData.size() + 3) / 4 * 4, 0);
  Bytes group;
  test::AppendU32(group, 1), test::AppendU32(group, 16);
  group.resize(16, 0);
  Bytes g = test::TextBlockOf({"g1"});
  group.insert(group.end(), g.begin(), g.end());
  group.resize(32, 0);
  Open({{test::TextBlockOf({"a", "b"}), 0, true},
        {blockData, 0},
        {group, 0},
        {test::TextureGroupOf({test::TextureOf(1, 1, 1, 16)}), 0}});
  ASSERT_EQ(list.FileInfoList[1].FileType, ftBlockData);
  ASSERT_EQ(list.FileInfoList[2].FileType, ftTextGroup);
  TCsvStrings csv;
  csv.AddRow(u"Ersatz – ü");
  csv.SaveToFile(dir / "r.csv");
  for (size_t i = 0; i < 3; ++i) list.FileInfoList[i].ResInfo[0].ReplacePath = dir / "r.csv";
  test::WriteFileBytes(dir / "t.dds", test::DdsOf(4, 4, kFourCCDxt1, Bytes(8, 0x99)));
  list.FileInfoList[3].ResInfo[0].ReplacePath = dir / "t.dds";
  const Bytes out = Repacked();
  TDataList back;
  TNullProgress progress;
  test::WriteFileBytes(dir / "copy.bin", out);
  ASSERT_EQ(CreateDataList(back, dir / "copy.bin", progress), 4);
  EXPECT_EQ(U32At(out, 28), static_cast<uint32_t>(PlainOf(out, 0).size()))
      << "compressed entry stays compressed";
  EXPECT_EQ(back.TextDataList[0], (TTextTable{u"Ersatz – ü", u"b"}));
  EXPECT_EQ(back.TextDataList[1], (TTextTable{u"Ersatz – ü", u"m2"}));
  EXPECT_EQ(back.TextDataList[2], (TTextTable{u"Ersatz – ü"}));
  EXPECT_EQ(back.TexDataList[0].Format, 6u);
  EXPECT_EQ(back.TexDataList[0].Width, 4u);
}

TEST_F(RepackTest, FailedTextureRebuildCopiesTheEntryUnchanged) {
  Open({{test::TextureGroupOf({test::TextureOf(1, 1, 1, 16)}), 0}});
  test::WriteFileBytes(dir / "short.dds", Bytes(50, 1));
  list.FileInfoList[0].ResInfo[0].ReplacePath = dir / "short.dds";
  const Bytes out = Repacked();
  EXPECT_EQ(PlainOf(out, 0), test::TextureGroupOf({test::TextureOf(1, 1, 1, 16)}));
}

TEST_F(RepackTest, ReadOnlySourceRepacks) {
  Open({{test::PayloadWithMagic("_M1G", 10), 0}});
  ASSERT_EQ(::chmod((dir / "src.bin").c_str(), 0444), 0);
  EXPECT_NO_THROW(Repacked());
}

TEST_F(RepackTest, TargetThatIsTheSourceIsRefusedUntouched) {
  Open({{test::PayloadWithMagic("_M1G", 10), 0}});
  ASSERT_EQ(::symlink((dir / "src.bin").c_str(), (dir / "alias.bin").c_str()), 0);
  TNullProgress progress;
  for (const std::string& target : {dir / "src.bin", dir / "alias.bin"}) {
    try {
      Repack(list, dir / "src.bin", target, progress);
      ADD_FAILURE() << "no error for " << target;
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + target + "\". ", 0), 0u) << e.what();
    }
    EXPECT_EQ(test::ReadFileBytes(dir / "src.bin"), source);
  }
}

TEST_F(RepackTest, FailedRunLeavesTheExistingTargetAndNoTemporaryFile) {
  Open({{test::PayloadWithMagic("_M1G", 10), 0}, {test::PayloadWithMagic("abcd", 3000), 0, true}});
  test::WriteFileBytes(dir / "new.bin", test::B("previous"));
  // Cut the source after opening: copying entry 2 then runs short.
  test::WriteFileBytes(dir / "src.bin", Bytes(source.begin(), source.begin() + 40));
  TNullProgress progress;
  EXPECT_THROW(Repack(list, dir / "src.bin", dir / "new.bin", progress), Error);
  EXPECT_EQ(test::ReadFileBytes(dir / "new.bin"), test::B("previous"));
  EXPECT_EQ(ListDirectory(dir.Path()).size(), 2u);
}

}  // namespace
}  // namespace pw

// Proves opening an archive: header and index checks, classification by magic in every storage mode, byte
// positions, progress phases, the resource listing (text probe, texture tables, LoadInfo) and bad input.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "archive/DataList.h"
#include "platform/Error.h"
#include "platform/Stream.h"

namespace pw {
namespace {

using test::Bytes;
using test::TestEntry;

class RecordingProgress : public TProgress {
 public:
  void ProcessingWork(const std::string& caption, uint32_t steps) override {
    Calls.push_back(caption + ":" + std::to_string(steps));
  }
  void StepIt() override { ++Steps; }
  std::vector<std::string> Calls;
  int Steps = 0;
};

std::string ErrorOf(const std::string& path) {
  TDataList list;
  TNullProgress progress;
  try {
    CreateDataList(list, path, progress);
  } catch (const Error& e) {
    return e.what();
  }
  return "";
}

TEST(CreateDataList, MissingFileGivesMinus5WithoutProgress) {
  TDataList list;
  list.FileInfoList.resize(3);
  RecordingProgress progress;
  EXPECT_EQ(CreateDataList(list, "/nonexistent/archive.bin", progress), -5);
  EXPECT_TRUE(list.FileInfoList.empty());
  EXPECT_TRUE(progress.Calls.empty());
}

TEST(CreateDataList, EmptyArchiveGivesZeroAndHiddenBar) {
  test::TempDir dir;
  test::WriteArchive(dir / "a", {});
  TDataList list;
  RecordingProgress progress;
  EXPECT_EQ(CreateDataList(list, dir / "a", progress), 0);
  EXPECT_EQ(progress.Calls, (std::vector<std::string>{"Reading progress:0", "Data path:0"}));
}

struct ClassifyCase {
  const char* label;
  TestEntry entry;
  TFileType type;
  uint32_t magic;
};

TEST(CreateDataList, ClassificationTable) {
  const ClassifyCase cases[] = {
      {"stored GT1G", {test::TextureGroupOf({}), 0}, ftTexture, 0x47315447},
      {"stored _M1G", {test::PayloadWithMagic("_M1G"), 0}, ftUnkMagic, 0x47314D5F},
      {"BTSC UncompSize is stored", {test::PayloadWithMagic("HWYX"), 0x43535442}, ftUnkMagic, 0x58595748},
      {"DDDDDDDD UncompSize is stored", {test::PayloadWithMagic("LHSK"), 0xDDDDDDDD}, ftUnkMagic, 0x4B53484C},
      {"compressed _M1G", {test::PayloadWithMagic("_M1G", 100000), 0, true}, ftUnkMagic, 0x47314D5F},
      {"stored unknown", {test::PayloadWithMagic("\x01\x02\x03\x04"), 0}, ftUnknown, 0x04030201},
      {"size 0", {Bytes(), 0}, ftUnknown, 0},
      {"stored text", {test::TextBlockOf({"a"}), 0}, ftText, 1},
      {"compressed text", {test::TextBlockOf({"a", "b"}), 0, true}, ftText, 2},
  };
  std::vector<TestEntry> entries;
  for (const ClassifyCase& c : cases) entries.push_back(c.entry);
  test::TempDir dir;
  test::WriteArchive(dir / "a", entries);
  TDataList list;
  RecordingProgress progress;
  ASSERT_EQ(CreateDataList(list, dir / "a", progress), static_cast<int>(entries.size()));
  EXPECT_EQ(progress.Steps, static_cast<int>(entries.size()));
  for (size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(list.FileInfoList[i].FileType, cases[i].type) << cases[i].label;
    EXPECT_EQ(list.FileInfoList[i].Magic, cases[i].magic) << cases[i].label;
  }
}

TEST(CreateDataList, OffsetIsABytePosition) {
  test::TempDir dir;
  Bytes archive = test::WriteArchive(dir / "a", {{test::PayloadWithMagic("_M1G"), 0}}, 2048);
  // Move the payload to block 3 (byte 6144).
  Bytes moved(archive.begin(), archive.begin() + 32);
  moved.resize(6144, 0);
  moved.insert(moved.end(), archive.begin() + 2048, archive.end());
  PutU32(&moved[16], 3);
  test::WriteFileBytes(dir / "b", moved);
  TDataList list;
  TNullProgress progress;
  ASSERT_EQ(CreateDataList(list, dir / "b", progress), 1);
  EXPECT_EQ(list.FileInfoList[0].DataInfo.Offset, 6144);
  EXPECT_EQ(list.FileInfoList[0].FileType, ftUnkMagic);
}

TEST(CreateDataList, BadInputFailsCleanly) {
  test::TempDir dir;
  Bytes good = test::WriteArchive(
      dir / "good", {{test::PayloadWithMagic("_M1G"), 0}, {test::PayloadWithMagic("abcd", 5000), 0, true}});
  struct Case {
    const char* label;
    Bytes bytes;
    const char* message;
  } cases[] = {
      {"short header", Bytes(good.begin(), good.begin() + 10), "Stream read error"},
      {"negative count",
       [&] {
         Bytes b = good;
         PutU32(&b[4], 0xFFFFFFFF);
         return b;
       }(),
       "Stream read error"},
      {"huge count",
       [&] {
         Bytes b = good;
         PutU32(&b[4], 0x7FFFFFFF);
         return b;
       }(),
       "Stream read error"},
      {"truncated chunk", Bytes(good.begin(), good.end() - 20), "Stream read error"},
      {"negative position",
       [&] {
         Bytes b = good;
         PutU32(&b[20], 0x80000000);
         return b;
       }(),
       "Stream read error"},
  };
  for (const Case& c : cases) {
    test::WriteFileBytes(dir / "bad", c.bytes);
    EXPECT_EQ(ErrorOf(dir / "bad"), c.message) << c.label;
  }
}

TEST(CreateDataList, ErrorKeepsTheEntriesReadBeforeAndEndsThePhase) {
  test::TempDir dir;
  Bytes good = test::WriteArchive(
      dir / "a", {{test::PayloadWithMagic("_M1G"), 0}, {test::PayloadWithMagic("abcd", 5000), 0, true}});
  test::WriteFileBytes(dir / "a", Bytes(good.begin(), good.end() - 40));
  TDataList list;
  RecordingProgress progress;
  EXPECT_THROW(CreateDataList(list, dir / "a", progress), Error);
  ASSERT_EQ(list.FileInfoList.size(), 2u);
  EXPECT_EQ(list.FileInfoList[0].FileType, ftUnkMagic);
  EXPECT_EQ(progress.Calls.back(), "Data path:0");
}

TEST(ResourceListing, TextEntriesGetConsecutiveTables) {
  test::TempDir dir;
  test::WriteArchive(dir / "a", {{test::TextBlockOf({"x", "y"}), 0},
                                 {test::PayloadWithMagic("\x01\x02\x03\x04"), 0},
                                 {test::TextBlockOf({"z"}), 0, true}});
  TDataList list;
  TNullProgress progress;
  ASSERT_EQ(CreateDataList(list, dir / "a", progress), 3);
  ASSERT_EQ(list.TextDataList.size(), 2u);
  EXPECT_EQ(list.FileInfoList[0].ResInfo.size(), 1u);
  EXPECT_EQ(list.FileInfoList[0].ResInfo[0].DataIndex, 0);
  EXPECT_TRUE(list.FileInfoList[1].ResInfo.empty());
  EXPECT_EQ(list.FileInfoList[2].ResInfo[0].DataIndex, 1);
  EXPECT_EQ(list.TextDataList[1], TTextTable{u"z"});
}

TEST(ResourceListing, TextureGroupsInEveryModeAndLoadInfo) {
  Bytes big = test::TextureGroupOf({test::TextureOf(8, 8, 8, 65536), test::TextureOf(1, 2, 3, 128)});
  test::TempDir dir;
  test::WriteArchive(dir / "a", {{test::TextureGroupOf({test::TextureOf(6, 4, 4, 128)}), 0},
                                 {big, 0, true},
                                 {test::TextureGroupOf({test::TextureOf(1, 1, 1, 16)}), 0xDDDDDDDD}});
  for (bool loadInfo : {true, false}) {
    TDataList list;
    TNullProgress progress;
    ASSERT_EQ(CreateDataList(list, dir / "a", progress, loadInfo), 3);
    ASSERT_EQ(list.TexDataList.size(), 4u);
    EXPECT_EQ(list.FileInfoList[1].ResInfo.size(), 2u);
    EXPECT_EQ(list.FileInfoList[1].ResInfo[1].DataIndex, 2);
    EXPECT_EQ(list.FileInfoList[2].ResInfo[0].DataIndex, 3);
    EXPECT_EQ(list.TexDataList[0].Format, 6u);
    EXPECT_EQ(list.TexDataList[3].Width, 2u);
    if (loadInfo) {
      EXPECT_EQ(list.TexDataList[2].Format, 1u);
      EXPECT_EQ(list.TexDataList[2].Width, 4u);
      EXPECT_EQ(list.TexDataList[2].Height, 8u);
    } else {
      // Only the first chunk was read: the second texture lies beyond it and stays zero.
      EXPECT_EQ(list.TexDataList[2].Format, 0u);
      EXPECT_EQ(list.TexDataList[2].Width, 0u);
    }
  }
}

TEST(ResourceListing, PayloadWhoseCountRulesOutTextIsNotInflatedPastItsFirstChunk) {
  // Two chunks, the second one corrupt: only a payload that may hold text needs (and so meets) it.
  auto corruptSecondChunk = [](uint32_t firstWord) {
    Bytes plain(40000, 0x11);
    PutU32(plain.data(), firstWord);
    Bytes chain = test::ChunkChain(plain);
    const size_t second = 8 + test::U32At(chain, 4) + 4;
    chain[second] ^= 0xFF;  // the zlib header of chunk 2
    return chain;
  };
  test::TempDir dir;
  for (auto [firstWord, fails] : {std::pair{0x80000000u, false}, std::pair{2u, true}}) {
    Bytes payload = corruptSecondChunk(firstWord);
    Bytes archive = test::WriteArchive(dir / "a", {{payload, 0}});
    PutU32(&archive[28], 40000);  // the index's UncompSize: compressed
    test::WriteFileBytes(dir / "a", archive);
    TDataList list;
    TNullProgress progress;
    if (fails) {
      EXPECT_THROW(CreateDataList(list, dir / "a", progress), Error);
    } else {
      EXPECT_EQ(CreateDataList(list, dir / "a", progress), 1);
      EXPECT_EQ(list.FileInfoList[0].FileType, ftUnknown);
    }
  }
}

TEST(ResourceListing, UnknownPayloadWithoutTextAddsNothing) {
  test::TempDir dir;
  test::WriteArchive(dir / "a", {{Bytes(64, 0xFF), 0}, {Bytes(70000, 0xFF), 0, true}});
  TDataList list;
  TNullProgress progress;
  ASSERT_EQ(CreateDataList(list, dir / "a", progress), 2);
  EXPECT_TRUE(list.TextDataList.empty());
  EXPECT_EQ(list.FileInfoList[1].FileType, ftUnknown);
}

}  // namespace
}  // namespace pw

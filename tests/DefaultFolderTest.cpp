// Proves the default folder's name and the scan's name rules for replacement files.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "archive/DefaultFolder.h"
#include "platform/FileSystem.h"

namespace pw {
namespace {

TEST(DefaultFolderOf, Table) {
  const std::pair<std::string, std::string> cases[] = {
      {"/game/data.bin", "/game/data_bin/"},
      {"/game/data", "/game/data_/"},
      {"/ga.me/data", "/ga.me/data_/"},
      {"/game/data.tar.gz", "/game/data.tar_gz/"},
      {"rel.pak", "rel_pak/"},
  };
  for (const auto& [archive, folder] : cases) EXPECT_EQ(DefaultFolderOf(archive), folder) << archive;
}

TEST(StrToIntStrict, Table) {
  const std::pair<const char*, std::optional<int32_t>> cases[] = {
      {"12", 12},         {"0012", 12}, {"+12", 12},       {"-3", -3},
      {"$1F", 31},        {"0x1f", 31}, {"", {}},          {"12a", {}},
      {"1 2", {}},        {"12.0", {}}, {"-", {}},         {"2147483647", 2147483647},
      {"2147483648", {}}, {"0x", {}},   {"$FFFFFFFF", -1},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(StrToIntStrict(text), value) << text;
}

struct FindCase {
  const char* label;
  std::vector<std::string> files;
  int entryNo, resNo;
  std::string expected;  // "" for none
};

TEST(FindReplacementFile, NameRules) {
  const FindCase cases[] = {
      {"entry 1 among 11 and 21", {"11.dds", "21.csv", "1.dds"}, 1, 0, "1.dds"},
      {"name without extension", {"12"}, 12, 0, "12"},
      {"leading zeros", {"0012.dat"}, 12, 0, "0012.dat"},
      {"double extension", {"12.csv.bak"}, 12, 0, ""},
      {"resource", {"12_3.csv"}, 12, 3, "12_3.csv"},
      {"padded resource", {"0012_0003.dds"}, 12, 3, "0012_0003.dds"},
      {"three numbers", {"12_3_1.csv"}, 12, 3, ""},
      {"resource name is not the entry", {"12_3.csv"}, 12, 0, ""},
      {"5_12 is not entry 12", {"5_12.csv"}, 12, 0, ""},
      {"negative", {"-12.csv"}, 12, 0, ""},
      {"hidden file", {".12"}, 12, 0, ""},
      {"hex needs the digits in the name", {"$C.dds"}, 12, 0, ""},
  };
  for (const FindCase& c : cases) {
    test::TempDir dir;
    for (const std::string& f : c.files) test::WriteFileBytes(dir / f, {1});
    const std::string folder = dir.Path() + "/";
    const std::string found = FindReplacementFile(folder, c.entryNo, c.resNo);
    EXPECT_EQ(found, c.expected.empty() ? "" : folder + c.expected) << c.label;
  }
}

TEST(FindReplacementFile, DirectoriesAreSkippedAndMissingFolderFindsNothing) {
  test::TempDir dir;
  ASSERT_TRUE(ForceDirectories(dir / "12.dds"));
  EXPECT_EQ(FindReplacementFile(dir.Path() + "/", 12, 0), "");
  EXPECT_EQ(FindReplacementFile(dir / "missing/", 12, 0), "");
}

TEST(ScanDefaultFolder, FillsResourcesAndEntriesUnlessFindOnlyRes) {
  test::TempDir dir;
  TDataList list;
  list.FileInfoList.resize(12);
  list.FileInfoList[11].ResInfo.resize(3);
  list.FileInfoList[0].ReplacePath = "/old/path";
  list.FileInfoList[11].ResInfo[0].ReplacePath = "/stale";
  for (const char* f : {"12.bin", "12_3.csv", "0001.dat"}) test::WriteFileBytes(dir / f, {1});
  const std::string folder = dir.Path() + "/";
  TNullProgress progress;
  ScanDefaultFolder(list, folder, true, progress);
  EXPECT_EQ(list.FileInfoList[0].ReplacePath, "/old/path") << "entry paths untouched with Find Only Res";
  EXPECT_EQ(list.FileInfoList[11].ResInfo[0].ReplacePath, "") << "an empty result overwrites";
  EXPECT_EQ(list.FileInfoList[11].ResInfo[2].ReplacePath, folder + "12_3.csv");
  ScanDefaultFolder(list, folder, false, progress);
  EXPECT_EQ(list.FileInfoList[0].ReplacePath, folder + "0001.dat");
  EXPECT_EQ(list.FileInfoList[11].ReplacePath, folder + "12.bin");
  EXPECT_EQ(list.FileInfoList[1].ReplacePath, "");
}

}  // namespace
}  // namespace pw

// Proves the data list's cell texts and row rules, shared by the window and the CLI.

#include <gtest/gtest.h>

#include "archive/DataListRows.h"

namespace pw {
namespace {

TEST(CellText, EntryRows) {
  TDataList list;
  list.FileInfoList.resize(4);
  list.FileInfoList[0] = {0x0403AB01, {0x30, 7, 0}, ftUnknown, false, "/r/x.bin", {}};
  list.FileInfoList[1] = {0x47314D5F, {0x100000000LL, 9, 0x1234}, ftUnkMagic, false, "", {}};
  list.FileInfoList[2] = {0x47315447, {6144, 100, 0x43535442}, ftTexture, false, "", {}};
  list.FileInfoList[3] = {0, {0, 0, 0}, ftTextGroup, false, "", {}};
  EXPECT_EQ(EntryCellText(list, 0, colNumber), "1");
  EXPECT_EQ(EntryCellText(list, 0, colType), "Unknown (0x0403AB01)");
  EXPECT_EQ(EntryCellText(list, 0, colOffset), "0x00000030");
  EXPECT_EQ(EntryCellText(list, 0, colSize), "7");
  EXPECT_EQ(EntryCellText(list, 0, colNewResPath), "/r/x.bin");
  EXPECT_EQ(EntryCellText(list, 1, colType), "With ASCI magic (G1M_)");
  EXPECT_EQ(EntryCellText(list, 1, colOffset), "0x100000000");
  EXPECT_EQ(EntryCellText(list, 1, colSize), "4660") << "compressed: UncompSize";
  EXPECT_EQ(EntryCellText(list, 2, colType), "Texture");
  EXPECT_EQ(EntryCellText(list, 2, colSize), "100") << "BTSC is stored: Size";
  EXPECT_EQ(EntryCellText(list, 3, colType), "Text Goup");
}

TEST(CellText, ResourceRows) {
  TDataList list;
  list.TextDataList = {{u"a", u"b", u"c"}};
  list.TexDataList = {{0, 8, 16, 32}, {0, 2, 1, 1}};
  list.FileInfoList.resize(2);
  list.FileInfoList[0].FileType = ftText;
  list.FileInfoList[0].ResInfo = {{false, 0, "/p.csv"}};
  list.FileInfoList[1].FileType = ftTexture;
  list.FileInfoList[1].ResInfo = {{false, 0, ""}, {false, 1, ""}};
  EXPECT_EQ(ResourceCellText(list, 0, 0, colNumber), "1");
  EXPECT_EQ(ResourceCellText(list, 0, 0, colType), "");
  EXPECT_EQ(ResourceCellText(list, 0, 0, colSize), "3");
  EXPECT_EQ(ResourceCellText(list, 0, 0, colNewResPath), "/p.csv");
  EXPECT_EQ(ResourceCellText(list, 1, 0, colType), "DXT5");
  EXPECT_EQ(ResourceCellText(list, 1, 0, colSize), "16x32");
  EXPECT_EQ(ResourceCellText(list, 1, 1, colType), "Unknown");
  EXPECT_EQ(ResourceCellText(list, 1, 1, colOffset), "");
}

TEST(ViewFilter, Table) {
  const TFileType all[] = {ftUnknown, ftUnkMagic, ftBlockData, ftText, ftTextGroup, ftTexture};
  struct Case {
    TViewFilter filter;
    std::vector<bool> shown;  // in the order of `all`
  } cases[] = {
      {{false, false, false}, {true, true, true, true, true, true}},
      {{true, false, false}, {false, false, false, true, true, false}},
      {{false, true, false}, {false, false, false, false, false, true}},
      {{false, false, true}, {false, false, true, false, false, false}},
      {{true, true, true}, {false, false, true, true, true, true}},
  };
  for (const Case& c : cases)
    for (size_t t = 0; t < 6; ++t) EXPECT_EQ(c.filter.ShowsEntry(all[t]), c.shown[t]) << t;
}

TEST(ResourceRows, BlockDataShowsOnlyNonEmptyTables) {
  TDataList list;
  list.TextDataList = {{}, {u"x"}, {}};
  TFileInfo empty{0, {}, ftBlockData, false, "", {{false, 0, ""}, {false, 2, ""}}};
  TFileInfo mixed{0, {}, ftBlockData, false, "", {{false, 0, ""}, {false, 1, ""}}};
  TFileInfo text{0, {}, ftText, false, "", {{false, 0, ""}}};
  EXPECT_EQ(ResourceRowCount(list, empty), 0u);
  EXPECT_EQ(ResourceRowCount(list, mixed), 2u);
  EXPECT_FALSE(ShowsResourceRow(list, mixed, 0));
  EXPECT_TRUE(ShowsResourceRow(list, mixed, 1));
  EXPECT_EQ(ResourceRowCount(list, text), 1u) << "other types keep their empty tables";
  EXPECT_TRUE(ShowsResourceRow(list, text, 0));
}

}  // namespace
}  // namespace pw

namespace pw {
namespace {

TEST(CheckCommands, FilterDecidesWhatIsShownAndHiddenRowsAreUnchecked) {
  TDataList list;
  list.TextDataList = {{u"a"}, {}, {u"b"}};
  list.FileInfoList = {
      {0, {}, ftText, false, "", {{false, 0, ""}}},
      {0, {}, ftBlockData, true, "", {{true, 1, ""}, {false, 2, ""}}},
      {0, {}, ftTexture, true, "", {{true, 0, ""}}},
      {0, {}, ftUnknown, false, "", {}},
  };
  auto marks = [&] {
    std::string s;
    for (const TFileInfo& e : list.FileInfoList) {
      s += e.Checked ? 'X' : '.';
      for (const TResInfo& r : e.ResInfo) s += r.Checked ? 'x' : '_';
      s += ' ';
    }
    return s;
  };
  ApplyCheckCommand(list, {true, false, false}, TCheckCommand::CheckAll);
  EXPECT_EQ(marks(), "Xx .__ ._ . ") << "Text alone: text entries and their resources";
  ApplyCheckCommand(list, {}, TCheckCommand::InvertCheck);
  EXPECT_EQ(marks(), "._ X_x Xx X ") << "no filter: every row swapped; the empty block-data table has no row";
  ApplyCheckCommand(list, {}, TCheckCommand::UncheckAll);
  EXPECT_EQ(marks(), "._ .__ ._ . ");
}

}  // namespace
}  // namespace pw

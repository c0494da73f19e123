// Proves the CSV table: the parsing and quoting dialect, ragged rows and ColCount, the list errors, byte
// cells, notifications, capacity growth, and loading/saving with byte-order marks and the delimiter rule.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "csv/CsvStrings.h"
#include "platform/Error.h"

namespace pw {
namespace {

using Rows = std::vector<std::vector<std::u16string>>;
using test::Bytes;

TTextLocale CommaLocale() {
  TTextLocale l;
  l.ListSeparator = u',';
  return l;
}

Rows RowsOf(const TCsvStrings& t) {
  Rows rows;
  for (int32_t r = 0; r < t.RowCount(); ++r) {
    std::vector<std::u16string> row;
    // Cells up to ColCount; trailing empties beyond a row's own length read as "".
    for (int32_t c = 0; c < t.ColCount(); ++c) row.push_back(t.GetCell(r, c));
    rows.push_back(row);
  }
  return rows;
}

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const Error& e) {
    return e.what();
  }
  return "";
}

struct ParseCase {
  const char* label;
  std::u16string text;
  Rows rows;
};

TEST(CsvParse, SamplesWithCommaDelimiter) {
  const ParseCase cases[] = {
      {"empty", u"", {}},
      {"CR LF", u"\r\n", {{u""}}},
      {"a CR LF", u"a\r\n", {{u"a"}}},
      {"blank line", u"a,b\r\n\r\nc", {{u"a", u"b"}, {u"", u""}, {u"c", u""}}},
      {"trailing comma", u"a,", {{u"a", u""}}},
      {"trailing comma then row", u"a,\r\nb", {{u"a", u""}, {u"b", u""}}},
      {"quoted delimiter", u"\"x,y\"", {{u"x,y"}}},
      {"doubled quotes", u"\"say \"\"hi\"\"\"", {{u"say \"hi\""}}},
      {"text after closing quote", u"\"ab\"c", {{u"abc"}}},
      {"open quote runs to the end", u"\"open\r\nmore,x\r\n", {{u"open\r\nmore,x\r\n"}}},
      {"quote inside bare cell", u"ab\"c", {{u"ab\"c"}}},
      {"lone CR and LF end rows", u"a\rb\nc", {{u"a"}, {u"b"}, {u"c"}}},
      {"blanks kept", u" a , b ", {{u" a ", u" b "}}},
      {"NUL ends the text", std::u16string(u"a\r\nb\0\r\nc", 8), {{u"a"}, {u"b"}}},
  };
  for (const ParseCase& c : cases) {
    TCsvStrings t(CommaLocale());
    t.SetText(c.text);
    EXPECT_EQ(RowsOf(t), c.rows) << c.label;
  }
}

TEST(CsvParse, ColCountIsTheWidestRow) {
  TCsvStrings t(CommaLocale());
  t.SetText(u"a,b\r\n\r\nc");
  EXPECT_EQ(t.ColCount(), 2);
  EXPECT_EQ(t.RowCount(), 3);
}

TEST(CsvSave, NoEncodingWritesUtf16WithTabsAndPadsRows) {
  TCsvStrings t(CommaLocale());
  t.SetText(u"a,b\r\n\r\nc");
  TMemoryStream out;
  t.SaveToStream(out, std::nullopt);
  Bytes expected = {0xFF, 0xFE};
  Bytes text = EncodeUtf16(u"a\tb\r\n\t\r\nc\t", false);
  expected.insert(expected.end(), text.begin(), text.end());
  EXPECT_EQ(out.Bytes(), expected);
  EXPECT_EQ(t.Delimiter(), u',') << "the delimiter is restored after the save";
}

TEST(CsvSave, QuotingWithTab) {
  struct Case {
    std::u16string cell, written;
  } cases[] = {
      {u"say \"hi\"", u"\"say \"\"hi\"\"\""},
      {u"a\tb", u"\"a\tb\""},
      {u"a\rb", u"\"a\rb\""},
      {u"a\nb", u"\"a\nb\""},
      {u"a,b", u"a,b"},
      {u" x ", u" x "},
      {u"", u""},
  };
  for (const Case& c : cases) {
    TCsvStrings t(CommaLocale());
    t.AddRow(c.cell);
    TMemoryStream out;
    t.SaveToStream(out, std::nullopt);
    EXPECT_EQ(DecodeUtf16(out.Bytes().data() + 2, out.Bytes().size() - 2, false), c.written);
  }
}

TEST(CsvSave, LastRowWithOneEmptyCellIsLostOnReload) {
  TCsvStrings t(CommaLocale());
  t.AddRow(u"a");
  t.AddRow(u"");
  EXPECT_EQ(t.Text(), u"a\r\n");
  TCsvStrings back(CommaLocale());
  back.SetText(t.Text());
  EXPECT_EQ(back.RowCount(), 1);
}

TEST(CsvFile, SavedTableReadsBackCellForCell) {
  test::TempDir dir;
  const std::vector<std::u16string> strings = {
      u"plain",          u"",      u"tab\there",           u"quote \"q\"",      u"line\r\nbreak", u"lone\nLF",
      u"Ünïcödé 日本 😀", u"a;b,c", u"\"starts with quote", u"ends with quote\""};
  TCsvStrings t(CommaLocale());
  for (const auto& s : strings) t.AddRow(s);
  t.SaveToFile(dir / "t.csv");
  TCsvStrings back(CommaLocale());
  back.LoadFromFile(dir / "t.csv");
  EXPECT_EQ(back.Delimiter(), u'\t');
  EXPECT_EQ(back.Encoding(), TCsvEncoding::Utf16LE);
  ASSERT_EQ(back.RowCount(), static_cast<int32_t>(strings.size()));
  for (size_t i = 0; i < strings.size(); ++i) EXPECT_EQ(back.GetCell(static_cast<int32_t>(i), 0), strings[i]);
}

struct LoadCase {
  const char* label;
  Bytes bytes;
  TTextLocale locale;
  TCsvEncoding encoding;
  char16_t delimiter;
  Rows rows;
};

TEST(CsvFile, EncodingDetectionAndDelimiterRule) {
  TTextLocale semicolon1252;
  semicolon1252.ListSeparator = u';';
  TTextLocale utf8Locale;
  utf8Locale.AnsiIsMultiByte = true;
  Bytes utf16be = {0xFE, 0xFF, 0, 'a', 0, '\t', 0, 'b'};
  const LoadCase cases[] = {
      {"UTF-8 mark",
       {0xEF, 0xBB, 0xBF, 'a', '\t', 0xC3, 0xA9},
       semicolon1252,
       TCsvEncoding::Utf8,
       u'\t',
       {{u"a", u"é"}}},
      {"UTF-8 with stray FF", {0xEF, 0xBB, 0xBF, 'a', 0xFF}, semicolon1252, TCsvEncoding::Utf8, u'\t', {}},
      {"UTF-16 BE", utf16be, semicolon1252, TCsvEncoding::Utf16BE, u'\t', {{u"a", u"b"}}},
      {"no mark, single-byte",
       {'a', ';', 'b', '\t', 'c', 0xE9},
       semicolon1252,
       TCsvEncoding::Ansi,
       u';',
       {{u"a", u"b\tcé"}}},
      {"no mark, UTF-8 locale",
       {'a', '\t', 'b', ';', 0xC3, 0xA9},
       utf8Locale,
       TCsvEncoding::Ansi,
       u'\t',
       {{u"a", u"b;é"}}},
  };
  test::TempDir dir;
  for (const LoadCase& c : cases) {
    test::WriteFileBytes(dir / "f.csv", c.bytes);
    TCsvStrings t(c.locale);
    t.LoadFromFile(dir / "f.csv");
    EXPECT_EQ(t.Encoding(), c.encoding) << c.label;
    EXPECT_EQ(t.Delimiter(), c.delimiter) << c.label;
    EXPECT_EQ(RowsOf(t), c.rows) << c.label;
  }
}

TEST(CsvFile, MissingFileRaisesAndLeavesTheTable) {
  TCsvStrings t(CommaLocale());
  t.AddRow(u"kept");
  EXPECT_THROW(t.LoadFromFile("/nonexistent/x.csv"), Error);
  EXPECT_EQ(t.GetCell(0, 0), u"kept");
}

TEST(CsvCells, ListErrorsCarryTheOffendingIndex) {
  TCsvStrings t(CommaLocale());
  EXPECT_EQ(ErrorOf([&] { t.AddCell(u"x"); }), "List index out of bounds (-1)");
  t.AddRow();
  t.AddCell(u"x");
  EXPECT_EQ(RowsOf(t), (Rows{{u"x"}}));
  EXPECT_EQ(ErrorOf([&] { t.PutCell(0, 1, u"q"); }), "List index out of bounds (1)");
  EXPECT_EQ(ErrorOf([&] { t.GetCell(1, 0); }), "List index out of bounds (1)");
  EXPECT_EQ(ErrorOf([&] { t.Delete(-1); }), "List index out of bounds (-1)");
  EXPECT_EQ(ErrorOf([&] { t.Insert(3, u"y"); }), "List index out of bounds (3)");
  EXPECT_EQ(ErrorOf([&] { t.SetCapacity(0); }), "List capacity out of bounds (0)");
  int32_t col = 0;
  EXPECT_EQ(ErrorOf([&] { t.InsertCell(5, col, u"z"); }), "List index out of bounds (5)");
}

TEST(CsvCells, InsertCellPadsAndWidens) {
  TCsvStrings t(CommaLocale());
  t.AddRow(u"a");
  int32_t col = 3;
  t.InsertCell(0, col, u"z");
  EXPECT_EQ(col, 3);
  EXPECT_EQ(t.ColCount(), 4);
  EXPECT_EQ(RowsOf(t), (Rows{{u"a", u"", u"", u"z"}}));

  TCsvStrings u(CommaLocale());
  u.AddRow(u"a");
  col = -1;
  u.InsertCell(0, col, u"z");
  EXPECT_EQ(col, 1);
  EXPECT_EQ(RowsOf(u), (Rows{{u"a", u"z"}}));
}

TEST(CsvCells, ClearAfterDeletingAllRowsKeepsColCount) {
  TCsvStrings t(CommaLocale());
  t.SetText(u"a,b,c");
  t.Delete(0);
  t.Clear();
  EXPECT_EQ(t.ColCount(), 3);
  t.AddRow(u"x");
  EXPECT_EQ(t.Strings(0), u"x,,");
  t.Clear();
  EXPECT_EQ(t.ColCount(), 0);
  EXPECT_EQ(t.Capacity(), 0);
}

TEST(CsvCells, ByteCells) {
  TCsvStrings t(CommaLocale());
  t.AddRow();
  t.AddCell(Bytes{0x0A, 0xFF});
  EXPECT_EQ(t.GetCell(0, 0), u"0x0AFF");
  EXPECT_EQ(t.GetBytes(0, 0), (Bytes{0x0A, 0xFF}));
  const std::pair<std::u16string, Bytes> cases[] = {
      {u"0x0AF", {0x0A}}, {u"0x0", {}}, {u"0X0A", {}}, {u"0x0G", {}}, {u"0xab", {0xAB}}};
  for (const auto& [cell, bytes] : cases) {
    t.SetStrings(0, cell);
    EXPECT_EQ(t.GetBytes(0, 0), bytes);
  }
}

TEST(CsvCells, ColumnOfAndRowOfIgnoreCase) {
  TCsvStrings t(CommaLocale());
  t.SetText(u"Alpha,Ärger\r\nbeta,x");
  EXPECT_EQ(t.ColumnOf(0, u"ärger"), 1);
  EXPECT_EQ(t.RowOf(0, u"BETA"), 1);
  EXPECT_EQ(t.RowOf(1, u"nope"), -1);
}

TEST(CsvCells, NotificationsOutsideUpdateBracketOnly) {
  TCsvStrings t(CommaLocale());
  int changing = 0, changed = 0;
  t.SetOnChanging([&](TCsvStrings&) { ++changing; });
  t.SetOnChange([&](TCsvStrings&) { ++changed; });
  t.AddRow();
  EXPECT_EQ(changing, 1);
  EXPECT_EQ(changed, 1);
  t.SetText(u"a,b\r\nc");  // parsing runs inside a bracket
  EXPECT_EQ(changed, 1);
  t.BeginUpdate();
  t.AddRow();
  t.EndUpdate();
  EXPECT_EQ(changed, 1);
  t.Delete(0);
  EXPECT_EQ(changed, 2);
}

TEST(CsvCells, CapacityGrowsBy4Then16ThenAQuarter) {
  TCsvStrings t(CommaLocale());
  std::vector<int32_t> seen;
  for (int i = 0; i < 120; ++i) {
    t.AddRow();
    if (seen.empty() || seen.back() != t.Capacity()) seen.push_back(t.Capacity());
  }
  EXPECT_EQ(seen, (std::vector<int32_t>{4, 8, 12, 28, 44, 60, 76, 95, 118, 147}));
}

}  // namespace
}  // namespace pw

#pragma once
// TCsvStrings: a ragged table of text cells that reads and writes the program's CSV dialect.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Stream.h"
#include "platform/TextCodec.h"

namespace pw {

// A cell position; Col -1 stands for the end of the row, or for no cell.
struct TCellCoord {
  int32_t Row = 0;
  int32_t Col = 0;
};

// The rows of a table: each row is its list of cells.
using TCsvRow = std::vector<std::u16string>;
using TCsvCells = std::vector<TCsvRow>;

// Text encodings a table loads and saves.
enum class TCsvEncoding { Ansi, Utf8, Utf16LE, Utf16BE };

// A table of text cells in rows, with the string-list view of one line per row.
// Errors are pw::Error with "List index out of bounds (%d)" or "List capacity out of bounds (%d)".
class TCsvStrings {
 public:
  using TNotifyEvent = std::function<void(TCsvStrings& sender)>;

  // An empty table; the delimiter is the locale's list separator, the default encoding its code page.
  explicit TCsvStrings(const TTextLocale& locale = SystemTextLocale());
  // Clears the handlers first, so destruction sends no notification.
  virtual ~TCsvStrings();

  // ---- settings ----
  const std::u16string& BytesPrefix() const { return FBytesPrefix; }
  void SetBytesPrefix(const std::u16string& value) { FBytesPrefix = value; }
  char16_t Delimiter() const { return FDelimiter; }
  void SetDelimiter(char16_t value) { FDelimiter = value; }
  char16_t QuoteChar() const { return FQuoteChar; }
  void SetQuoteChar(char16_t value) { FQuoteChar = value; }
  const std::u16string& LineBreak() const { return FLineBreak; }
  void SetLineBreak(const std::u16string& value) { FLineBreak = value; }
  // The encoding found by the last load; none for a table never loaded.
  std::optional<TCsvEncoding> Encoding() const { return FEncoding; }
  void SetEncoding(std::optional<TCsvEncoding> value) { FEncoding = value; }
  TCsvEncoding DefaultEncoding() const { return FDefaultEncoding; }
  void SetDefaultEncoding(TCsvEncoding value) { FDefaultEncoding = value; }
  bool WriteBOM() const { return FWriteBOM; }
  void SetWriteBOM(bool value) { FWriteBOM = value; }
  void SetOnChange(TNotifyEvent handler) { FOnChange = std::move(handler); }
  void SetOnChanging(TNotifyEvent handler) { FOnChanging = std::move(handler); }

  // ---- size ----
  int32_t RowCount() const { return FRowCount; }
  int32_t Count() const { return FRowCount; }
  // The largest number of cells any row has had since creation or the last effective Clear.
  int32_t ColCount() const { return FColCount; }
  int32_t Capacity() const { return FCapacity; }
  // Resizes the row storage; a value below RowCount raises "List capacity out of bounds (%d)".
  void SetCapacity(int32_t value);

  // ---- cells and rows ----
  // Appends an empty row; returns (its index, -1).
  TCellCoord AddRow();
  // Appends a row holding value as its only cell; returns (its index, 0).
  TCellCoord AddRow(const std::u16string& value);
  // Appends value as a new last cell of the last row.
  TCellCoord AddCell(const std::u16string& value);
  // Appends value as a new last cell of row; returns (row, -1).
  TCellCoord Add(int32_t row, const std::u16string& value);
  // Appends a byte cell ("0x" + two upper-case hex digits per byte) to the last row.
  TCellCoord AddCell(const std::vector<uint8_t>& bytes);
  // Appends a byte cell to row; returns (row, -1).
  TCellCoord Add(int32_t row, const std::vector<uint8_t>& bytes);
  // Inserts value at col of row (col < 0: append; past the end: padded with empty cells); col gets the column
  // used.
  void InsertCell(int32_t row, int32_t& col, const std::u16string& value);
  // Inserts an empty row before row (row = RowCount appends); the caller keeps row in 0 .. RowCount.
  void InsertRow(int32_t row);
  // The cell, or "" when col is negative or past the row's end; row out of range raises.
  std::u16string GetCell(int32_t row, int32_t col) const;
  // Sets a cell within 0 .. ColCount - 1, padding the row; never widens the table.
  void PutCell(int32_t row, int32_t col, const std::u16string& value);
  // Removes row; ColCount is unchanged.
  void Delete(int32_t row);
  // Removes every row, resets ColCount and releases storage; a table without rows is left unchanged.
  void Clear();
  // The first column of row whose cell equals s ignoring case, or -1.
  int32_t ColumnOf(int32_t row, const std::u16string& s) const;
  // The first row whose cell at col equals s ignoring case, or -1.
  int32_t RowOf(int32_t col, const std::u16string& s) const;
  // The bytes of a byte cell; empty when the cell is not one.
  std::vector<uint8_t> GetBytes(int32_t row, int32_t col) const;

  // ---- string-list view ----
  // The row text of row index (its cells quoted and joined with the delimiter).
  std::u16string Strings(int32_t index) const;
  // PutCell(index, 0, value).
  void SetStrings(int32_t index, const std::u16string& value) { PutCell(index, 0, value); }
  // Inserts a row before index holding s as its only cell; index outside 0 .. RowCount raises.
  void Insert(int32_t index, const std::u16string& s);
  // Insert(RowCount, s).
  void Add(const std::u16string& s) { Insert(FRowCount, s); }
  // The row texts joined with LineBreak, without a final line break.
  std::u16string Text() const;
  // Replaces the whole table by parsing text.
  void SetText(const std::u16string& text);
  void SetDelimitedText(const std::u16string& text) { SetText(text); }
  // Loads a file: byte-order mark detection, the delimiter rule, strict UTF-8, then parsing.
  void LoadFromFile(const std::string& fileName);
  // Creates or empties the file and saves the table with its Encoding.
  void SaveToFile(const std::string& fileName);
  // Writes the table's text; no encoding means UTF-16 LE with TAB as the delimiter for this save.
  void SaveToStream(TStream& stream, std::optional<TCsvEncoding> encoding);

  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate() { --FUpdateCount; }

 protected:
  // Called before each change; calls OnChanging outside an update bracket.
  virtual void Changing();
  // Called after each change; calls OnChange outside an update bracket.
  virtual void Changed();

 private:
  void CheckRow(int32_t row) const;
  void Grow();
  std::u16string QuoteCell(const std::u16string& cell) const;
  void Parse(std::u16string text);

  TTextLocale FLocale;
  std::u16string FBytesPrefix = u"0x";
  int32_t FCapacity = 0;
  TCsvCells FCells;
  int32_t FColCount = 0;
  int32_t FRowCount = 0;
  TNotifyEvent FOnChange;
  TNotifyEvent FOnChanging;
  char16_t FDelimiter;
  char16_t FQuoteChar = u'"';
  std::u16string FLineBreak = u"\r\n";
  std::optional<TCsvEncoding> FEncoding;
  TCsvEncoding FDefaultEncoding = TCsvEncoding::Ansi;
  bool FWriteBOM = true;
  int FUpdateCount = 0;
};

}  // namespace pw

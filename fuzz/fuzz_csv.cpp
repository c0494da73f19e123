// Fuzzes CSV parsing and writing: arbitrary text (as UTF-16 code units) is parsed, written with TAB and
// parsed again; the second parse must give the same cells as the first wherever no U+0000 is involved.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "csv/CsvStrings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  pw::TTextLocale locale;
  pw::TCsvStrings table(locale);
  std::u16string text = pw::DecodeUtf16(data, size, false);
  table.SetText(text);
  if (text.find(u'\0') != std::u16string::npos) return 0;
  table.SetDelimiter(u'\t');
  pw::TCsvStrings again(locale);
  again.SetDelimiter(u'\t');
  again.SetText(table.Text());
  // A last row that is one empty cell is not written back (no line break ends the text): compare the rest.
  int32_t rows = table.RowCount();
  if (rows > 0 && table.ColCount() == 1 && table.GetCell(rows - 1, 0).empty()) --rows;
  if (again.RowCount() < rows) std::abort();
  for (int32_t r = 0; r < rows; ++r)
    for (int32_t c = 0; c < table.ColCount(); ++c)
      if (table.GetCell(r, c) != again.GetCell(r, c)) std::abort();
  return 0;
}

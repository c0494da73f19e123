#include "csv/CsvStrings.h"

#include <locale.h>
#include <wctype.h>

#include <algorithm>

#include "platform/Error.h"

namespace pw {

namespace {

[[noreturn]] void ListIndexError(int32_t index) {
  throw Error("List index out of bounds (" + std::to_string(index) + ")");
}

bool EqualsIgnoringCase(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return false;
  static const locale_t unicode = [] {
    locale_t loc = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    return loc ? loc : newlocale(LC_CTYPE_MASK, "C", nullptr);
  }();
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && towlower_l(a[i], unicode) != towlower_l(b[i], unicode)) return false;
  }
  return true;
}

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

bool IsSingleByte(TCsvEncoding encoding, const TTextLocale& locale) {
  return encoding == TCsvEncoding::Ansi && !locale.AnsiIsMultiByte;
}

}  // namespace

TCsvStrings::TCsvStrings(const TTextLocale& locale) : FLocale(locale), FDelimiter(locale.ListSeparator) {}

TCsvStrings::~TCsvStrings() {
  FOnChange = nullptr;
  FOnChanging = nullptr;
}

void TCsvStrings::Changing() {
  if (FUpdateCount == 0 && FOnChanging) FOnChanging(*this);
}

void TCsvStrings::Changed() {
  if (FUpdateCount == 0 && FOnChange) FOnChange(*this);
}

void TCsvStrings::CheckRow(int32_t row) const {
  if (row < 0 || row >= FRowCount) ListIndexError(row);
}

void TCsvStrings::SetCapacity(int32_t value) {
  if (value < FRowCount) throw Error("List capacity out of bounds (" + std::to_string(value) + ")");
  FCells.resize(static_cast<size_t>(value));
  FCells.shrink_to_fit();
  FCapacity = value;
}

void TCsvStrings::Grow() {
  int32_t delta = FCapacity > 64 ? FCapacity / 4 : FCapacity > 8 ? 16 : 4;
  SetCapacity(FCapacity + delta);
}

TCellCoord TCsvStrings::AddRow() {
  InsertRow(FRowCount);
  return {FRowCount - 1, -1};
}

TCellCoord TCsvStrings::AddRow(const std::u16string& value) {
  Insert(FRowCount, value);
  return {FRowCount - 1, 0};
}

TCellCoord TCsvStrings::AddCell(const std::u16string& value) {
  return Add(FRowCount - 1, value);
}

TCellCoord TCsvStrings::Add(int32_t row, const std::u16string& value) {
  int32_t col = -1;
  InsertCell(row, col, value);
  return {row, -1};
}

TCellCoord TCsvStrings::AddCell(const std::vector<uint8_t>& bytes) {
  return Add(FRowCount - 1, bytes);
}

TCellCoord TCsvStrings::Add(int32_t row, const std::vector<uint8_t>& bytes) {
  static const char16_t digits[] = u"0123456789ABCDEF";
  std::u16string cell;
  if (!bytes.empty()) {
    cell = FBytesPrefix;
    for (uint8_t b : bytes) {
      cell.push_back(digits[b >> 4]);
      cell.push_back(digits[b & 15]);
    }
  }
  return Add(row, cell);
}

void TCsvStrings::InsertCell(int32_t row, int32_t& col, const std::u16string& value) {
  CheckRow(row);
  Changing();
  TCsvRow& cells = FCells[static_cast<size_t>(row)];
  int32_t n = static_cast<int32_t>(cells.size());
  if (col < 0) col = n;
  if (col > n) cells.resize(static_cast<size_t>(col));
  cells.insert(cells.begin() + col, value);
  FColCount = std::max(FColCount, static_cast<int32_t>(cells.size()));
  Changed();
}

void TCsvStrings::InsertRow(int32_t row) {
  Changing();
  if (FRowCount == FCapacity) Grow();
  // Rows move by reference: the slot past the last row is rotated into place.
  std::rotate(FCells.begin() + row, FCells.begin() + FRowCount, FCells.begin() + FRowCount + 1);
  FCells[static_cast<size_t>(row)].clear();
  ++FRowCount;
  Changed();
}

std::u16string TCsvStrings::GetCell(int32_t row, int32_t col) const {
  CheckRow(row);
  const TCsvRow& cells = FCells[static_cast<size_t>(row)];
  if (col < 0 || col >= static_cast<int32_t>(cells.size())) return {};
  return cells[static_cast<size_t>(col)];
}

void TCsvStrings::PutCell(int32_t row, int32_t col, const std::u16string& value) {
  CheckRow(row);
  if (col < 0 || col >= FColCount) ListIndexError(col);
  Changing();
  TCsvRow& cells = FCells[static_cast<size_t>(row)];
  if (col >= static_cast<int32_t>(cells.size())) cells.resize(static_cast<size_t>(col) + 1);
  cells[static_cast<size_t>(col)] = value;
  Changed();
}

void TCsvStrings::Delete(int32_t row) {
  CheckRow(row);
  Changing();
  FCells[static_cast<size_t>(row)].clear();
  std::rotate(FCells.begin() + row, FCells.begin() + row + 1, FCells.begin() + FRowCount);
  --FRowCount;
  Changed();
}

void TCsvStrings::Clear() {
  if (FRowCount == 0) return;
  Changing();
  FCells.clear();
  FCells.shrink_to_fit();
  FRowCount = 0;
  FCapacity = 0;
  FColCount = 0;
  Changed();
}

int32_t TCsvStrings::ColumnOf(int32_t row, const std::u16string& s) const {
  for (int32_t c = 0; c < FColCount; ++c)
    if (EqualsIgnoringCase(GetCell(row, c), s)) return c;
  return -1;
}

int32_t TCsvStrings::RowOf(int32_t col, const std::u16string& s) const {
  for (int32_t r = 0; r < FRowCount; ++r)
    if (EqualsIgnoringCase(GetCell(r, col), s)) return r;
  return -1;
}

std::vector<uint8_t> TCsvStrings::GetBytes(int32_t row, int32_t col) const {
  std::u16string cell = GetCell(row, col);
  size_t prefix = FBytesPrefix.size();
  if (cell.size() <= prefix + 1 || cell.compare(0, prefix, FBytesPrefix) != 0) return {};
  size_t n = (cell.size() - prefix) / 2;
  std::vector<uint8_t> bytes(n);
  for (size_t i = 0; i < n; ++i) {
    int hi = HexValue(cell[prefix + 2 * i]), lo = HexValue(cell[prefix + 2 * i + 1]);
    if (hi < 0 || lo < 0) return {};
    bytes[i] = static_cast<uint8_t>(hi << 4 | lo);
  }
  return bytes;
}

// ---- text ----

std::u16string TCsvStrings::QuoteCell(const std::u16string& cell) const {
  bool needsQuotes = false;
  std::u16string out;
  out.reserve(cell.size() + 2);
  for (char16_t c : cell) {
    if (c == FDelimiter || c == FQuoteChar || c == u'\r' || c == u'\n') needsQuotes = true;
    if (c == FQuoteChar) out.push_back(c);
    out.push_back(c);
  }
  return needsQuotes ? FQuoteChar + out + FQuoteChar : out;
}

std::u16string TCsvStrings::Strings(int32_t index) const {
  CheckRow(index);
  std::u16string line;
  for (int32_t c = 0; c < FColCount; ++c) {
    if (c > 0) line.push_back(FDelimiter);
    line += QuoteCell(GetCell(index, c));
  }
  return line;
}

void TCsvStrings::Insert(int32_t index, const std::u16string& s) {
  if (index < 0 || index > FRowCount) ListIndexError(index);
  InsertRow(index);
  int32_t col = 0;
  InsertCell(index, col, s);
}

std::u16string TCsvStrings::Text() const {
  std::u16string text;
  for (int32_t r = 0; r < FRowCount; ++r) {
    if (r > 0) text += FLineBreak;
    text += Strings(r);
  }
  return text;
}

void TCsvStrings::SetText(const std::u16string& text) {
  Parse(text);
}

void TCsvStrings::Parse(std::u16string text) {
  BeginUpdate();
  struct Closer {
    TCsvStrings* self;
    ~Closer() { self->EndUpdate(); }
  } closer{this};
  Clear();
  // The text ends at its first U+0000, as a zero-terminated string would.
  size_t nul = text.find(u'\0');
  if (nul != std::u16string::npos) text.resize(nul);
  if (text.empty()) return;
  AddRow();
  const size_t end = text.size();
  size_t p = 0;
  while (p < end) {
    std::u16string cell;
    if (text[p] == FQuoteChar) {
      ++p;
      while (p < end) {
        if (text[p] == FQuoteChar) {
          if (p + 1 < end && text[p + 1] == FQuoteChar) {
            cell.push_back(FQuoteChar);
            p += 2;
            continue;
          }
          ++p;  // the closing quote
          break;
        }
        cell.push_back(text[p++]);
      }
    }
    size_t bare = p;
    while (p < end && text[p] != FDelimiter && text[p] != u'\r' && text[p] != u'\n') ++p;
    cell.append(text, bare, p - bare);
    AddCell(cell);
    if (p < end && text[p] == FDelimiter) {
      ++p;
      if (p == end) AddCell(std::u16string());
    } else {
      if (p < end && text[p] == u'\r') ++p;
      if (p < end && text[p] == u'\n') ++p;
      if (p < end) AddRow();
    }
  }
}

// ---- files ----

void TCsvStrings::LoadFromFile(const std::string& fileName) {
  std::vector<uint8_t> bytes = LoadFile(fileName);
  const uint8_t* data = bytes.data();
  size_t size = bytes.size();
  TCsvEncoding encoding = FDefaultEncoding;
  if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
    encoding = TCsvEncoding::Utf8, data += 3, size -= 3;
  } else if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
    encoding = TCsvEncoding::Utf16LE, data += 2, size -= 2;
  } else if (size >= 2 && data[0] == 0xFE && data[1] == 0xFF) {
    encoding = TCsvEncoding::Utf16BE, data += 2, size -= 2;
  }
  std::u16string text;
  switch (encoding) {
    case TCsvEncoding::Utf8:
      if (!DecodeUtf8Strict(data, size, text)) text.clear();
      break;
    case TCsvEncoding::Utf16LE:
    case TCsvEncoding::Utf16BE:
      text = DecodeUtf16(data, size, encoding == TCsvEncoding::Utf16BE);
      break;
    case TCsvEncoding::Ansi:
      text = DecodeAnsi(FLocale, data, size);
      break;
  }
  FEncoding = encoding;
  FDelimiter = IsSingleByte(encoding, FLocale) ? FLocale.ListSeparator : u'\t';
  Parse(std::move(text));
}

void TCsvStrings::SaveToStream(TStream& stream, std::optional<TCsvEncoding> encoding) {
  char16_t savedDelimiter = FDelimiter;
  if (!encoding) {
    encoding = TCsvEncoding::Utf16LE;
    FDelimiter = u'\t';
  }
  struct Restore {
    TCsvStrings* self;
    char16_t delimiter;
    ~Restore() { self->FDelimiter = delimiter; }
  } restore{this, savedDelimiter};
  std::u16string text = Text();
  std::vector<uint8_t> bytes;
  std::vector<uint8_t> mark;
  switch (*encoding) {
    case TCsvEncoding::Utf16LE:
      bytes = EncodeUtf16(text, false), mark = {0xFF, 0xFE};
      break;
    case TCsvEncoding::Utf16BE:
      bytes = EncodeUtf16(text, true), mark = {0xFE, 0xFF};
      break;
    case TCsvEncoding::Utf8: {
      std::string utf8 = EncodeUtf8(text);
      bytes.assign(utf8.begin(), utf8.end());
      mark = {0xEF, 0xBB, 0xBF};
      break;
    }
    case TCsvEncoding::Ansi:
      bytes = EncodeAnsi(FLocale, text);
      break;
  }
  if (FWriteBOM) stream.Write(mark.data(), mark.size());
  stream.Write(bytes.data(), bytes.size());
}

void TCsvStrings::SaveToFile(const std::string& fileName) {
  TReplacingFile file(fileName);
  SaveToStream(file.Stream(), FEncoding);
  file.Commit();
}

}  // namespace pw

#include "formats/TextBlock.h"

#include <vector>

#include "csv/CsvStrings.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"

namespace pw {

namespace {

bool ReadRecords(TStream& stream, uint32_t count, std::vector<TBlockInfo>& records) {
  // The count is untrusted: the records must be there before anything is allocated for them.
  if (static_cast<uint64_t>(count) * 8 > static_cast<uint64_t>(stream.Remaining())) return false;
  std::vector<uint8_t> raw(static_cast<size_t>(count) * 8);
  if (!stream.TryRead(raw.data(), raw.size())) return false;
  records.resize(count);
  for (uint32_t i = 0; i < count; ++i) records[i] = {GetU32(&raw[8 * i]), GetU32(&raw[8 * i + 4])};
  return true;
}

bool ReadStrings(TTextTable& strings, TStream& stream, int64_t base, const std::vector<TBlockInfo>& records) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < records.size(); ++i) {
    const TBlockInfo& r = records[i];
    if (r.Size == 0) return false;
    stream.Seek(base + r.Offset);
    size_t length = r.Size - 1;
    if (length > static_cast<uint64_t>(stream.Remaining())) return false;
    bytes.resize(length);
    if (!stream.TryRead(bytes.data(), length)) return false;
    // A strict decoder makes re-encoding give back exactly these bytes, so the length test holds.
    if (!DecodeUtf8Strict(bytes.data(), length, strings[i])) return false;
  }
  return true;
}

bool ReadTextBlockOrThrow(TTextTable& strings, TStream& stream, uint32_t size, uint8_t alignment) {
  uint64_t blockSize = size != 0 ? size : static_cast<uint64_t>(stream.Size());
  int64_t base = stream.Position();
  uint32_t count;
  if (!stream.TryReadU32(count)) return false;
  if (count == 0 || static_cast<uint64_t>(count) * 8 >= blockSize) return false;
  std::vector<TBlockInfo> records;
  if (!ReadRecords(stream, count, records)) return false;
  uint64_t end = AlignUp(uint64_t(records.back().Offset) + records.back().Size, alignment);
  if (end != blockSize) return false;
  strings.assign(count, std::u16string());
  if (!ReadStrings(strings, stream, base, records)) {
    strings.clear();
    return false;
  }
  return true;
}

}  // namespace

bool ReadTextBlock(TTextTable& strings, TStream& stream, uint32_t size, uint8_t alignment) {
  try {
    return ReadTextBlockOrThrow(strings, stream, size, alignment);
  } catch (const Error&) {
    // A probe reports a file that cannot be read as "not a text block".
    strings.clear();
    return false;
  }
}

int64_t WriteTextBlock(const TTextTable& strings, TStream& stream, const std::string& csvPath) {
  const int64_t start = stream.Position();
  TCsvStrings csv;
  if (FileExists(csvPath)) csv.LoadFromFile(csvPath);
  const uint32_t count = static_cast<uint32_t>(strings.size());
  stream.WriteU32(count);
  stream.Seek(start + 4 + 8 * int64_t(count));
  std::vector<uint8_t> records(static_cast<size_t>(count) * 8);
  uint64_t offset = 4 + 8 * uint64_t(count);
  for (uint32_t i = 0; i < count; ++i) {
    const std::u16string& text =
        csv.RowCount() > static_cast<int32_t>(i) ? csv.GetCell(static_cast<int32_t>(i), 0) : strings[i];
    std::string utf8 = EncodeUtf8(text);
    utf8.push_back('\0');
    stream.Write(utf8.data(), utf8.size());
    PutU32(&records[8 * i], static_cast<uint32_t>(offset));
    PutU32(&records[8 * i + 4], static_cast<uint32_t>(utf8.size()));
    offset += utf8.size();
  }
  stream.Seek(start + 4);
  stream.Write(records.data(), records.size());
  stream.Seek(stream.Size());
  return static_cast<int64_t>(offset);
}

}  // namespace pw

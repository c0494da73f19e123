#include "formats/TextContainers.h"

#include "formats/TextBlock.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"

namespace pw {

namespace {

const std::string& PathAt(const std::vector<std::string>& paths, size_t i) {
  static const std::string none;
  return i < paths.size() ? paths[i] : none;
}

void PadTo(TStream& stream, uint64_t alignment) {
  uint64_t pos = static_cast<uint64_t>(stream.Position());
  stream.WriteZeros(static_cast<size_t>(AlignUp(pos, alignment) - pos));
}

bool CountFits(uint32_t count, uint64_t payloadSize) {
  return count != 0 && static_cast<uint64_t>(count) * 8 < payloadSize;
}

TFileType ProbeTextResources(TStream& stream, TTextDataList& tables, uint32_t size) {
  const uint64_t payloadSize = size != 0 ? size : static_cast<uint64_t>(stream.Size());
  const int64_t base = stream.Position();
  const size_t before = tables.size();
  uint32_t count;
  if (!stream.TryReadU32(count)) return ftUnknown;
  if (!CountFits(count, payloadSize)) return ftUnknown;
  // The count is untrusted: the table must be there before anything is allocated for it.
  if (static_cast<uint64_t>(count) * 8 > static_cast<uint64_t>(stream.Remaining())) return ftUnknown;
  std::vector<uint8_t> raw(static_cast<size_t>(count) * 8);
  if (!stream.TryRead(raw.data(), raw.size())) return ftUnknown;
  auto a = [&](size_t k) { return GetU32(&raw[8 * k]); };
  auto b = [&](size_t k) { return GetU32(&raw[8 * k + 4]); };
  auto o = [&](size_t j) { return GetU32(&raw[4 * j]); };
  const uint64_t lastEnd = uint64_t(a(count - 1)) + b(count - 1);

  if (lastEnd > 0 && lastEnd == payloadSize) {
    tables.emplace_back();
    stream.Seek(base);
    if (ReadTextBlock(tables.back(), stream, size, 1)) return ftText;
    tables.pop_back();
  }

  if (lastEnd > 0 && AlignUp(lastEnd, 4) == payloadSize) {
    tables.resize(before + count);
    for (uint32_t k = 0; k < count; ++k) {
      stream.Seek(base + a(k));
      ReadTextBlock(tables[before + k], stream, b(k), 1);
    }
    return ftBlockData;
  }

  if (o(count - 1) < payloadSize) {
    tables.resize(before + count);
    for (uint32_t j = 0; j < count; ++j) {
      int64_t extent =
          j + 1 < count ? int64_t(o(j + 1)) - int64_t(o(j)) : int64_t(payloadSize) - int64_t(o(j));
      stream.Seek(base + o(j));
      if (extent <= 0 || extent > UINT32_MAX ||
          !ReadTextBlock(tables[before + j], stream, static_cast<uint32_t>(extent), 16)) {
        tables.resize(before);
        return ftUnknown;
      }
    }
    return ftTextGroup;
  }
  return ftUnknown;
}

}  // namespace

bool MayHoldText(const uint8_t* head, size_t headSize, uint32_t size) {
  return headSize < 4 || CountFits(GetU32(head), size);
}

TFileType ReadTextResources(TStream& stream, TTextDataList& tables, uint32_t size) {
  const size_t before = tables.size();
  try {
    return ProbeTextResources(stream, tables, size);
  } catch (const Error&) {
    tables.resize(before);
    return ftUnknown;
  }
}

void WriteTextGroup(const TTextDataList& tables, int32_t first, uint32_t count,
                    const std::vector<std::string>& paths, TStream& stream) {
  stream.WriteU32(count);
  stream.Seek(stream.Position() + 4 * int64_t(count));
  PadTo(stream, 16);
  std::vector<uint8_t> offsets(static_cast<size_t>(count) * 4);
  for (uint32_t i = 0; i < count; ++i) {
    PutU32(&offsets[4 * i], static_cast<uint32_t>(stream.Position()));
    WriteTextBlock(tables.at(static_cast<size_t>(first) + i), stream, PathAt(paths, i));
    PadTo(stream, 16);
  }
  stream.Seek(4);
  stream.Write(offsets.data(), offsets.size());
  stream.Seek(stream.Size());
}

void WriteBlockData(TMemoryStream& plain, TStream& stream, const std::vector<std::string>& paths) {
  TTextDataList members;
  plain.Seek(0);
  if (ReadTextResources(plain, members, 0) != ftBlockData) return;
  plain.Seek(0);
  const uint32_t count = plain.ReadU32();
  std::vector<TBlockInfo> old(count);
  for (auto& r : old) r = {plain.ReadU32(), plain.ReadU32()};

  stream.WriteU32(count);
  stream.Seek(stream.Position() + 8 * int64_t(count));
  uint64_t pos = 4 + 8 * uint64_t(count);
  std::vector<uint8_t> records(static_cast<size_t>(count) * 8);
  for (uint32_t i = 0; i < count; ++i) {
    uint64_t newSize;
    const std::string& path = PathAt(paths, i);
    if (FileExists(path) && !members[i].empty()) {
      newSize = static_cast<uint64_t>(WriteTextBlock(members[i], stream, path));
    } else {
      plain.Seek(old[i].Offset);
      stream.CopyFrom(plain, old[i].Size);
      newSize = old[i].Size;
    }
    PutU32(&records[8 * i], static_cast<uint32_t>(pos));
    PutU32(&records[8 * i + 4], static_cast<uint32_t>(newSize));
    pos = AlignUp(pos + newSize, 4);
    stream.WriteZeros(static_cast<size_t>(pos - static_cast<uint64_t>(stream.Position())));
  }
  stream.Seek(4);
  stream.Write(records.data(), records.size());
  stream.Seek(stream.Size());
}

}  // namespace pw

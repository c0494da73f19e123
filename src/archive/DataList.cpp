#include "archive/DataList.h"

#include <cstring>

#include "archive/Payload.h"
#include "formats/TextContainers.h"
#include "formats/TextureGroup.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Stream.h"

namespace pw {

TFileType FileTypeOfMagic(uint32_t magic) {
  switch (magic) {
    case 0x43535442:  // "BTSC"
    case 0x4731454D:  // "ME1G"
    case 0x47314D5F:  // "_M1G"
    case 0x4B4F435F:  // "_COK"
    case 0x4B53405F:  // "_@SK"
    case 0x4B53484C:  // "LHSK"
    case 0x534C4F5F:  // "_OLS"
    case 0x5742445F:  // "_DBW"
    case 0x5742485F:  // "_HBW"
    case 0x58595748:  // "HWYX"
      return ftUnkMagic;
    case 0x47315447:  // "GT1G"
      return ftTexture;
    default:
      return ftUnknown;
  }
}

void ClearDataList(TDataList& list) {
  list.FileInfoList.clear();
  list.FileInfoList.shrink_to_fit();
  list.TexDataList.clear();
  list.TexDataList.shrink_to_fit();
  list.TextDataList.clear();
  list.TextDataList.shrink_to_fit();
}

namespace {

uint32_t MagicOf(const uint8_t* bytes, size_t count) {
  uint8_t m[4] = {};
  std::memcpy(m, bytes, std::min<size_t>(count, 4));
  return GetU32(m);
}

// Probes a payload of unknown magic for text and gives the entry one resource per table found.
void ProbeTextEntry(TStream& stream, TFileInfo& entry, TTextDataList& textDataList) {
  const uint32_t length =
      IsStoredEntry(entry.DataInfo.UncompSize) ? entry.DataInfo.Size : entry.DataInfo.UncompSize;
  const size_t before = textDataList.size();
  entry.FileType = ReadTextResources(stream, textDataList, length);
  for (size_t k = before; k < textDataList.size(); ++k)
    entry.ResInfo.push_back({false, static_cast<int32_t>(k), {}});
}

// Lists the textures of the group at the stream's position as the entry's resources.
void ListTextures(TStream& stream, TFileInfo& entry, TTexDataList& texDataList) {
  const size_t old = texDataList.size();
  const uint32_t count = ReadTextureTable(stream, texDataList);
  entry.ResInfo.assign(count, TResInfo{});
  for (uint32_t i = 0; i < count; ++i) entry.ResInfo[i].DataIndex = static_cast<int32_t>(old + i);
}

void ReadStoredEntry(TStream& archive, TFileInfo& entry, TDataList& list) {
  if (entry.DataInfo.Size == 0) return;
  uint8_t head[4];
  size_t got = archive.Read(head, 4);
  entry.Magic = MagicOf(head, got);
  entry.FileType = FileTypeOfMagic(entry.Magic);
  archive.Seek(entry.DataInfo.Offset);
  // Stored payloads are probed in place: nothing is copied.
  if (entry.FileType == ftUnknown) ProbeTextEntry(archive, entry, list.TextDataList);
  if (entry.FileType == ftTexture) ListTextures(archive, entry, list.TexDataList);
}

// gathered is a scratch buffer the caller keeps across entries, so that its memory is reused.
void ReadCompressedEntry(TStream& archive, TFileInfo& entry, TDataList& list, bool loadInfo,
                         std::vector<uint8_t>& gathered) {
  gathered.clear();
  TChunkReader chunks(archive);
  while (chunks.Next()) {
    const bool first = gathered.empty();
    chunks.InflateTo(gathered);
    if (!first) continue;
    entry.Magic = MagicOf(gathered.data(), gathered.size());
    entry.FileType = FileTypeOfMagic(entry.Magic);
    // A recognised non-texture magic needs nothing beyond its first chunk, and neither does a payload
    // whose first word already rules text out.
    if (entry.FileType == ftUnkMagic) return;
    if (entry.FileType == ftUnknown &&
        !MayHoldText(gathered.data(), gathered.size(), entry.DataInfo.UncompSize))
      return;
    if (entry.FileType == ftTexture && !loadInfo) {
      TMemoryStream head(std::move(gathered));
      ListTextures(head, entry, list.TexDataList);
      gathered = std::move(head.Bytes());
      return;
    }
  }
  if (gathered.empty()) return;
  TMemoryStream plain(std::move(gathered));
  if (entry.FileType == ftUnknown) ProbeTextEntry(plain, entry, list.TextDataList);
  if (entry.FileType == ftTexture) ListTextures(plain, entry, list.TexDataList);
  gathered = std::move(plain.Bytes());
}

// The byte position of an index offset; a product outside the file's range is a read error.
int64_t BytePosition(int64_t blocks, int32_t blockSize) {
  int64_t position;
  if (__builtin_mul_overflow(blocks, static_cast<int64_t>(blockSize), &position) || position < 0)
    ThrowStreamReadError();
  return position;
}

}  // namespace

int CreateDataList(TDataList& list, const std::string& fileName, TProgress& progress, bool loadInfo) {
  ClearDataList(list);
  if (!FileExists(fileName)) return -5;
  TFileStream archive(fileName, TFileMode::OpenRead);
  struct EndPhase {
    TProgress& progress;
    ~EndPhase() { progress.ProcessingWork("Data path", 0); }
  } endPhase{progress};

  TArchiveHeader header;
  archive.ReadBuffer(header.Raw, sizeof header.Raw);
  const int32_t count = header.EntryCount();
  const int32_t blockSize = header.BlockSize();
  // The count is untrusted: the whole index must be in the file before anything is allocated for it.
  if (count < 0 || int64_t(count) * 16 > archive.Remaining()) ThrowStreamReadError();
  progress.ProcessingWork("Reading progress", static_cast<uint32_t>(count));

  list.FileInfoList.resize(static_cast<size_t>(count));
  std::vector<uint8_t> index(static_cast<size_t>(count) * 16);
  archive.ReadBuffer(index.data(), index.size());
  std::vector<uint8_t> gathered;
  for (int32_t i = 0; i < count; ++i) {
    TFileInfo& entry = list.FileInfoList[static_cast<size_t>(i)];
    const uint8_t* record = &index[static_cast<size_t>(i) * 16];
    const int64_t blocks = static_cast<int64_t>(GetU32(record) | uint64_t(GetU32(record + 4)) << 32);
    entry.DataInfo = {BytePosition(blocks, blockSize), GetU32(record + 8), GetU32(record + 12)};
    archive.Seek(entry.DataInfo.Offset);
    if (IsStoredEntry(entry.DataInfo.UncompSize))
      ReadStoredEntry(archive, entry, list);
    else
      ReadCompressedEntry(archive, entry, list, loadInfo, gathered);
    progress.StepIt();
  }
  return count;
}

}  // namespace pw

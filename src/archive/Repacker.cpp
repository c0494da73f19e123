#include "archive/Repacker.h"

#include "archive/Payload.h"
#include "formats/Dds.h"
#include "formats/TextBlock.h"
#include "formats/TextContainers.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Stream.h"

namespace pw {

bool HasResourceReplacement(const std::vector<TResInfo>& resInfo) {
  for (const TResInfo& r : resInfo)
    if (FileExists(r.ReplacePath)) return true;
  return false;
}

std::vector<std::string> ResourceReplacePaths(const std::vector<TResInfo>& resInfo) {
  std::vector<std::string> paths;
  paths.reserve(resInfo.size());
  for (const TResInfo& r : resInfo) paths.push_back(r.ReplacePath);
  return paths;
}

namespace {

// Loads a whole-entry replacement; a file that cannot be read gives none, without a message.
bool LoadReplacement(const std::string& path, std::vector<uint8_t>& plain) {
  try {
    plain = LoadFile(path);
    return true;
  } catch (const Error&) {
    return false;
  }
}

std::vector<uint8_t> ExtractPlain(TStream& source, const TFileInfo& entry) {
  TMemoryStream plain;
  source.Seek(entry.DataInfo.Offset);
  ExtractEntryData(entry.DataInfo, source, &plain);
  return std::move(plain.Bytes());
}

// Builds the entry's new plain payload from its resource replacements; false leaves the entry unchanged.
bool RebuildEntry(const TDataList& list, TStream& source, const TFileInfo& entry,
                  std::vector<uint8_t>& plain) {
  TMemoryStream out;
  const std::vector<std::string> paths = ResourceReplacePaths(entry.ResInfo);
  switch (entry.FileType) {
    case ftBlockData: {
      TMemoryStream old(ExtractPlain(source, entry));
      WriteBlockData(old, out, paths);
      break;
    }
    case ftText:
      WriteTextBlock(list.TextDataList.at(static_cast<size_t>(entry.ResInfo[0].DataIndex)), out,
                     entry.ResInfo[0].ReplacePath);
      break;
    case ftTextGroup:
      WriteTextGroup(list.TextDataList, entry.ResInfo[0].DataIndex,
                     static_cast<uint32_t>(entry.ResInfo.size()), paths, out);
      break;
    case ftTexture: {
      TMemoryStream old(ExtractPlain(source, entry));
      if (!ImportTexturesFromDds(old, out, paths)) return false;
      break;
    }
    default:
      break;
  }
  plain = std::move(out.Bytes());
  return true;
}

// Decides the entry's new plain payload: a whole-entry file, a rebuild, or none (copy unchanged).
bool NewPlainPayload(const TDataList& list, TStream& source, const TFileInfo& entry,
                     std::vector<uint8_t>& plain) {
  if (FileExists(entry.ReplacePath) && LoadReplacement(entry.ReplacePath, plain)) return true;
  if (HasResourceReplacement(entry.ResInfo)) return RebuildEntry(list, source, entry, plain);
  return false;
}

void CheckTargetIsNotSource(const std::string& archivePath, const std::string& newFilePath) {
  if (SameFile(archivePath, newFilePath))
    ThrowCannotCreate(newFilePath, "It is the archive being read; choose another file.");
}

}  // namespace

void Repack(const TDataList& list, const std::string& archivePath, const std::string& newFilePath,
            TProgress& progress) {
  TProgressPhase phase(progress, "Repacking progress", static_cast<uint32_t>(list.FileInfoList.size()),
                       "Data Path");
  CheckTargetIsNotSource(archivePath, newFilePath);
  TFileStream source(archivePath, TFileMode::OpenRead);
  TReplacingFile target(newFilePath);
  TFileStream& out = target.Stream();

  TArchiveHeader header;
  source.ReadBuffer(header.Raw, sizeof header.Raw);
  const int32_t count = header.EntryCount();
  const int32_t blockSize = header.BlockSize();
  if (count < 0 || int64_t(count) * 16 > source.Remaining()) ThrowStreamReadError();
  if (blockSize <= 0)
    throw Error("Invalid block size (" + std::to_string(blockSize) + ") in the archive header");
  if (static_cast<size_t>(count) != list.FileInfoList.size())
    throw Error("The archive has changed since it was opened; open it again before repacking.");
  std::vector<uint8_t> index(static_cast<size_t>(count) * 16);
  source.ReadBuffer(index.data(), index.size());

  out.Write(header.Raw, sizeof header.Raw);
  int64_t curBlock = RoundUp(16 + 16 * uint64_t(count), blockSize);
  std::vector<uint8_t> newIndex(index.size());
  for (int32_t i = 0; i < count; ++i) {
    const TFileInfo& entry = list.FileInfoList[static_cast<size_t>(i)];
    const uint8_t* old = &index[static_cast<size_t>(i) * 16];
    const int64_t oldBlocks = static_cast<int64_t>(GetU32(old) | uint64_t(GetU32(old + 4)) << 32);
    int64_t oldPosition;
    if (__builtin_mul_overflow(oldBlocks, int64_t(blockSize), &oldPosition) || oldPosition < 0)
      ThrowStreamReadError();
    uint32_t size = GetU32(old + 8), uncompSize = GetU32(old + 12);

    out.Seek(curBlock * blockSize);
    std::vector<uint8_t> plain;
    if (NewPlainPayload(list, source, entry, plain)) {
      if (plain.size() > UINT32_MAX)
        throw Error("A new payload of entry " + std::to_string(i + 1) + " is 4 GiB or larger.");
      std::tie(size, uncompSize) = WriteEntryPayload(plain, out, uncompSize != 0);
    } else if (size > 0) {
      source.Seek(oldPosition);
      out.CopyFrom(source, size);
    }
    uint8_t* record = &newIndex[static_cast<size_t>(i) * 16];
    PutU32(record, static_cast<uint32_t>(curBlock));
    PutU32(record + 4, static_cast<uint32_t>(static_cast<uint64_t>(curBlock) >> 32));
    PutU32(record + 8, size);
    PutU32(record + 12, uncompSize);
    curBlock += RoundUp(size, blockSize);
    progress.StepIt();
  }
  out.SetSize(curBlock * blockSize);
  out.Seek(16);
  out.Write(newIndex.data(), newIndex.size());
  target.Commit(/*durable=*/true);
}

}  // namespace pw

#include "archive/Unpacker.h"

#include <cstdio>

#include "archive/Payload.h"
#include "csv/CsvStrings.h"
#include "formats/Dds.h"
#include "formats/TextureGroup.h"
#include "platform/FileSystem.h"
#include "platform/Stream.h"
#include "platform/TextCodec.h"

namespace pw {

int Digits(uint64_t n) {
  int digits = 1;
  while (n >= 10) n /= 10, ++digits;
  return digits;
}

std::string PaddedNumber(uint64_t n, int digits) {
  std::string text = std::to_string(n);
  if (static_cast<int>(text.size()) < digits) text.insert(0, static_cast<size_t>(digits) - text.size(), '0');
  return text;
}

std::string ExtensionOfMagic(uint32_t magic) {
  const uint32_t swapped = SwapBytes32(magic);
  uint8_t bytes[4];
  PutU32(bytes, swapped);
  // The magic's text in memory order of the swapped word is the file order reversed.
  std::vector<uint8_t> text;
  for (int i = 0; i < 4 && bytes[i] != 0; ++i)
    text.push_back(bytes[i] >= 'A' && bytes[i] <= 'Z' ? bytes[i] + 32 : bytes[i]);
  return EncodeUtf8(DecodeAnsi(SystemTextLocale(), text.data(), text.size()));
}

namespace {

std::string EntryFileName(const std::string& base, const TFileInfo& entry, bool withExt) {
  if (withExt && (entry.FileType == ftUnkMagic || entry.FileType == ftTexture))
    return base + "." + ExtensionOfMagic(entry.Magic);
  return base;
}

void WriteEntryFile(TStream& archive, const TFileInfo& entry, const std::string& path) {
  TReplacingFile file(path);
  archive.Seek(entry.DataInfo.Offset);
  ExtractEntryData(entry.DataInfo, archive, &file.Stream());
  file.Commit();
}

void WriteTextResources(const TDataList& list, const TFileInfo& entry, const std::string& base) {
  TCsvStrings table;
  const int digits = Digits(entry.ResInfo.size());
  for (size_t r = 0; r < entry.ResInfo.size(); ++r) {
    if (!entry.ResInfo[r].Checked) continue;
    table.Clear();
    for (const std::u16string& s : list.TextDataList.at(static_cast<size_t>(entry.ResInfo[r].DataIndex)))
      table.AddRow(s);
    table.SaveToFile(base + "_" + PaddedNumber(r + 1, digits) + ".csv");
  }
}

void WriteTextureResources(TStream& archive, const TFileInfo& entry, const std::string& base) {
  TMemoryStream group;
  archive.Seek(entry.DataInfo.Offset);
  ExtractEntryData(entry.DataInfo, archive, &group);
  const TTextureTable table = ReadGroupTable(group);
  const size_t count = table.Offsets.size();
  const int digits = Digits(count);
  for (size_t r = 0; r < entry.ResInfo.size() && r < count; ++r) {
    if (!entry.ResInfo[r].Checked) continue;
    const int64_t start = int64_t(table.TableBase) + table.Offsets[r];
    const int64_t end = r + 1 < count ? int64_t(table.TableBase) + table.Offsets[r + 1] : group.Size();
    TReplacingFile file(base + "_" + PaddedNumber(r + 1, digits) + ".dds");
    group.Seek(start);
    // An extent of 0 or less (a table that does not ascend) asks for the top level only.
    const uint32_t extent = end > start ? static_cast<uint32_t>(end - start) : 0;
    ExportTextureToDds(group, file.Stream(), extent);
    file.Commit();
  }
}

bool HasCheckedResource(const std::vector<TResInfo>& resInfo) {
  for (const TResInfo& r : resInfo)
    if (r.Checked) return true;
  return false;
}

}  // namespace

void Unpack(const TDataList& list, const std::string& archivePath, const std::string& dirPath,
            const TUnpackOptions& options, TProgress& progress) {
  TProgressPhase phase(progress, "Unpacking progress", static_cast<uint32_t>(list.FileInfoList.size()),
                       "Data path");
  TFileStream archive(archivePath, TFileMode::OpenRead);
  const int digits = Digits(list.FileInfoList.size());
  for (size_t i = 0; i < list.FileInfoList.size(); ++i) {
    const TFileInfo& entry = list.FileInfoList[i];
    std::string base = dirPath;
    if (!base.empty() && base.back() != kPathDelim) base += kPathDelim;
    base += PaddedNumber(i + 1, digits);
    if (entry.Checked && !(options.ExtractRes && options.OnlyRes)) {
      const std::string path = EntryFileName(base, entry, options.WithExt);
      if (options.ReplaceExisting || !FileExists(path)) WriteEntryFile(archive, entry, path);
    }
    if (options.ExtractRes && HasCheckedResource(entry.ResInfo)) {
      if (entry.FileType == ftBlockData || entry.FileType == ftText || entry.FileType == ftTextGroup)
        WriteTextResources(list, entry, base);
      else if (entry.FileType == ftTexture)
        WriteTextureResources(archive, entry, base);
    }
    progress.StepIt();
  }
}

}  // namespace pw

#include "archive/DataListRows.h"

#include <cstdio>

namespace pw {

namespace {

std::string Format(const char* format, auto... args) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, format, args...);
  return buffer;
}

std::string EntryTypeText(const TFileInfo& entry) {
  const char* name = FileTypeNames[entry.FileType];
  if (entry.FileType == ftUnknown) return Format("%s (0x%.8X)", name, static_cast<unsigned>(entry.Magic));
  if (entry.FileType == ftUnkMagic) {
    // The magic's bytes in reverse order, as characters, up to a zero byte.
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
      char c = static_cast<char>((entry.Magic >> shift) & 0xFF);
      if (c == '\0') break;
      text.push_back(c);
    }
    return std::string(name) + " (" + text + ")";
  }
  return name;
}

bool IsTextType(TFileType type) {
  return type == ftBlockData || type == ftText || type == ftTextGroup;
}

}  // namespace

std::string EntryCellText(const TDataList& list, size_t entry, int column) {
  const TFileInfo& e = list.FileInfoList[entry];
  switch (column) {
    case colNumber:
      return std::to_string(entry + 1);
    case colType:
      return EntryTypeText(e);
    case colOffset:
      return Format("0x%.8llX", static_cast<unsigned long long>(e.DataInfo.Offset));
    case colSize:
      return std::to_string(IsStoredEntry(e.DataInfo.UncompSize) ? e.DataInfo.Size : e.DataInfo.UncompSize);
    case colNewResPath:
      return e.ReplacePath;
    default:
      return {};
  }
}

std::string ResourceCellText(const TDataList& list, size_t entry, size_t resource, int column) {
  const TFileInfo& e = list.FileInfoList[entry];
  const TResInfo& r = e.ResInfo[resource];
  const size_t index = static_cast<size_t>(r.DataIndex);
  switch (column) {
    case colNumber:
      return std::to_string(resource + 1);
    case colType:
      if (e.FileType == ftTexture && index < list.TexDataList.size())
        return TextureFormatName(list.TexDataList[index].Format);
      return {};
    case colSize:
      if (IsTextType(e.FileType) && index < list.TextDataList.size())
        return std::to_string(list.TextDataList[index].size());
      if (e.FileType == ftTexture && index < list.TexDataList.size())
        return Format("%ux%u", list.TexDataList[index].Width, list.TexDataList[index].Height);
      return {};
    case colNewResPath:
      return r.ReplacePath;
    default:
      return {};
  }
}

bool TViewFilter::ShowsEntry(TFileType type) const {
  if (!Text && !Textures && !BlockData) return true;
  return (type == ftTexture && Textures) || (type == ftBlockData && BlockData) ||
         ((type == ftText || type == ftTextGroup) && Text);
}

bool HasNonEmptyTextTable(const TDataList& list, const TFileInfo& entry) {
  for (const TResInfo& r : entry.ResInfo)
    if (static_cast<size_t>(r.DataIndex) < list.TextDataList.size() &&
        !list.TextDataList[r.DataIndex].empty())
      return true;
  return false;
}

size_t ResourceRowCount(const TDataList& list, const TFileInfo& entry) {
  if (entry.FileType == ftBlockData && !HasNonEmptyTextTable(list, entry)) return 0;
  return entry.ResInfo.size();
}

bool ShowsResourceRow(const TDataList& list, const TFileInfo& entry, size_t resource) {
  if (entry.FileType != ftBlockData) return true;
  const size_t index = static_cast<size_t>(entry.ResInfo[resource].DataIndex);
  return index < list.TextDataList.size() && !list.TextDataList[index].empty();
}

namespace {

bool CheckedAfter(bool checked, bool shown, TCheckCommand command) {
  if (!shown) return false;
  switch (command) {
    case TCheckCommand::CheckAll:
      return true;
    case TCheckCommand::InvertCheck:
      return !checked;
    case TCheckCommand::UncheckAll:
      return false;
  }
  return false;
}

}  // namespace

void ApplyCheckCommand(TDataList& list, const TViewFilter& filter, TCheckCommand command) {
  for (TFileInfo& entry : list.FileInfoList) {
    const bool shown = filter.ShowsEntry(entry.FileType);
    entry.Checked = CheckedAfter(entry.Checked, shown, command);
    const bool hasRows = ResourceRowCount(list, entry) > 0;
    for (size_t j = 0; j < entry.ResInfo.size(); ++j) {
      const bool rowShown = shown && hasRows && ShowsResourceRow(list, entry, j);
      entry.ResInfo[j].Checked = CheckedAfter(entry.ResInfo[j].Checked, rowShown, command);
    }
  }
}

}  // namespace pw

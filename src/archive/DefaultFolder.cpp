#include "archive/DefaultFolder.h"

#include <climits>
#include <map>

#include "platform/FileSystem.h"

namespace pw {

std::string DefaultFolderOf(const std::string& archivePath) {
  size_t dot = archivePath.find_last_of('.');
  size_t delim = archivePath.find_last_of(kPathDelim);
  const bool hasExtension = dot != std::string::npos && (delim == std::string::npos || dot > delim);
  std::string stem = hasExtension ? archivePath.substr(0, dot) : archivePath;
  std::string ext = hasExtension ? archivePath.substr(dot + 1, 255) : std::string();
  return stem + "_" + ext + kPathDelim;
}

std::optional<int32_t> StrToIntStrict(const std::string& text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16, ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16, i += 2;
  }
  if (i >= text.size()) return std::nullopt;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    int digit = c >= '0' && c <= '9'                 ? c - '0'
                : base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10
                : base == 16 && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
    if (digit < 0) return std::nullopt;
    value = value * base + digit;
    // Hexadecimal text may spell a 32-bit pattern; decimal text must fit a signed 32-bit value.
    if (value > (base == 16 ? int64_t(UINT32_MAX) : int64_t(INT32_MAX) + (negative ? 1 : 0)))
      return std::nullopt;
  }
  if (base == 16) value = static_cast<int32_t>(static_cast<uint32_t>(value));
  return static_cast<int32_t>(negative ? -value : value);
}

namespace {

std::string SearchMask(int entryNo, int resNo) {
  return resNo == 0 ? "*" + std::to_string(entryNo) + ".*"
                    : "*" + std::to_string(entryNo) + "_*" + std::to_string(resNo) + ".*";
}

// The (entry, resource) numbers a file name stands for (resource 0: the entry itself), when it stands for
// any: its name without the last extension is one number, or two joined by the first "_", and the name
// also matches the search mask of those numbers. Each name stands for at most one target.
std::optional<std::pair<int, int>> TargetOf(const std::string& name) {
  size_t dot = name.find_last_of('.');
  std::string base = dot == std::string::npos ? name : name.substr(0, dot);
  size_t cut = base.find('_');
  std::optional<int32_t> entryNo = StrToIntStrict(base.substr(0, cut));
  std::optional<int32_t> resNo = cut == std::string::npos ? 0 : StrToIntStrict(base.substr(cut + 1, 255));
  if (!entryNo || !resNo || *entryNo < 0 || *resNo < 0 || (cut != std::string::npos && *resNo == 0))
    return std::nullopt;
  if (!MatchesMask(name, SearchMask(*entryNo, *resNo))) return std::nullopt;
  return std::make_pair(int(*entryNo), int(*resNo));
}

// The first accepted file name per target, in the order of the folder listing.
std::map<std::pair<int, int>, std::string> IndexFolder(const std::string& folder) {
  std::map<std::pair<int, int>, std::string> index;
  for (const TDirEntry& e : ListDirectory(folder)) {
    if (e.IsDirectory) continue;
    if (std::optional<std::pair<int, int>> target = TargetOf(e.Name)) index.emplace(*target, e.Name);
  }
  return index;
}

}  // namespace

std::string FindReplacementFile(const std::string& defaultFolder, int entryNo, int resNo) {
  auto index = IndexFolder(defaultFolder);
  auto found = index.find({entryNo, resNo});
  return found == index.end() ? std::string() : defaultFolder + found->second;
}

void ScanDefaultFolder(TDataList& list, const std::string& defaultFolder, bool findOnlyRes,
                       TProgress& progress) {
  TProgressPhase phase(progress, "Scan default folder progress",
                       static_cast<uint32_t>(list.FileInfoList.size()), "Data path");
  // The folder is read once for the whole scan: a search per entry would cost entries x files.
  const auto index = IndexFolder(defaultFolder);
  auto find = [&](int entryNo, int resNo) {
    auto found = index.find({entryNo, resNo});
    return found == index.end() ? std::string() : defaultFolder + found->second;
  };
  for (size_t i = 0; i < list.FileInfoList.size(); ++i) {
    TFileInfo& entry = list.FileInfoList[i];
    const int entryNo = static_cast<int>(i + 1);
    if (!findOnlyRes) entry.ReplacePath = find(entryNo, 0);
    for (size_t j = 0; j < entry.ResInfo.size(); ++j)
      entry.ResInfo[j].ReplacePath = find(entryNo, static_cast<int>(j + 1));
    progress.StepIt();
  }
}

}  // namespace pw

#include "cli/Selection.h"

#include <sstream>
#include <vector>

#include "platform/Error.h"

namespace pw {

namespace {

std::vector<std::string> SplitCommas(const std::string& text) {
  std::vector<std::string> items;
  std::stringstream in(text);
  std::string item;
  while (std::getline(in, item, ',')) items.push_back(item);
  return items;
}

size_t ParseNumber(const std::string& text, const std::string& item) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 9)
    throw Error("Invalid selection \"" + item + "\"");
  return std::stoul(text);
}

TFileInfo& EntryAt(TDataList& list, size_t number, const std::string& item) {
  if (number < 1 || number > list.FileInfoList.size())
    throw Error("Selection \"" + item + "\": there is no entry " + std::to_string(number));
  return list.FileInfoList[number - 1];
}

TResInfo& ResourceAt(TFileInfo& entry, size_t number, const std::string& item) {
  if (number < 1 || number > entry.ResInfo.size())
    throw Error("Selection \"" + item + "\": the entry has no resource " + std::to_string(number));
  return entry.ResInfo[number - 1];
}

}  // namespace

std::optional<TViewFilter> ParseFilter(const std::string& kinds) {
  TViewFilter filter;
  for (const std::string& kind : SplitCommas(kinds)) {
    if (kind == "text")
      filter.Text = true;
    else if (kind == "textures")
      filter.Textures = true;
    else if (kind == "blockdata")
      filter.BlockData = true;
    else
      return std::nullopt;
  }
  return filter;
}

void ApplyCheckSelection(TDataList& list, const std::string& selection, const TViewFilter& filter) {
  for (const std::string& item : SplitCommas(selection)) {
    if (item == "*") {
      ApplyCheckCommand(list, filter, TCheckCommand::CheckAll);
    } else if (size_t dash = item.find('-'); dash != std::string::npos) {
      size_t first = ParseNumber(item.substr(0, dash), item), last = ParseNumber(item.substr(dash + 1), item);
      EntryAt(list, first, item);
      EntryAt(list, last, item);
      for (size_t n = first; n <= last; ++n) list.FileInfoList[n - 1].Checked = true;
    } else if (size_t under = item.find('_'); under != std::string::npos) {
      TFileInfo& entry = EntryAt(list, ParseNumber(item.substr(0, under), item), item);
      const std::string res = item.substr(under + 1);
      if (res == "*") {
        for (TResInfo& r : entry.ResInfo) r.Checked = true;
      } else {
        ResourceAt(entry, ParseNumber(res, item), item).Checked = true;
      }
    } else {
      EntryAt(list, ParseNumber(item, item), item).Checked = true;
    }
  }
}

void ApplyReplacement(TDataList& list, const std::string& target, const std::string& path) {
  size_t under = target.find('_');
  TFileInfo& entry = EntryAt(list, ParseNumber(target.substr(0, under), target), target);
  if (under == std::string::npos)
    entry.ReplacePath = path;
  else
    ResourceAt(entry, ParseNumber(target.substr(under + 1), target), target).ReplacePath = path;
}

}  // namespace pw

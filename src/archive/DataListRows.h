#pragma once
// What the data list shows: the cell texts of entry and resource rows, and which rows the View filter shows.
// Shared by the window's list model and the CLI's listing.

#include <cstddef>
#include <string>

#include "archive/DataList.h"

namespace pw {

// The data list's columns.
enum TDataColumn { colNumber = 0, colType = 1, colOffset = 2, colSize = 3, colNewResPath = 4 };
inline constexpr int kDataColumnCount = 5;
inline constexpr const char* DataColumnCaptions[kDataColumnCount] = {"#", "Type", "Offset", "Size",
                                                                     "New Res Path"};

// The text of an entry row's cell (column 4: the whole ReplacePath, unshortened).
std::string EntryCellText(const TDataList& list, size_t entry, int column);
// The text of a resource row's cell (column 4: the whole ReplacePath, unshortened).
std::string ResourceCellText(const TDataList& list, size_t entry, size_t resource, int column);

// The View menu's type filter.
struct TViewFilter {
  bool Text = false;
  bool Textures = false;
  bool BlockData = false;
  // True when the filter shows entries of this type.
  bool ShowsEntry(TFileType type) const;
};

// True when one of the entry's resources has a text table with at least one string.
bool HasNonEmptyTextTable(const TDataList& list, const TFileInfo& entry);
// The number of resource rows the entry gets (none for block data without a non-empty table).
size_t ResourceRowCount(const TDataList& list, const TFileInfo& entry);
// True when the filter pass shows this resource row of a shown entry: block-data resources need a
// non-empty table; other resource rows are always shown.
bool ShowsResourceRow(const TDataList& list, const TFileInfo& entry, size_t resource);

// The three check commands of the list's context menu (their menu tags).
enum class TCheckCommand { CheckAll = 1, InvertCheck = 2, UncheckAll = 3 };
// Applies a check command to every row in tree order: a shown row is checked, toggled or unchecked; a row
// the filter does not show (or that the list does not have) is unchecked.
void ApplyCheckCommand(TDataList& list, const TViewFilter& filter, TCheckCommand command);

}  // namespace pw

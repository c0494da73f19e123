#include "ui/DataListModel.h"

namespace pw {

namespace {
// internalId of an index: 0 for entry rows, entry + 1 for resource rows.
constexpr quintptr kEntryRow = 0;
}  // namespace

TDataListModel::TDataListModel(TDataList& list, QObject* parent) : QAbstractItemModel(parent), FList(list) {}

void TDataListModel::SetEntryCount(size_t entryCount) {
  beginResetModel();
  FEntryCount = std::min(entryCount, FList.FileInfoList.size());
  RebuildShownEntries();
  endResetModel();
}

void TDataListModel::SetFilter(const TViewFilter& filter) {
  beginResetModel();
  FFilter = filter;
  RebuildShownEntries();
  endResetModel();
}

void TDataListModel::RebuildShownEntries() {
  FShownEntries.clear();
  FRowOfEntry.assign(FEntryCount, -1);
  for (size_t i = 0; i < FEntryCount; ++i) {
    if (!FFilter.ShowsEntry(FList.FileInfoList[i].FileType)) continue;
    FRowOfEntry[i] = static_cast<int>(FShownEntries.size());
    FShownEntries.push_back(i);
  }
}

void TDataListModel::EmitColumnChanged(int column, const QList<int>& roles) {
  if (FShownEntries.empty()) return;
  const int last = static_cast<int>(FShownEntries.size()) - 1;
  emit dataChanged(index(0, column), index(last, column), roles);
  for (int row = 0; row <= last; ++row) {
    const QModelIndex parent = index(row, 0);
    const int children = rowCount(parent);
    if (children > 0) emit dataChanged(index(0, column, parent), index(children - 1, column, parent), roles);
  }
}

void TDataListModel::ChecksChanged() {
  EmitColumnChanged(0, {Qt::CheckStateRole});
}

void TDataListModel::PathsChanged() {
  EmitColumnChanged(colNewResPath, {Qt::DisplayRole, Qt::ToolTipRole});
}

std::vector<size_t> TDataListModel::ResourceRows(size_t entry) const {
  const TFileInfo& e = FList.FileInfoList[entry];
  std::vector<size_t> rows;
  if (ResourceRowCount(FList, e) == 0) return rows;
  for (size_t j = 0; j < e.ResInfo.size(); ++j)
    if (ShowsResourceRow(FList, e, j)) rows.push_back(j);
  return rows;
}

int TDataListModel::EntryOf(const QModelIndex& index) const {
  if (!index.isValid()) return -1;
  if (index.internalId() == kEntryRow)
    return static_cast<int>(FShownEntries[static_cast<size_t>(index.row())]);
  return static_cast<int>(index.internalId() - 1);
}

int TDataListModel::ResourceOf(const QModelIndex& index) const {
  if (!index.isValid() || index.internalId() == kEntryRow) return -1;
  const std::vector<size_t> rows = ResourceRows(index.internalId() - 1);
  return static_cast<int>(rows[static_cast<size_t>(index.row())]);
}

QModelIndex TDataListModel::IndexOfEntry(size_t entry) const {
  if (entry >= FRowOfEntry.size() || FRowOfEntry[entry] < 0) return {};
  return createIndex(FRowOfEntry[entry], 0, kEntryRow);
}

QModelIndex TDataListModel::index(int row, int column, const QModelIndex& parent) const {
  if (row < 0 || column < 0 || column >= kDataColumnCount) return {};
  if (!parent.isValid()) {
    if (static_cast<size_t>(row) >= FShownEntries.size()) return {};
    return createIndex(row, column, kEntryRow);
  }
  if (parent.internalId() != kEntryRow) return {};
  const size_t entry = FShownEntries[static_cast<size_t>(parent.row())];
  if (row >= rowCount(parent)) return {};
  return createIndex(row, column, static_cast<quintptr>(entry + 1));
}

QModelIndex TDataListModel::parent(const QModelIndex& child) const {
  if (!child.isValid() || child.internalId() == kEntryRow) return {};
  return IndexOfEntry(child.internalId() - 1);
}

int TDataListModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return static_cast<int>(FShownEntries.size());
  if (parent.column() != 0 || parent.internalId() != kEntryRow) return 0;
  return static_cast<int>(ResourceRows(FShownEntries[static_cast<size_t>(parent.row())]).size());
}

int TDataListModel::columnCount(const QModelIndex&) const {
  return kDataColumnCount;
}

bool TDataListModel::hasChildren(const QModelIndex& parent) const {
  return rowCount(parent) > 0;
}

QVariant TDataListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int entry = EntryOf(index);
  const int resource = ResourceOf(index);
  if (role == Qt::CheckStateRole && index.column() == 0) {
    const TFileInfo& e = FList.FileInfoList[static_cast<size_t>(entry)];
    const bool checked = resource < 0 ? e.Checked : e.ResInfo[static_cast<size_t>(resource)].Checked;
    return checked ? Qt::Checked : Qt::Unchecked;
  }
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  const std::string text = resource < 0 ? EntryCellText(FList, static_cast<size_t>(entry), index.column())
                                        : ResourceCellText(FList, static_cast<size_t>(entry),
                                                           static_cast<size_t>(resource), index.column());
  if (index.column() == colNewResPath) {
    if (role == Qt::ToolTipRole || !FPathText) return QString::fromStdString(text);
    return FPathText(text);
  }
  if (role == Qt::ToolTipRole) return {};
  return QString::fromStdString(text);
}

bool TDataListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::CheckStateRole || index.column() != 0) return false;
  const bool checked = value.toInt() == Qt::Checked;
  TFileInfo& e = FList.FileInfoList[static_cast<size_t>(EntryOf(index))];
  const int resource = ResourceOf(index);
  (resource < 0 ? e.Checked : e.ResInfo[static_cast<size_t>(resource)].Checked) = checked;
  emit dataChanged(index, index, {Qt::CheckStateRole});
  return true;
}

Qt::ItemFlags TDataListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (index.column() == 0) f |= Qt::ItemIsUserCheckable;
  return f;
}

QVariant TDataListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kDataColumnCount)
    return {};
  return QString::fromLatin1(DataColumnCaptions[section]);
}

}  // namespace pw

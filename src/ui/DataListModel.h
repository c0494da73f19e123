#pragma once
// The data list as a two-level Qt model over the open-archive tables: entry rows (those the View filter
// shows) and under each its resource rows. Nothing is copied per row; check marks are written straight
// into the tables.

#include <QAbstractItemModel>
#include <functional>
#include <vector>

#include "archive/DataListRows.h"

namespace pw {

class TDataListModel : public QAbstractItemModel {
  Q_OBJECT
 public:
  // The model reads and writes list, which must outlive it.
  explicit TDataListModel(TDataList& list, QObject* parent = nullptr);

  // Shows entry rows for the first entryCount entries (0 empties the list), under the current filter.
  void SetEntryCount(size_t entryCount);
  // Applies a new View filter: the shown entry rows are chosen again and every row collapses.
  void SetFilter(const TViewFilter& filter);
  const TViewFilter& Filter() const { return FFilter; }
  // Tells the views that every check mark may have changed (after a check command).
  void ChecksChanged();
  // Tells the views that replacement paths may have changed.
  void PathsChanged();
  // Sets how the "New Res Path" column turns a path into its text.
  void SetPathText(std::function<QString(const std::string&)> pathText) { FPathText = std::move(pathText); }

  // The entry an index stands for (its own or its parent's), or -1.
  int EntryOf(const QModelIndex& index) const;
  // The resource an index stands for, or -1 for an entry row.
  int ResourceOf(const QModelIndex& index) const;
  // The index of entry row `entry` (invalid when the filter hides it).
  QModelIndex IndexOfEntry(size_t entry) const;

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  bool hasChildren(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  void RebuildShownEntries();
  // Tells the views that one column of every row changed.
  void EmitColumnChanged(int column, const QList<int>& roles);
  // The resources of an entry that get rows, in order.
  std::vector<size_t> ResourceRows(size_t entry) const;

  TDataList& FList;
  size_t FEntryCount = 0;
  TViewFilter FFilter;
  std::vector<size_t> FShownEntries;  // row -> entry
  std::vector<int> FRowOfEntry;       // entry -> row, -1 when hidden
  std::function<QString(const std::string&)> FPathText;
};

}  // namespace pw

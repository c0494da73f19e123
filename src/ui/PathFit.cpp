#include "ui/PathFit.h"

namespace pw {

namespace {
const QChar kDelim = QLatin1Char('/');
const QString kEllipsisFolder = QStringLiteral(".../");
}  // namespace

void DropFirstFolder(QString& folder) {
  if (folder == kDelim) {
    folder.clear();
    return;
  }
  const bool leadingDelim = folder.startsWith(kDelim);
  if (leadingDelim) folder.remove(0, 1);
  // The "..." left by an earlier step goes first.
  if (folder.startsWith(QLatin1Char('.'))) folder.remove(0, 4);
  const qsizetype cut = folder.indexOf(kDelim);
  folder = cut >= 0 ? kEllipsisFolder + folder.mid(cut + 1) : QString();
  if (leadingDelim) folder.prepend(kDelim);
}

QString FitPathToWidth(const QString& path, const std::function<int(const QString&)>& measure, int maxWidth) {
  const qsizetype cut = path.lastIndexOf(kDelim);
  QString folder = path.left(cut + 1);
  const QString name = path.mid(cut + 1);
  QString result = path;
  while (!folder.isEmpty() && measure(result) > maxWidth) {
    if (folder == kDelim + kEllipsisFolder)
      folder = kEllipsisFolder;
    else
      DropFirstFolder(folder);
    result = folder + name;
  }
  return result;
}

QString DisplayReplacePath(const QString& path, const QString& defaultFolder,
                           const std::function<int(const QString&)>& measure, int maxWidth) {
  if (path.isEmpty()) return {};
  const qsizetype cut = path.lastIndexOf(kDelim);
  if (QString::compare(path.left(cut + 1), defaultFolder, Qt::CaseInsensitive) == 0) return path.mid(cut + 1);
  return FitPathToWidth(path, measure, maxWidth);
}

}  // namespace pw

#pragma once
// Shortening of replacement paths for the "New Res Path" column.

#include <QString>
#include <functional>

namespace pw {

// Drops the first folder of a folder part ("/a/b/" -> "/.../b/", ".../b/" -> "" ...), in place.
void DropFirstFolder(QString& folder);

// Shortens path from the left, folder by folder, until measure(result) <= maxWidth; the file name itself
// is never shortened, so the result can stay wider.
QString FitPathToWidth(const QString& path, const std::function<int(const QString&)>& measure, int maxWidth);

// The text the list shows for a replacement path: the bare file name when the file lies directly in
// defaultFolder (letter case ignored), else the path fitted to maxWidth.
QString DisplayReplacePath(const QString& path, const QString& defaultFolder,
                           const std::function<int(const QString&)>& measure, int maxWidth);

}  // namespace pw

#pragma once
// Repacking: a new archive with entries replaced whole, rebuilt from resource files, or copied unchanged.

#include <string>
#include <vector>

#include "archive/DataList.h"

namespace pw {

// True when at least one resource's ReplacePath names an existing file.
bool HasResourceReplacement(const std::vector<TResInfo>& resInfo);
// The ReplacePath of every resource, in order, empty ones included.
std::vector<std::string> ResourceReplacePaths(const std::vector<TResInfo>& resInfo);

// Writes a new archive to newFilePath from the archive archivePath that list was built from. The source is
// only read; the target is written under a temporary name and renamed over newFilePath when complete, so an
// error leaves an existing target as it was. A target that is the source itself is refused.
void Repack(const TDataList& list, const std::string& archivePath, const std::string& newFilePath,
            TProgress& progress);

}  // namespace pw

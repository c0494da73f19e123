#pragma once
// The folder beside an archive where replacement files are kept, named by entry and resource number.

#include <optional>
#include <string>

#include "archive/DataList.h"

namespace pw {

// The default folder of archive path p: p with its extension ".ext" turned into "_ext" (or "_" appended when
// it has none), followed by the delimiter. /game/data.bin gives /game/data_bin/.
std::string DefaultFolderOf(const std::string& archivePath);

// The value of text as a signed 32-bit integer in the standard conversion (decimal with an optional sign and
// leading zeros, or hexadecimal after "$" or "0x"); none when any character does not convert.
std::optional<int32_t> StrToIntStrict(const std::string& text);

// The first file in defaultFolder accepted for entry entryNo (resNo 0) or for its resource resNo: its name
// without the last extension is the entry number, or entry number "_" resource number. "" when none.
std::string FindReplacementFile(const std::string& defaultFolder, int entryNo, int resNo);

// Fills the replacement paths of every resource, and of every entry unless findOnlyRes, from defaultFolder.
void ScanDefaultFolder(TDataList& list, const std::string& defaultFolder, bool findOnlyRes,
                       TProgress& progress);

}  // namespace pw

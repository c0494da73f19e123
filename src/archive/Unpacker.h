#pragma once
// Unpacking: checked entries as numbered raw files, checked text tables as CSV and textures as DDS files.

#include <string>

#include "archive/DataList.h"

namespace pw {

// The Unpack menu's options, read when the command runs.
struct TUnpackOptions {
  bool WithExt = true;           // entry files of recognised magics get an extension
  bool ExtractRes = true;        // checked resources are written
  bool OnlyRes = true;           // with ExtractRes: no entry files
  bool ReplaceExisting = false;  // existing entry files are overwritten
};

// The number of decimal digits of n (n >= 1).
int Digits(uint64_t n);
// n written with at least `digits` digits, zero-padded.
std::string PaddedNumber(uint64_t n, int digits);
// The extension made from a magic: its bytes in reverse file order up to a zero byte, A-Z lowered.
std::string ExtensionOfMagic(uint32_t magic);

// Writes the checked entries and resources of list, read from the archive archivePath, into dirPath.
// Existing resource files are replaced; existing entry files only with ReplaceExisting.
void Unpack(const TDataList& list, const std::string& archivePath, const std::string& dirPath,
            const TUnpackOptions& options, TProgress& progress);

}  // namespace pw

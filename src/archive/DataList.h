#pragma once
// The open archive: header and index layout, the entry and resource records, and the three tables that
// describe the archive opened last.

#include <cstdint>
#include <string>
#include <vector>

#include "archive/Progress.h"
#include "formats/Types.h"

namespace pw {

// One index record (its on-disk layout, naturally aligned). In FileInfoList, Offset is a byte position; in
// the index, blocks.
struct TDataInfo {
  int64_t Offset;
  uint32_t Size;        // bytes the payload occupies in the archive
  uint32_t UncompSize;  // storage mode and uncompressed length
};
static_assert(sizeof(TDataInfo) == 16);

// The 16-byte archive header.
struct TArchiveHeader {
  uint8_t Raw[16];
  int32_t EntryCount() const { return static_cast<int32_t>(GetLE(4)); }
  int32_t BlockSize() const { return static_cast<int32_t>(GetLE(8)); }
  uint32_t GetLE(int at) const {
    return uint32_t(Raw[at]) | uint32_t(Raw[at + 1]) << 8 | uint32_t(Raw[at + 2]) << 16 |
           uint32_t(Raw[at + 3]) << 24;
  }
};
static_assert(sizeof(TArchiveHeader) == 16);

// One resource of an entry: a text table (text types) or a texture (texture groups).
struct TResInfo {
  bool Checked = false;     // selected for unpacking
  int32_t DataIndex = 0;    // index into TextDataList or TexDataList
  std::string ReplacePath;  // CSV or DDS file replacing the resource when repacking
};

// One index entry of the open archive.
struct TFileInfo {
  uint32_t Magic = 0;  // the payload's first four bytes, little-endian
  TDataInfo DataInfo{};
  TFileType FileType = ftUnknown;
  bool Checked = false;           // selected for unpacking
  std::string ReplacePath;        // file replacing the whole payload when repacking
  std::vector<TResInfo> ResInfo;  // the entry's resources in resource order
};

// The open-archive tables, owned by the window or the CLI and passed to the core.
struct TDataList {
  std::vector<TFileInfo> FileInfoList;
  TTexDataList TexDataList;
  TTextDataList TextDataList;
};

// True when UncompSize marks a stored entry (0, "BTSC" or 0xDDDDDDDD).
inline bool IsStoredEntry(uint32_t uncompSize) {
  return uncompSize == 0 || uncompSize == 0x43535442 || uncompSize == 0xDDDDDDDD;
}

// The type a magic gives before any probing.
TFileType FileTypeOfMagic(uint32_t magic);
// The four bytes of v in reverse order.
inline uint32_t SwapBytes32(uint32_t v) {
  return (v >> 24) | ((v >> 8) & 0xFF00) | ((v << 8) & 0xFF0000) | (v << 24);
}
// The integer ceiling of bytes / blockSize (blockSize > 0).
inline int64_t RoundUp(uint64_t bytes, int64_t blockSize) {
  return static_cast<int64_t>((bytes + static_cast<uint64_t>(blockSize) - 1) /
                              static_cast<uint64_t>(blockSize));
}

// Empties every table.
void ClearDataList(TDataList& list);

// Builds the tables from the archive fileName: index, classification by magic and, per entry, the
// resource listing (loadInfo: read compressed texture groups whole). Returns the entry count, or -5 when
// no such file exists. Read and decompression errors throw; the entries read before stay in the tables.
int CreateDataList(TDataList& list, const std::string& fileName, TProgress& progress, bool loadInfo = true);

}  // namespace pw
